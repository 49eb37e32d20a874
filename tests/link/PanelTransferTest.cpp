#include "app/PanelTransfer.h"
#include "ScriptedPrompts.h"
#include "TestSupport.h"
#include "text/Cp1251.h"
#include "text/Literals.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace kvort;
using namespace kvort::sim;
using namespace kvort::test;
using namespace kvort::text::literals;

namespace {

class RecordingView : public ProgressSink, public ActionGate, public NullReadObserver {
  public:
    std::vector<std::string> statuses; // UTF-8
    std::vector<int> positions;
    bool enabled = true, busy = false, progressShown = false;
    int readsBegun = 0, readsNotSaved = 0, readsFailed = 0;
    std::function<void()> onSound;
    void setStatus(std::string_view t) override { statuses.push_back(text::toUtf8(t)); }
    void setProgress(int position, int max) override {
        progressShown = max > 0;
        if (max > 0)
            positions.push_back(position);
    }
    void setBusy(bool b) override { busy = b; }
    void enter(WorkflowStage stage) override {
        switch (stage) {
        case WorkflowStage::TransferRunning:
            enabled = false;
            break;
        case WorkflowStage::TransferEnded:
            enabled = true;
            break;
        case WorkflowStage::ReadRunning:
            ++readsBegun;
            enabled = false;
            break;
        case WorkflowStage::ReadNotSaved:
            ++readsNotSaved;
            enabled = true;
            break;
        case WorkflowStage::ReadFailed:
            ++readsFailed;
            enabled = true;
            break;
        case WorkflowStage::ReadSaved:
            break;
        }
    }
    void playNotify() override {
        if (onSound)
            onSound();
    }
};

const std::string kSearching = "     ПОДОЖДИТЕ, ИДЕТ ПОИСК ПОДКЛЮЧЕННОГО ПУ-П";
const std::string kWriting = "     ВНИМАНИЕ ! ИДЕТ ЗАПИСЬ КОНФИГУРАЦИИ В ПУ-П";
const std::string kReading = "     ВНИМАНИЕ ! ИДЕТ ЧТЕНИЕ КОНФИГУРАЦИИ ИЗ ПУ-П";
constexpr std::string_view kNoLink = "НЕТ СВЯЗИ С ПУ-П "_cp;
constexpr std::string_view kError = "ОШИБКА"_cp;

struct Rig {
    TCommPort port;
    std::vector<std::uint8_t> image = std::vector<std::uint8_t>(65536, 0x5A);
    int blockSize = 64;
    int deviceSeries = 0;
    PanelLink link{port, image.data(), blockSize, deviceSeries};
    ScriptedPrompts prompts;
    RecordingView view;
    Ports ports{prompts, view, view, view};
    explicit Rig(const std::string& path) {
        port.setPortMap(PortMap({path}));
        link.setTimings(fastTimings());
    }
};

SimOptions panelOptions(SimMode mode, int block, SimSeries series = SimSeries::FH) {
    SimOptions o;
    o.mode = mode;
    o.blockSize = block;
    o.series = series;
    o.pacing = false;
    o.image = patternImage(42);
    return o;
}

std::string fileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(PanelTransfer, WriteRunsItsStepsInOrderAndEndsWithTheMessage) {
    SimRunner panel(panelOptions(SimMode::Write, 256, SimSeries::I));
    Rig rig(panel.path());
    std::vector<std::string> steps;
    int seriesAtCheck = -2;
    WriteSteps ws;
    ws.buildImage = [&] {
        steps.push_back("build");
        std::vector<std::uint8_t> built = patternImage(3);
        std::copy(built.begin(), built.end(), rig.image.begin());
    };
    ws.check = [&] {
        steps.push_back("check");
        seriesAtCheck = rig.deviceSeries;
        EXPECT_FALSE(rig.view.enabled);
        return CheckResult::AcceptedWithFindings;
    };
    rig.view.onSound = [&] { steps.push_back("sound"); };
    rig.deviceSeries = 0;
    rig.prompts.expectMessage("ИНФОРМАЦИЯ"_cp, "ЗАПИСЬ КОНФИГУРАЦИИ В ПУ-П ЗАКОНЧЕНА"_cp,
                              MsgIcon::Information, MsgButtons::Ok, MsgResult::Ok);
    EXPECT_EQ(WriteConfig(rig.link, rig.port, rig.ports, ws), TransferOutcome::Completed);
    EXPECT_EQ(steps, (std::vector<std::string>{"build", "check", "sound"}));
    EXPECT_EQ(seriesAtCheck, 1) << "the reply \"I\" is known before the check runs";
    EXPECT_EQ(rig.blockSize, 256);
    EXPECT_EQ(rig.prompts.pending(), 0u);
    EXPECT_EQ(rig.view.statuses, (std::vector<std::string>{kSearching, kWriting, ""}));
    ASSERT_EQ(rig.view.positions.size(), 255u);
    EXPECT_EQ(rig.view.positions.front(), 0);
    EXPECT_EQ(rig.view.positions.back(), 100);
    EXPECT_FALSE(rig.view.progressShown);
    EXPECT_TRUE(rig.view.enabled);
    EXPECT_FALSE(rig.view.busy);
    ASSERT_TRUE(pumpUntil([&] { return panel.sim().transfersDone() == 1; }, 2000));
    EXPECT_EQ(panel.sim().received(), rig.image);
    EXPECT_TRUE(rig.port.isOpen()) << "the port stays open after a transfer";
}

TEST(PanelTransfer, CheckThatSaysStopLeavesThePanelAfterBlockZero) {
    SimRunner panel(panelOptions(SimMode::Write, 64));
    Rig rig(panel.path());
    WriteSteps ws;
    ws.buildImage = [] {};
    ws.check = [] { return CheckResult::Stopped; };
    EXPECT_EQ(WriteConfig(rig.link, rig.port, rig.ports, ws), TransferOutcome::Stopped);
    EXPECT_TRUE(rig.prompts.asked().empty());
    EXPECT_EQ(panel.sim().blocksDone(), 1);
    EXPECT_TRUE(rig.view.enabled);
    EXPECT_EQ(rig.view.statuses.back(), "");
}

TEST(PanelTransfer, ReadHandsTheWholeImageToTheCompletion) {
    for (int block : {64, 256}) {
        SimRunner panel(panelOptions(SimMode::Read, block));
        Rig rig(panel.path());
        bool completed = false;
        ReadSteps rs;
        rs.complete = [&] {
            completed = true;
            EXPECT_EQ(rig.image, patternImage(42));
        };
        EXPECT_EQ(ReadConfigPU(rig.link, rig.port, rig.ports, rs), TransferOutcome::Completed);
        EXPECT_TRUE(completed);
        EXPECT_TRUE(rig.prompts.asked().empty());
        // Clearing the status is the completion's first step, not the read's.
        EXPECT_EQ(rig.view.statuses, (std::vector<std::string>{kSearching, kReading}));
        EXPECT_EQ(rig.view.readsBegun, 1);
        EXPECT_EQ(rig.view.readsNotSaved, 0);
        EXPECT_EQ(rig.view.readsFailed, 0);
        EXPECT_EQ(rig.view.positions.back(), 100);
    }
}

// Every fault of the simulated panel, in both modes: how the transfer ends.
TEST(PanelTransfer, EveryPanelFaultEndsAsThePersonIsTold) {
    const int kAt = 3;
    for (bool paced : {false, true})
        for (SimMode mode : {SimMode::Write, SimMode::Read})
            for (SimFault fault : kAllFaults) {
                if (!faultApplies(fault, mode))
                    continue;
                // Paced runs cover the read faults whose bytes trickle in (a
                // paced write would take the whole line time).
                if (paced && (mode == SimMode::Write ||
                              (fault != SimFault::Garbage && fault != SimFault::LongBlock)))
                    continue;
                SCOPED_TRACE(std::string(mode == SimMode::Write ? "write " : "read ") +
                             std::string(faultName(fault)) + (paced ? " paced" : ""));
                TempDir tmp{TempDir::Cwd::Enter};
                SimOptions o = panelOptions(mode, 64);
                o.fault = fault;
                o.faultBlock = kAt;
                o.slowMs = 150; // inside the (shortened) wait
                o.pacing = paced;
                SimRunner panel(o);
                Rig rig(panel.path());
                if (paced || fault == SimFault::Noise) {
                    // The byte after a long block trickles in during the pause
                    // that follows it, and noise may come as a block's worth:
                    // the pause must be the real one.
                    LinkTimings t = rig.link.timings();
                    t.readPause = LinkTimings().readPause;
                    rig.link.setTimings(t);
                }
                bool survives = fault == SimFault::None || fault == SimFault::SlowReply ||
                                (fault == SimFault::Garbage && mode == SimMode::Write);
                if (!survives)
                    rig.prompts.expectMessage(kError, kNoLink, MsgIcon::Error, MsgButtons::Ok,
                                              MsgResult::Ok);
                else if (mode == SimMode::Write)
                    rig.prompts.expectMessage("ИНФОРМАЦИЯ"_cp,
                                              "ЗАПИСЬ КОНФИГУРАЦИИ В ПУ-П ЗАКОНЧЕНА"_cp,
                                              MsgIcon::Information, MsgButtons::Ok, MsgResult::Ok);
                TransferOutcome outcome;
                bool completed = false;
                if (mode == SimMode::Write) {
                    WriteSteps ws;
                    ws.buildImage = [] {};
                    ws.check = [] { return CheckResult::Ok; };
                    outcome = WriteConfig(rig.link, rig.port, rig.ports, ws);
                } else {
                    ReadSteps rs;
                    rs.complete = [&] { completed = true; };
                    outcome = ReadConfigPU(rig.link, rig.port, rig.ports, rs);
                }
                EXPECT_EQ(rig.prompts.pending(), 0u);
                EXPECT_EQ(outcome,
                          survives ? TransferOutcome::Completed : TransferOutcome::LinkLost);
                // A read that got every block leaves the window to its completion.
                EXPECT_EQ(completed, survives && mode == SimMode::Read);
                if (!completed) {
                    EXPECT_EQ(rig.view.statuses.back(), "");
                    EXPECT_FALSE(rig.view.progressShown);
                    EXPECT_TRUE(rig.view.enabled);
                }
                if (survives) {
                    EXPECT_FALSE(std::filesystem::exists(kLostReadFile));
                    continue;
                }
                if (mode == SimMode::Write) {
                    EXPECT_FALSE(std::filesystem::exists(kLostReadFile));
                    continue;
                }
                // A failed read is not a read left unsaved: there is no image
                // to export.
                EXPECT_EQ(rig.view.readsFailed, 1);
                EXPECT_EQ(rig.view.readsNotSaved, 0);
                // The partial image: blocks before the fault as the panel sent
                // them, the rest as the buffer held it before the read.
                std::string dump = fileBytes(kLostReadFile);
                ASSERT_EQ(dump.size(), 65535u);
                std::vector<std::uint8_t> served = patternImage(42);
                EXPECT_TRUE(std::equal(served.begin(), served.begin() + kAt * 64,
                                       reinterpret_cast<const std::uint8_t*>(dump.data())));
                EXPECT_EQ(static_cast<std::uint8_t>(dump[(kAt + 1) * 64]), 0x5A);
                EXPECT_EQ(static_cast<std::uint8_t>(dump.back()), 0x5A);
            }
}

TEST(PanelTransfer, NoPanelGivesTheModesMessage) {
    struct Row {
        SimMode mode;
        const char* text;
    };
    const Row rows[] = {
        {SimMode::Write,
         "НЕ ПОДКЛЮЧЕН ИЛИ НЕ ПЕРЕВЕДЕН В РЕЖИМ \"ЗАПИСИ КОНФИГУРАЦИИ\" ПРИБОР ПУ-П"},
        {SimMode::Read,
         "НЕ ПОДКЛЮЧЕН ИЛИ НЕ ПЕРЕВЕДЕН В РЕЖИМ \"СЧИТЫВАНИЯ КОНФИГУРАЦИИ\" ПРИБОР ПУ-П"}};
    for (const Row& r : rows) {
        TempDir tmp{TempDir::Cwd::Enter};
        Rig rig("/dev/kvort-no-such-device");
        rig.prompts.expectMessage(kError, text::fromUtf8(r.text), MsgIcon::Error, MsgButtons::Ok,
                                  MsgResult::Ok);
        bool checked = false;
        TransferOutcome outcome;
        if (r.mode == SimMode::Write) {
            WriteSteps ws;
            ws.buildImage = [] {};
            ws.check = [&] {
                checked = true;
                return CheckResult::Ok;
            };
            outcome = WriteConfig(rig.link, rig.port, rig.ports, ws);
            EXPECT_EQ(rig.deviceSeries, -1);
        } else {
            outcome = ReadConfigPU(rig.link, rig.port, rig.ports, ReadSteps{});
            EXPECT_EQ(rig.view.readsFailed, 1);
            EXPECT_EQ(rig.view.readsNotSaved, 0);
        }
        EXPECT_EQ(outcome, TransferOutcome::NotFound);
        EXPECT_FALSE(checked);
        EXPECT_EQ(rig.prompts.pending(), 0u);
        EXPECT_TRUE(rig.view.enabled);
        EXPECT_FALSE(std::filesystem::exists(kLostReadFile));
    }
}
