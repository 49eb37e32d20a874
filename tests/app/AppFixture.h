#pragma once
// A configuration in a fresh folder, the scripted prompts, a view that
// records what it was told, and the session the workflows share.
#include "ScriptedPrompts.h"
#include "TempDir.h"
#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "document/Config.h"
#include "document/Detectors.h"
#include "document/IniStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kvort::testing {

inline std::string cp(std::string_view s) {
    return std::string(s);
}

// Records what the workflows show, on all three ports.
class RecordingView : public ProgressSink, public ActionGate, public ReadObserver {
  public:
    void setStatus(std::string_view text) override { statuses.emplace_back(text); }
    void setProgress(int, int) override {}
    void setBusy(bool busy) override { busyCalls.push_back(busy); }
    void playNotify() override { ++notified; }
    void enter(WorkflowStage stage) override {
        if (stage == WorkflowStage::ReadRunning)
            ++begun;
        if (stage == WorkflowStage::ReadNotSaved)
            ++notSaved;
    }
    void configurationRead(const std::filesystem::path& cnf) override { shown.push_back(cnf); }

    std::vector<std::string> statuses;
    std::vector<bool> busyCalls;
    int begun = 0, notSaved = 0, notified = 0;
    std::vector<std::filesystem::path> shown;
};

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Releases the stores cnf() and tb() keep (before a folder is wiped).
    void resetStores();
    // A new configuration OBJ in dir (ПУ-П only, 256 zones "ЗОНА n", empty OBJ.tb0).
    std::filesystem::path newConfig(const std::string& name = "OBJ");
    IniStore& cnf();
    IniStore& tb(int slot);
    // A detector with text, zone and type (state ВКЛ).
    void detector(int slot, int line, int address, std::string_view text, std::string_view zone,
                  std::string_view type = "ДЫМОВОЙ");
    // The bytes of a file, "" when it does not exist.
    static std::string contents(const std::filesystem::path& p);
    // Files in dir, sorted by name.
    std::vector<std::string> filesIn(const std::filesystem::path& folder) const;

    std::filesystem::path dir, cnfPath;
    std::unique_ptr<PanelSession> session = std::make_unique<PanelSession>();
    ScriptedPrompts prompts;
    RecordingView view;
    Ports ports{prompts, view, view, view};

  private:
    std::filesystem::path m_oldCwd;
    std::unique_ptr<test::TempDir> m_tmp;
    std::unique_ptr<IniStore> m_cnf;
    std::unique_ptr<IniStore> m_tb[kSlotCount];
};

} // namespace kvort::testing
