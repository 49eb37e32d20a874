#include "ReadCompletion.h"

#include "archives/EventArchives.h"
#include "document/ConfigFileSet.h"
#include "document/IniStore.h"
#include "document/Lifecycle.h"
#include "image/Decoder.h"
#include "text/Literals.h"

#include <span>

namespace kvort {

using namespace text::literals;

std::string ReadSaveQuestion() {
    return std::string("ЧТЕНИЕ КОНФИГУРАЦИИ ЗАКОНЧЕНО. СОХРАНИТЬ?"_cp);
}

std::optional<std::filesystem::path> CompleteRead(PanelSession& session, ReadSource source,
                                                  const Ports& ports) {
    UserPrompts& prompts = ports.prompts;
    ProgressSink& view = ports.progress;
    view.playNotify();
    view.setProgress(0, 0);
    view.setStatus("");
    if (prompts.message("ИНФОРМАЦИЯ"_cp, ReadSaveQuestion(), MsgIcon::Information,
                        MsgButtons::YesNo) != MsgResult::Yes) {
        ports.gate.enter(WorkflowStage::ReadNotSaved);
        return std::nullopt;
    }
    FileDialogOptions options;
    options.filter = "*.cnf|*.cnf";
    options.defaultExtension = ".cnf";
    const auto chosen = prompts.saveFile(options);
    if (!chosen) {
        ports.gate.enter(WorkflowStage::ReadNotSaved);
        return std::nullopt;
    }

    session.CurrentConfigPath = ChangeFileExt(*chosen, ".bin");
    writeFile(session.CurrentConfigPath, session.image.bytes());
    session.CurrentConfigPath = WriteReadSkeleton(*chosen);
    SinkProgress progress(view);
    session.DeviceSeries = DecodePanelImage(session.image, session.CurrentConfigPath, &progress);

    const std::filesystem::path name = ChangeFileExt(session.CurrentConfigPath, "");
    if (session.DeviceSeries != Series::I) {
        DecodeArchives(std::span(session.image.data(), TPanelImage::kSize), name);
    } else if (source == ReadSource::Card) {
        // The save dialog has just made the chosen folder the working
        // directory, which is where the card's archive file is looked for.
        const std::filesystem::path archive = chosen->parent_path() / kCardArchiveFile;
        std::error_code ec;
        if (std::filesystem::is_regular_file(archive, ec)) {
            session.image = TPanelImage::fromFile(archive);
            DecodeArchives(std::span(session.image.data(), TPanelImage::kSize), name);
        }
    }

    ports.reads.configurationRead(session.CurrentConfigPath);
    return session.CurrentConfigPath;
}

} // namespace kvort
