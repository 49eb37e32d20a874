#include "PanelVerify.h"

#include "archives/EventArchives.h"
#include "text/Literals.h"

#include <cstdio>

namespace kvort {

using namespace text::literals;

bool IsConfigurationByte(std::uint32_t offset, Series series) {
    // The series marker is a card file's convention; a panel need not hold it.
    if (offset == imagemap::kISeriesMarker)
        return false;
    if (series == Series::I)
        return offset < imagemap::kImageSize;
    // F/H: the archives fill 0x9FFE up to the fire ring's end, except the
    // device list with its series byte.
    if (offset >= imagemap::kFhDeviceList && offset <= imagemap::kFhDeviceList + 9)
        return true;
    return offset < archive::kEventCounter;
}

namespace {
std::string Hex(std::uint32_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(v));
    return buf;
}
} // namespace

PanelVerification VerifyPanelImage(const TPanelImage& panel, const std::filesystem::path& cnf) {
    PanelVerification v;
    v.series =
        panel.byte(imagemap::kISeriesMarker) == imagemap::kSeriesMarker ? Series::I : Series::FH;
    const TPanelImage own = EncodeConfigurationImage(cnf, v.series);
    for (std::uint32_t at = 0; at < imagemap::kImageSize; ++at) {
        if (!IsConfigurationByte(at, v.series) || panel.byte(at) == own.byte(at))
            continue;
        if (v.differingBytes++ == 0)
            v.firstOffset = at;
    }
    if (v.differingBytes > 0) {
        CompareSource a{cnf, false, nullptr};
        CompareSource b{std::filesystem::path("ПУ-П"), true, &panel};
        v.comparison = CompareSources(a, b, v.series);
        v.comparison.labelB = std::string("ПУ-П (прибор, "_cp) +
                              std::string(v.series == Series::I ? "серия I)"_cp : "серия F/H)"_cp);
    }
    return v;
}

std::vector<std::string> FormatVerification(const PanelVerification& v) {
    if (v.same())
        return {std::string("Прибор хранит конфигурацию без изменений."_cp)};
    std::vector<std::string> lines{
        std::string("Прибор хранит не ту конфигурацию: различаются байтов "_cp) +
        std::to_string(v.differingBytes) + std::string(", первый по адресу 0x"_cp) +
        Hex(v.firstOffset) + "."};
    for (std::string& l : FormatComparison(v.comparison))
        lines.push_back(std::move(l));
    if (v.comparison.same())
        lines.emplace_back(std::string("Различаются только байты, которые в конфигурацию не "
                                       "читаются; запишите конфигурацию в прибор ещё раз."_cp));
    return lines;
}

} // namespace kvort
