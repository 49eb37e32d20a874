#include "ReadCompletion.h"

#include "CardFiles.h"

#include "archives/EventArchives.h"
#include "document/ConfigFileSet.h"
#include "document/IniStore.h"
#include "document/Lifecycle.h"
#include "document/SetCommit.h"
#include "text/Literals.h"

#include <span>

namespace kvort {

using namespace text::literals;

std::string ReadSaveQuestion() {
    return std::string("ЧТЕНИЕ КОНФИГУРАЦИИ ЗАКОНЧЕНО. СОХРАНИТЬ?"_cp);
}

ImageSeries SeriesOfImage(const TPanelImage& image) {
    return image.byte(imagemap::kISeriesMarker) == imagemap::kSeriesMarker ? ImageSeries::I
                                                                           : ImageSeries::FH;
}

ImageSeries HistorySeries(Series series) {
    switch (series) {
    case Series::FH:
        return ImageSeries::FH;
    case Series::I:
        return ImageSeries::I;
    case Series::Unknown:
        break;
    }
    return ImageSeries::Unknown;
}

SavedSet SaveDecodedConfig(const DecodedConfig& config, const std::filesystem::path& chosen,
                           std::string_view reason, const std::optional<ReadImage>& image) {
    const ConfigFileSet set(chosen);
    const DecodedFiles files = RenderDecoded(config, ReadSkeleton());
    NewConfigSet next;
    // NAME.bin first, as a read has always written it first.
    if (image) {
        next.files.emplace_back(set.bin(), std::string(image->bytes));
        next.image = ImageToKeep{std::string(image->bytes), ImageDirection::Read, image->medium,
                                 HistorySeries(config.series)};
    }
    next.files.emplace_back(set.cnf(), files.cnf);
    for (int s = 0; s < kSlotCount; ++s)
        if (files.tb[s])
            next.files.emplace_back(set.tb(s), *files.tb[s]);
    // A detector file of a slot the read has not would be checked and
    // encoded as part of it.
    next.remove = detectorFilesOutside(set, next);
    // Working copies of an earlier opening would bring the old set back at
    // "Нет" on closing.
    for (const std::filesystem::path& w : workingCopies(set))
        next.remove.push_back(w);
    SavedSet saved;
    saved.kept = commitConfigSet(set, reason, next);
    saved.cnf = set.cnf();
    return saved;
}

std::optional<std::filesystem::path> CompleteRead(PanelSession& session, ReadSource source,
                                                  const Ports& ports) {
    UserPrompts& prompts = ports.prompts;
    ProgressSink& view = ports.progress;
    // The decoder fills the bar again; however the read ends (saved, not
    // saved, or stopped by an error) the bar goes away with it.
    const HideProgress hide(view);
    view.playNotify();
    view.setProgress(0, 0);
    view.setStatus("");
    const ImageMedium medium = source == ReadSource::Card ? ImageMedium::Card : ImageMedium::Panel;
    const std::string_view reason =
        source == ReadSource::Card ? reason::kReadCard : reason::kReadPanel;
    // What the panel or the card held stays on record even when the person
    // does not save it as a configuration.
    auto notSaved = [&] {
        if (!session.CurrentConfigPath.empty())
            keepImage(ConfigFileSet(session.CurrentConfigPath), reason, session.image.bytes(),
                      ImageDirection::Read, medium, SeriesOfImage(session.image));
        ports.gate.enter(WorkflowStage::ReadNotSaved);
        return std::nullopt;
    };
    if (prompts.message("ИНФОРМАЦИЯ"_cp, ReadSaveQuestion(), MsgIcon::Information,
                        MsgButtons::YesNo) != MsgResult::Yes)
        return notSaved();
    FileDialogOptions options;
    options.filter = "*.cnf|*.cnf";
    options.defaultExtension = ".cnf";
    const auto chosen = prompts.saveFile(options);
    if (!chosen)
        return notSaved();

    SinkProgress progress(view);
    const DecodedConfig config = DecodeImage(session.image, &progress);
    const SavedSet saved =
        SaveDecodedConfig(config, *chosen, reason, ReadImage{session.image.bytes(), medium});
    session.CurrentConfigPath = saved.cnf;
    session.DeviceSeries = config.series;

    const std::filesystem::path name = ChangeFileExt(session.CurrentConfigPath, "");
    if (session.DeviceSeries != Series::I) {
        DecodeArchives(std::span(session.image.data(), TPanelImage::kSize), name);
    } else if (source == ReadSource::Card) {
        // The save dialog has just made the chosen folder the working
        // directory, which is where the card's archive file is looked for.
        const std::filesystem::path archive = chosen->parent_path() / kCardArchiveFile;
        std::error_code ec;
        if (std::filesystem::is_regular_file(archive, ec)) {
            bool longer = false;
            session.image = TPanelImage::fromFile(archive, &longer);
            if (longer)
                prompts.message("ВНИМАНИЕ"_cp, CardFileLongerText(archive), MsgIcon::Warning,
                                MsgButtons::Ok);
            DecodeArchives(std::span(session.image.data(), TPanelImage::kSize), name);
        }
    }

    ports.reads.configurationRead(session.CurrentConfigPath);
    return session.CurrentConfigPath;
}

} // namespace kvort
