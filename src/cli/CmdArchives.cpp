#include "Cli.h"

#include "archives/EventArchives.h"
#include "document/ConfigFileSet.h"
#include "image/ImageMessages.h"
#include "image/PanelImage.h"

#include <memory>
#include <span>

namespace kvort::cli {

int cmdArchives(const std::vector<std::string>& words) {
    Args args(words, {"-c"}, {});
    const std::filesystem::path imagePath = args.single("файл образа IMAGE.bin");
    const auto cnf = args.value("-c");
    if (!cnf)
        throw UsageError{"не указана конфигурация: -c NAME.cnf"};
    const std::filesystem::path name =
        ChangeFileExt(std::filesystem::absolute(outputConfig(*cnf, "-c")), "");
    bool longer = false;
    auto image = std::make_unique<TPanelImage>(TPanelImage::fromFile(imagePath, &longer));
    if (longer)
        sayError("ВНИМАНИЕ: " + msg::imageFileLonger(imagePath));
    const std::span<const std::uint8_t> bytes(image->data(), TPanelImage::kSize);
    ArchiveNames names(name);
    for (ArchiveKind kind : {ArchiveKind::Faults, ArchiveKind::Fires, ArchiveKind::Events}) {
        const auto file = ArchiveFile(kind, name);
        if (DecodeArchive(kind, bytes, names))
            say(file.string());
        else
            sayError("нет архива (счётчик вне кольца): " + file.filename().string());
    }
    return 0;
}

} // namespace kvort::cli
