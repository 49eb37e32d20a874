// The serial actions of the window against a simulated panel on a
// pseudo-terminal: a write, a kept read, a panel that is not there.
#include "GuiFixture.h"

#include "document/Config.h"
#include "image/Encoder.h"
#include "sim/PanelSimulator.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>
#include <QTest>
#include <atomic>
#include <cstdlib>
#include <thread>

namespace fs = std::filesystem;

namespace kvort::gui::test {

namespace {

class SimPanel {
  public:
    explicit SimPanel(sim::SimOptions options)
        : m_sim(std::move(options)), m_thread([this] {
              m_sim.run();
              m_finished = true;
          }) {}
    ~SimPanel() {
        m_sim.stop();
        m_thread.join();
    }
    sim::PanelSimulator& sim() { return m_sim; }
    bool finished() const { return m_finished; }

  private:
    sim::PanelSimulator m_sim;
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};

sim::SimOptions panel(sim::SimMode mode) {
    sim::SimOptions o;
    o.mode = mode;
    o.blockSize = 256;
    o.pacing = false;
    return o;
}

fs::path copySample(const std::string& name, const fs::path& dir) {
    for (const auto& e : fs::directory_iterator(fs::path(KVORT_EXAMPLES_DIR) / name))
        fs::copy_file(e.path(), dir / e.path().filename(), fs::copy_options::overwrite_existing);
    return dir / (name + ".cnf");
}

} // namespace

class TransferTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        LinkTimings t;
        t.writeSearchReply = 300;
        t.readSearchBlock = 300;
        t.writeReply = 500;
        t.readBlock = 500;
        t.writePause = 1;
        t.readPause = 1;
        m_window->workflows().link().setTimings(t);
    }
    void TearDown() override {
        ::unsetenv("KVORT_PORTS");
        GuiTest::TearDown();
    }
    void usePort(const std::string& path) { ::setenv("KVORT_PORTS", path.c_str(), 1); }
    bool tabsVisible() const { return m_window->findChild<QTabWidget*>("tabs")->isVisible(); }
    bool progressHidden() const {
        return m_window->findChild<QProgressBar*>("progressBar")->isHidden();
    }
};

TEST_F(TransferTest, WriteSendsTheCheckedImageToThePanel) {
    const fs::path cnf = copySample("small", m_dir);
    open(cnf);
    SimPanel panelSim(panel(sim::SimMode::Write));
    usePort(panelSim.sim().devicePath());
    // While the check asks, the panel waits after block 0: nothing may start
    // and the window does not close.
    bool closedMeanwhile = true, writeEnabledMeanwhile = true, readEnabledMeanwhile = true;
    m_prompts.beforeNextAnswer = [&] {
        m_window->session().setModified(false);
        closedMeanwhile = m_window->close();
        writeEnabledMeanwhile = action("writeConfigAction")->isEnabled();
        readEnabledMeanwhile = action("readConfigPanelAction")->isEnabled();
    };
    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp("ЗАПУСТИТЬ ПРОЦЕДУРУ ПРОВЕРКИ КОНФИГУРАЦИИ? "),
                            MsgButtons::YesNo, MsgResult::No);
    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp("ЗАПИСЬ КОНФИГУРАЦИИ В ПУ-П ЗАКОНЧЕНА"),
                            MsgButtons::Ok, MsgResult::Ok);
    m_prompts.expectMessage(
        cp("ИНФОРМАЦИЯ"),
        cp("ПРОВЕРИТЬ ЗАПИСЬ? ПЕРЕВЕДИТЕ ПУ-П В РЕЖИМ \"СЧИТЫВАНИЯ КОНФИГУРАЦИИ\" "
           "И НАЖМИТЕ \"ДА\""),
        MsgButtons::YesNo, MsgResult::No);
    action("writeConfigAction")->trigger();

    EXPECT_FALSE(closedMeanwhile);
    EXPECT_FALSE(writeEnabledMeanwhile);
    EXPECT_FALSE(readEnabledMeanwhile);
    EXPECT_TRUE(m_window->isVisible());
    ASSERT_TRUE(fs::exists(m_dir / "small.bin"));
    const std::string image = fileBytes(m_dir / "small.bin");
    const auto& received = panelSim.sim().received();
    ASSERT_EQ(received.size(), image.size());
    EXPECT_TRUE(std::equal(received.begin(), received.end(),
                           reinterpret_cast<const std::uint8_t*>(image.data())));
    for (const char* name : {"fileOpenAction", "newConfigAction", "readConfigAction",
                             "writeConfigAction", "readConfigPanelAction"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_TRUE(m_window->findChild<QTabWidget*>("tabs")->isEnabled());
    EXPECT_TRUE(label("statusPanel")->text().isEmpty());
}

TEST_F(TransferTest, AKeptPanelReadOpensWhatThePanelHeld) {
    fs::create_directories(m_dir / "src");
    const fs::path source = copySample("full", m_dir / "src");
    TPanelImage image;
    BuildPanelImage(image, source, ReadZoneNames(IniStore(source)));
    sim::SimOptions o = panel(sim::SimMode::Read);
    o.image.assign(image.data(), image.data() + TPanelImage::kSize);
    SimPanel panelSim(o);
    usePort(panelSim.sim().devicePath());

    m_prompts.expectMessage(cp("ИНФОРМАЦИЯ"), cp("ЧТЕНИЕ КОНФИГУРАЦИИ ЗАКОНЧЕНО. СОХРАНИТЬ?"),
                            MsgButtons::YesNo, MsgResult::Yes);
    m_prompts.expectSaveFile(m_dir / "ИЗ ПРИБОРА", cnfDialog());
    action("readConfigPanelAction")->trigger();

    EXPECT_TRUE(fs::exists(m_dir / "ИЗ ПРИБОРА.bin"));
    EXPECT_TRUE(tabsVisible());
    EXPECT_EQ(label("sourcePanel")->text(), q("  ИСТОЧНИК:  ИЗ ПРИБОРА"));
    EXPECT_EQ(m_window->session().zoneNames(), ReadZoneNames(IniStore(source)));
    EXPECT_EQ(slotList(8)->currentText(), q("ППКП"));
    EXPECT_TRUE(action("readConfigPanelAction")->isEnabled());
    EXPECT_TRUE(progressHidden());
}

TEST_F(TransferTest, AReadThatLosesThePanelTakesTheProgressBarAway) {
    createNew();
    sim::SimOptions o = panel(sim::SimMode::Read);
    o.fault = sim::SimFault::Silent;
    o.faultBlock = 40;
    o.image.assign(TPanelImage::kSize, 0xFF);
    SimPanel panelSim(o);
    usePort(panelSim.sim().devicePath());
    m_prompts.expectMessage(cp("ОШИБКА"), cp("НЕТ СВЯЗИ С ПУ-П "), MsgButtons::Ok, MsgResult::Ok);
    action("readConfigPanelAction")->trigger();
    EXPECT_TRUE(progressHidden());
    EXPECT_TRUE(label("statusPanel")->text().isEmpty());
    EXPECT_TRUE(action("readConfigPanelAction")->isEnabled());
}

TEST_F(TransferTest, ReadWithNoPanelSaysSoAndLeavesOpeningAndCreating) {
    createNew();
    usePort((m_dir / "ttyНЕТ").string());
    m_prompts.expectMessage(
        cp("ОШИБКА"),
        cp("НЕ ПОДКЛЮЧЕН ИЛИ НЕ ПЕРЕВЕДЕН В РЕЖИМ \"СЧИТЫВАНИЯ КОНФИГУРАЦИИ\" ПРИБОР ПУ-П"),
        MsgButtons::Ok, MsgResult::Ok);
    action("readConfigPanelAction")->trigger();
    EXPECT_FALSE(tabsVisible());
    EXPECT_TRUE(progressHidden());
    // With the panel in front of the installer both reads can be tried again.
    for (const char* name : {"fileOpenAction", "newConfigAction", "readConfigAction",
                             "readConfigPanelAction", "readConfigCardAction"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    for (const char* name : {"writeConfigAction", "fileJsonAction"})
        EXPECT_FALSE(action(name)->isEnabled()) << name;
}

TEST_F(TransferTest, ReadsDoNothingWhileTheReadProcedureIsDisabled) {
    // A cancelled new configuration leaves the read procedure disabled.
    m_prompts.expectSaveFile(std::nullopt, newConfigDialog());
    action("newConfigAction")->trigger();
    ASSERT_FALSE(action("readConfigAction")->isEnabled());
    action("readConfigPanelAction")->trigger();
    action("readConfigCardAction")->trigger();
    EXPECT_TRUE(m_prompts.asked().size() == 1u);
}

} // namespace kvort::gui::test
