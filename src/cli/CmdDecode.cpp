#include "Cli.h"

#include "document/ConfigFileSet.h"
#include "document/Lifecycle.h"
#include "image/Decoder.h"
#include "image/ImageMessages.h"

namespace kvort::cli {

// decode IMAGE.bin -o NAME.cnf: the read path's skeleton, then the decoder.
int cmdDecode(const std::vector<std::string>& words) {
    Args args(words, {"-o"}, {});
    std::filesystem::path imagePath = args.single("файл образа IMAGE.bin");
    auto out = args.value("-o");
    if (!out)
        throw UsageError{"нужно -o NAME.cnf"};
    const std::filesystem::path outCnf = outputConfig(*out, "-o");
    // Read (and refuse) the image before anything is written.
    bool longer = false;
    TPanelImage image = TPanelImage::fromFile(imagePath, &longer);
    if (longer)
        sayError("ВНИМАНИЕ: " + msg::imageFileLonger(imagePath));
    std::filesystem::path cnf = WriteReadSkeleton(outCnf);
    const Series series = DecodePanelImage(image, cnf);
    say(series == Series::I ? "серия I" : "серия F/H");
    return 0;
}

} // namespace kvort::cli
