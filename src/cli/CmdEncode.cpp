#include "Cli.h"

#include "app/Completion.h"
#include "document/ConfigFileSet.h"
#include "document/Messages.h"
#include "image/Encoder.h"
#include "text/Cp1251.h"
#include "text/Literals.h"

namespace kvort::cli {

using namespace text::literals;

namespace {

void report(std::string_view cp1251) {
    sayError(text::toUtf8(cp1251));
}

} // namespace

// encode NAME.cnf --series fh|i -o IMAGE.bin: the image a write would send,
// without the check and its questions; zone names from [ЗОНА].
int cmdEncode(const std::vector<std::string>& words) {
    Args args(words, {"--series", "-o"}, {});
    std::filesystem::path cnfPath =
        ChangeFileExt(args.single("файл конфигурации NAME.cnf"), ".cnf");
    auto seriesWord = args.value("--series");
    auto out = args.value("-o");
    if (!seriesWord || (*seriesWord != "fh" && *seriesWord != "i"))
        throw UsageError{"нужно --series fh или --series i"};
    if (!out)
        throw UsageError{"нужно -o IMAGE.bin"};
    const std::filesystem::path imagePath = outputFile(*out, "-o");
    if (!std::filesystem::exists(cnfPath))
        throw FileError(msg::noConfiguration(cnfPath));
    const Series series = *seriesWord == "i" ? Series::I : Series::FH;

    ZoneNames zones;
    {
        IniStore cnf(cnfPath);
        CompleteConfiguration(cnf);
        zones = ReadZoneNames(cnf);
    }
    TPanelImage image;
    BuildPanelImage(image, cnfPath, zones);
    IniStore cnf(cnfPath);
    bool ok = true;
    switch (EncodeOutputTexts(image, cnf, series)) {
    case OutputTextsResult::Done:
        break;
    case OutputTextsResult::NoSeries:
        report("ОШИБКА. НЕ ОПРЕДЕЛЕНА СЕРИЯ ПРИБОРА"_cp);
        ok = false;
        break;
    case OutputTextsResult::NotStored:
        report("ВНИМАНИЕ. ОПИСАНИЯ ФУНКЦИЙ РЕЛЕ НЕ БУДУТ СОХРАНЕНЫ В ПРИБОРЕ ПУ"_cp);
        ok = false;
        break;
    case OutputTextsResult::NotAllFit:
        report("ВНИМАНИЕ. НЕ ВСЕ ОПИСАНИЯ ФУНКЦИЙ РЕЛЕ БУДУТ СОХРАНЕНЫ В ПРИБОРЕ ПУ"_cp);
        ok = false;
        break;
    }
    switch (EncodeLinkedOutputs(image, cnf, series)) {
    case LinkedOutputsResult::Done:
        break;
    case LinkedOutputsResult::NoSeries:
        report("ОШИБКА. НЕ ОПРЕДЕЛЕНА СЕРИЯ ПРИБОРА"_cp);
        ok = false;
        break;
    case LinkedOutputsResult::TextSpace:
        report("ОШИБКА. НЕОБХОДИМО СОКРАТИТЬ ОБЪЕМ ТЕКСТОВОЙ ИНФОРМАЦИИ В СООБЩЕНИЯХ ДАТЧИКОВ. "
               "ИСПОЛЬЗУЙТЕ СОКРАЩЕНИЯ ЧАСТО УПОТРЕБЛЯЕМЫХ СЛОВ"_cp);
        ok = false;
        break;
    case LinkedOutputsResult::TableFull:
        report(series == Series::FH
                   ? "ОШИБКА. ПРЕВЫШЕНО СУММАРНОЕ КОЛИЧЕСТВО \"СВЯЗАННЫХ ВЫХОДОВ\" И ДАТЧИКОВ "
                     "БЕЗ ФИКСАЦИИ(>256)"_cp
                   : "ОШИБКА. ПРЕВЫШЕНО КОЛИЧЕСТВО \"СВЯЗАННЫХ ВЫХОДОВ\"(>256)"_cp);
        ok = false;
        break;
    }
    if (!EncodeScenarios(image, cnf, series)) {
        // The check adds no line for this pass; the command line says it.
        sayError("сценарии не записаны: тексты датчиков заходят в таблицу сценариев");
        ok = false;
    }
    // As on an SD card, a series I image carries its marker, so that
    // `decode` (and the card reader) recognise the series.
    if (series == Series::I)
        image.setByte(imagemap::kISeriesMarker, imagemap::kSeriesMarker);
    // A failed run never replaces an image that is already there (it may be
    // the one going onto a card); where none stands, the image is written so
    // that what the passes made can be looked at.
    std::error_code ec;
    if (!ok && std::filesystem::symlink_status(imagePath, ec).type() !=
                   std::filesystem::file_type::not_found) {
        sayError("образ не записан: " + imagePath.string() + " оставлен как был");
        return 1;
    }
    writeFile(imagePath, image.bytes());
    return ok ? 0 : 1;
}

} // namespace kvort::cli
