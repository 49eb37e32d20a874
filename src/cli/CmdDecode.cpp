#include "Cli.h"

#include "app/ReadCompletion.h"
#include "document/ConfigHistory.h"
#include "image/Decoder.h"
#include "image/ImageMessages.h"

namespace kvort::cli {

// decode IMAGE.bin -o NAME.cnf: the image decoded in memory, then written as
// the set NAME in one step; the set it replaces goes into its history.
int cmdDecode(const std::vector<std::string>& words) {
    Args args(words, {"-o"}, {});
    std::filesystem::path imagePath = args.single("файл образа IMAGE.bin");
    auto out = args.value("-o");
    if (!out)
        throw UsageError{"нужно -o NAME.cnf"};
    const std::filesystem::path outCnf = outputConfig(*out, "-o");
    // Read, decoded (and refused) before anything is written.
    bool longer = false;
    const TPanelImage image = TPanelImage::fromFile(imagePath, &longer);
    if (longer)
        sayError("ВНИМАНИЕ: " + msg::imageFileLonger(imagePath));
    const DecodedConfig config = DecodeImage(image);
    const SavedSet saved = SaveDecodedConfig(config, outCnf, reason::kDecode, std::nullopt);
    say(config.series == Series::I ? "серия I" : "серия F/H");
    if (!saved.kept.name.empty())
        say("прежняя конфигурация сохранена в истории: " + saved.kept.folder.string());
    return 0;
}

} // namespace kvort::cli
