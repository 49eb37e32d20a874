// Creating, opening, saving, discarding and closing a configuration. The
// file work is the document layer's; here are the window's steps around it:
// which actions are enabled, what is shown, what the person is asked.
#include "DropDownList.h"
#include "GuiText.h"
#include "KvortConfig.h"
#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "text/Error.h"
#include "text/Literals.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>

namespace fs = std::filesystem;

namespace kvort::gui {

using namespace text::literals;

namespace {

FileDialogOptions configDialog() {
    FileDialogOptions options;
    options.filter = "*.cnf|*.cnf";
    options.defaultExtension = ".cnf";
    return options;
}

std::string_view saveQuestion() {
    return "СОХРАНИТЬ ИЗМЕНЕНИЯ В КОНФИГУРАЦИИ? "_cp;
}

} // namespace

void KvortConfig::NewConfigExecute() {
    selectFirstTab();
    m_compositionPanel->show();
    m_zonePanel->hide();
    m_detectorPanel->hide();
    for (int n = 0; n < kSlotCount; ++n) {
        m_slotLists[n]->setCurrentIndex(0);
        m_slotLists[n]->setEnabled(n <= 1);
    }
    for (QAction* a : {FileOpen1, NewConfig, ReadConfig, PrintConfig, WriteConfig, WriteConfigCard})
        a->setEnabled(false);

    auto giveUp = [this] {
        m_tabs->hide();
        FileOpen1->setEnabled(true);
        NewConfig->setEnabled(true);
    };
    const std::optional<fs::path> chosen = m_prompts.saveFile(configDialog());
    if (!chosen) {
        giveUp();
        return;
    }

    ZoneNames zones;
    fs::path cnf;
    try {
        cnf = CreateNewConfig(*chosen, zones);
        m_configStore = std::make_unique<IniStore>(cnf);
    } catch (const std::exception& e) {
        // Nothing was opened: the window stays as after a cancel.
        giveUp();
        showError(e.what());
        return;
    }
    m_session.CurrentConfigPath = cnf;
    for (int z = 0; z < kZoneCount; ++z)
        m_zoneGrid->item(z, 1)->setText(qs(zones[z]));
    // The directions of whatever was open before must not be saved into
    // the new configuration: the editor reloads them from the new file.
    guarded([&] { loadDirections(); });
    // The slot-0 change has been written with the skeleton; its showing
    // part and the modified flag are the window's.
    guarded([&] { showSlot(0); });
    m_configModified = true;

    m_zonePanel->show();
    m_detectorPanel->show();
    // The two reads too: a read that failed or was not kept disabled them,
    // and nothing else would give them back for the rest of the run.
    for (QAction* a : {NewConfig, FileOpen1, ReadConfig, PrintConfig, WriteConfig, WriteConfigCard,
                       ReadConfigPU, ReadConfigCard})
        a->setEnabled(true);
    m_zoneGrid->setFocus();
}

void KvortConfig::FileOpen1Execute() {
    FileOpen1BeforeExecute();
    const std::optional<fs::path> chosen = m_prompts.openFile(configDialog());
    if (chosen)
        FileOpen1Accept(*chosen);
}

bool KvortConfig::FileOpen1BeforeExecute() {
    // Only a configuration opened or read in this run (the source line is
    // set) has working copies or a file to save into; after a new one the
    // dialog comes without a question.
    if (sourceLine().isEmpty() || !m_configModified)
        return false;
    m_configModified = false;
    const MsgResult answer =
        m_prompts.message("ИНФОРМАЦИЯ"_cp, saveQuestion(), MsgIcon::Question, MsgButtons::YesNo);
    if (answer == MsgResult::Yes)
        SaveConfigExecute();
    else
        NotSaveConfigExecute();
    return true;
}

void KvortConfig::FileOpen1Accept(const fs::path& chosenName) {
    guarded([&] {
        // Every member of the set is reached from this path long after the
        // working directory has moved on (each confirmed file dialog moves
        // it): a name given relatively is fixed to its folder now.
        const fs::path chosen = fs::absolute(chosenName);
        // A missing file would otherwise be created by the completion on
        // opening (a name given on the command line, or a file that went
        // away after the dialog).
        std::error_code ec;
        if (!fs::is_regular_file(chosen, ec))
            throw FileError("Unable to read " + chosen.string() + " (" +
                            std::make_error_code(std::errc::no_such_file_or_directory).message() +
                            ")");
        readFile(chosen); // unreadable files are refused before anything changes
        auto store = std::make_unique<IniStore>(chosen);
        m_session.CurrentConfigPath = chosen;
        m_configModified = false;
        m_configStore = std::move(store);
        MakeWorkingCopies(chosen);
        selectFirstTab();
        setBusy(true);
        for (QAction* a : {NewConfig, FileOpen1, ReadConfig, PrintConfig, WriteConfig,
                           WriteConfigCard, FileJSON, ReadConfigPU, ReadConfigCard})
            a->setEnabled(true);
        LoadConfigView();
        ShowExtinguishingBlockLabels();
        ShowRelayBlockLabels();
        setSourceLine(qs("  ИСТОЧНИК:  "_cp) +
                      QString::fromStdString(ConfigFileSet(chosen).name()));
        m_zoneGrid->setFocus();
    });
    setBusy(false);
}

bool KvortConfig::SaveConfigExecute() {
    if (m_session.CurrentConfigPath.empty())
        return true;
    return guarded([&] {
        const fs::path cnf = ConfigFileSet(m_session.CurrentConfigPath).cnf();
        m_configStore = std::make_unique<IniStore>(cnf);
        kvort::SaveConfig(cnf, zoneNames(), m_directions);
    });
}

bool KvortConfig::NotSaveConfigExecute() {
    if (m_session.CurrentConfigPath.empty())
        return true;
    return guarded([&] { DiscardConfig(m_session.CurrentConfigPath); });
}

void KvortConfig::closeEvent(QCloseEvent* event) {
    // A transfer waits in its own event loop with the port and the image in
    // use; the window closes once it has ended.
    if (m_transferRunning || m_readRunning) {
        event->ignore();
        return;
    }
    // FormCloseQuery
    if (m_configModified) {
        const MsgResult answer = m_prompts.message("ИНФОРМАЦИЯ"_cp, saveQuestion(),
                                                   MsgIcon::Question, MsgButtons::YesNoCancel);
        if (answer == MsgResult::Cancel) {
            event->ignore();
            return;
        }
        const bool done = answer == MsgResult::Yes ? SaveConfigExecute() : NotSaveConfigExecute();
        // A save or discard that failed has been shown; closing now would
        // lose the edits it was meant to keep.
        if (!done) {
            event->ignore();
            return;
        }
        m_configModified = false;
    }
    FormClose();
    event->accept();
}

void KvortConfig::FormClose() {
    m_configStore.reset();
    if (m_port.isOpen())
        m_port.setOpen(false);
}

} // namespace kvort::gui
