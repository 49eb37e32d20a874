#include "CardFiles.h"

#include "ConfigCheck.h"

#include "document/ConfigFileSet.h"
#include "document/ConfigHistory.h"
#include "document/IniStore.h"
#include "image/Encoder.h"
#include "text/Cp1251.h"
#include "text/Literals.h"

namespace kvort {

using namespace text::literals;

namespace {

// Restores the normal cursor on every way out, errors included.
class BusyCursor {
  public:
    explicit BusyCursor(ProgressSink& view) : m_view(view) { m_view.setBusy(true); }
    ~BusyCursor() { m_view.setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    ProgressSink& m_view;
};

} // namespace

std::string CardFileLongerText(const std::filesystem::path& file) {
    return std::string("ФАЙЛ "_cp) + text::fromUtf8Lossy(file.string()) +
           std::string(" ДЛИННЕЕ 65536 БАЙТ. ИСПОЛЬЗУЮТСЯ ЕГО ПЕРВЫЕ 65536 БАЙТ"_cp);
}

FileDialogOptions CardFileDialog() {
    FileDialogOptions options;
    options.filter = "*.BIN|*.BIN";
    options.defaultExtension = ".BIN";
    options.initialName = "CONFIG";
    return options;
}

CardWriteOutcome WriteConfigCard(PanelSession& session, const ZoneNames& zoneGrid,
                                 const Ports& ports, const std::vector<std::string>& notes) {
    UserPrompts& prompts = ports.prompts;
    ProgressSink& view = ports.progress;
    BusyCursor busy(view);
    session.DeviceSeries = SeriesFromCode(prompts.chooseSeries());
    if (session.DeviceSeries == Series::Unknown)
        return CardWriteOutcome::Cancelled;

    SinkProgress progress(view);
    try {
        BuildPanelImage(session.image, session.CurrentConfigPath, zoneGrid, &progress);
    } catch (const Error& e) {
        WriteFailedCheckReport(session, notes, e);
        throw;
    }
    if (CheckConfiguration(session, prompts, view, notes) == CheckResult::Stopped)
        return CardWriteOutcome::Stopped;

    const auto chosen = prompts.saveFile(CardFileDialog());
    if (!chosen)
        return CardWriteOutcome::Cancelled;
    if (session.DeviceSeries == Series::I)
        session.image.setByte(imagemap::kISeriesMarker, imagemap::kSeriesMarker);
    writeFile(*chosen, session.image.bytes());
    keepImage(ConfigFileSet(session.CurrentConfigPath), reason::kWriteCard, session.image.bytes(),
              ImageDirection::Written, ImageMedium::Card, HistorySeries(session.DeviceSeries));
    if (session.DeviceSeries != Series::FH) {
        // An empty archive for the panel to fill, in the folder just chosen
        // (the working directory once the dialog is confirmed).
        session.image.fillAll(0xFF);
        writeFile(chosen->parent_path() / kCardArchiveFile, session.image.bytes());
    }
    return CardWriteOutcome::Written;
}

std::optional<std::filesystem::path> ReadConfigCard(PanelSession& session, const Ports& ports) {
    const auto chosen = ports.prompts.openFile(CardFileDialog());
    if (!chosen)
        return std::nullopt;
    // Read and size-checked before the session's image is touched.
    bool longer = false;
    session.image = TPanelImage::fromFile(*chosen, &longer);
    if (longer)
        ports.prompts.message("ВНИМАНИЕ"_cp, CardFileLongerText(*chosen), MsgIcon::Warning,
                              MsgButtons::Ok);
    ports.gate.enter(WorkflowStage::ReadRunning);
    return CompleteRead(session, ReadSource::Card, ports);
}

} // namespace kvort
