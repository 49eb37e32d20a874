#include "ReportBuilders.h"

#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "document/IniStore.h"
#include "text/Cp1251.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <array>
#include <chrono>

namespace kvort {

using namespace text::literals;
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPageHeader = "PageHeader1";
constexpr std::string_view kGroupHeader = "GroupHeader1";
constexpr std::string_view kMasterData = "MasterData1";
constexpr std::string_view kPageFooter = "PageFooter1";
constexpr std::string_view kSummary = "ReportSummary1";

constexpr int kAnyZone = 255; // a scenario's ЗОНА for "in any zone"

std::pair<std::string, std::string> value(std::string_view name, std::string v) {
    return {std::string(name), std::move(v)};
}

std::string cat(std::string_view a, std::string_view b) {
    std::string s(a);
    s += b;
    return s;
}

// Characters from..to (1-based, inclusive) of s, as far as s reaches.
std::string chars(std::string_view s, std::size_t from, std::size_t to) {
    if (from > s.size())
        return {};
    return std::string(s.substr(from - 1, to - from + 1));
}

bool scenarioExists(const IniStore& cnf) {
    for (int k = 1; k <= kScenarioCount; ++k)
        if (cnf.SectionExists(ScenarioSection(k)))
            return true;
    return false;
}

bool directionExists(const IniStore& cnf) {
    for (int n = 1; n <= kDirectionCount; ++n)
        if (cnf.SectionExists(DirectionSection(n)))
            return true;
    return false;
}

// Report 1. Every address of a device gets a row, with a detector or not,
// so the list doubles as the installer's wiring sheet.
void buildDetectors(const ConfigFileSet& set, ReportSink& sink) {
    int detectors = 0;
    sink.showBand(kPageHeader, {});
    const IniStore cnf(set.cnf());
    for (int slot = 0; slot < kSlotCount; ++slot) {
        std::error_code ec;
        if (!fs::exists(set.tb(slot), ec))
            continue;
        // Read without the usual "НЕТ" default: only a missing or empty
        // key leaves the device out.
        const std::string kind = cnf.ReadString(SectionComposition(), std::to_string(slot), "");
        if (kind.empty())
            continue;

        const std::string_view prefix = std::string_view(kind).substr(0, 3);
        int lines = 0, addresses = 0;
        if (prefix == "ПУ-"_cp || prefix == "ППК"_cp) {
            lines = kLinesPerDevice;
            addresses = kAddressesPerLine;
        } else if (prefix == "БДУ"_cp || prefix == "БРИ"_cp) {
            lines = 4;
            addresses = 1;
        } else if (prefix == "ПИУ"_cp) {
            lines = 1;
            addresses = 48;
        }

        const IniStore tb(set.tb(slot));
        const std::string device = slot > 0 ? cat("ПРИБОР №"_cp, std::to_string(slot) + " " + kind)
                                            : cat("ПРИБОР "_cp, kind);
        sink.showBand(kGroupHeader, {value("ПРИБОР"_cp, device)});
        for (int line = 1; line <= lines; ++line) {
            for (int address = 1; address <= addresses; ++address) {
                const std::string s = SensorAddress(slot, line, address);
                std::string message = tb.ReadString(s, key::kText, "");
                std::string output = tb.ReadString(s, key::kOutput, "");
                if (!message.empty())
                    ++detectors;
                sink.showBand(
                    kMasterData,
                    {value("АДРЕС"_cp, s), value("ТИП"_cp, tb.ReadString(s, key::kType, "")),
                     value("ЗОНА"_cp, tb.ReadString(s, key::kZone, "")),
                     value("СООБЩЕНИЕ"_cp, std::move(message)),
                     value("СОСТ"_cp, tb.ReadString(s, key::kState, "")),
                     value("ПРИМ"_cp, output.empty() ? std::string() : cat("ВЫХОД: "_cp, output))});
            }
            if (addresses != 1)
                sink.newPage();
        }
        sink.showBand(kPageFooter, {});
        if (addresses == 1)
            sink.newPage();
    }
    sink.showBand(kSummary, {value("GlobalDat", std::to_string(detectors))});
}

// Report 2.
void buildScenarios(const ConfigFileSet& set, ReportSink& sink) {
    const IniStore cnf(set.cnf());
    sink.showBand(kPageHeader, {});
    for (int k = 1; k <= kScenarioCount; ++k) {
        const std::string section = ScenarioSection(k);
        if (!cnf.SectionExists(section))
            continue;
        const int z = cnf.ReadInteger(section, key::kZone, -1);
        const std::string zone =
            z == kAnyZone ? std::string("В ЛЮБОЙ ЗОНЕ"_cp) : ZoneName(cnf, z + 1);
        sink.showBand(
            kGroupHeader,
            {value("СЦЕНАРИЙ"_cp, text::Format("СЦЕНАРИЙ: %2.2d"_cp, {k})),
             value("РЕЖИМ"_cp,
                   cat("РЕЖИМ: "_cp, ScenarioModeName(cnf.ReadInteger(section, key::kMode, 0)))),
             value("ЗОНА"_cp, cat("ЗОНА: "_cp, zone)),
             value("ПРИМЕЧАНИЕ"_cp, cnf.ReadString(section, key::kNote, ""))});
        for (int n = 1; n <= kStepCount; ++n) {
            const std::string v = cnf.ReadString(section, StepKey(n), "");
            // The step format: a three-digit output number moves the state
            // and the delay one character to the right.
            const bool shortStep = v.size() == 17;
            sink.showBand(kMasterData,
                          {value("ШАГ"_cp, text::Format("%2.2d", {n})),
                           value("ПРИБОР"_cp, chars(v, 1, 5)),
                           value("НОМЕР"_cp, shortStep ? chars(v, 7, 8) : chars(v, 7, 9)),
                           value("СОСТОЯНИЕ"_cp, shortStep ? chars(v, 10, 13) : chars(v, 11, 14)),
                           value("ЗАДЕРЖКА"_cp, shortStep ? chars(v, 15, 17) : chars(v, 16, 18))});
        }
    }
}

// Report 3.
void buildDirections(const ConfigFileSet& set, ReportSink& sink) {
    const IniStore cnf(set.cnf());
    sink.showBand(kPageHeader, {});
    for (int n = 1; n <= kDirectionCount; ++n) {
        const std::string section = DirectionSection(n);
        if (!cnf.SectionExists(section))
            continue;
        auto read = [&](std::string_view key) { return cnf.ReadString(section, key, ""); };
        ReportValues values;
        values.push_back(value("НАПРАВЛЕНИЕ"_cp, section));
        values.push_back(value("ЗОНА"_cp, cat("ЗОНА: "_cp, read(key::kZone))));
        for (int r = 1; r <= kRelayCount; ++r)
            values.push_back(value(RelayKey(r), read(RelayKey(r))));
        const std::string scenario = read(key::kScenario);
        values.push_back(
            value("СЦЕНАРИЙ"_cp, scenario.empty() ? std::string(word::kNone) : scenario));
        // The control row names the module by the older key first.
        const std::string bdu4 = read(key::kBdu4);
        const std::string brit = read(key::kBrit);
        const std::string control = !bdu4.empty() ? bdu4 : brit;
        values.push_back(
            value("БДУ"_cp, control.empty() ? std::string(word::kNone) : cat("БДУ/"_cp, control)));
        values.push_back(
            value("БРИТ"_cp, brit.empty() ? std::string(word::kNone) : cat("БРИТ/"_cp, brit)));
        sink.showBand(kGroupHeader, std::move(values));
    }
}

// Report 4.
void buildOutputs(const ConfigFileSet& set, ReportSink& sink) {
    const IniStore cnf(set.cnf());
    const auto entries = cnf.ReadSectionValues(SectionDescriptions());
    if (entries.empty())
        return;
    sink.showBand(kPageHeader, {});
    for (const auto& [key, description] : entries) {
        // The device field is five characters ("ПУ-П " keeps its blank);
        // the number follows the "/" after it.
        const std::size_t slash = key.find('/', 5);
        sink.showBand(
            kMasterData,
            {value("ПРИБОР"_cp, chars(key, 1, 5)),
             value("НОМЕР"_cp, slash == std::string::npos ? std::string() : key.substr(slash + 1)),
             value("ОПИСАНИЕ"_cp, description)});
    }
    sink.showBand(kPageFooter, {});
}

} // namespace

std::string ShortDate(std::time_t when) {
    std::tm local{};
    if (!localtime_r(&when, &local))
        return {};
    return text::Format("%2.2d.%2.2d.%4.4d",
                        {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900});
}

ReportValues CommonReportValues(const fs::path& config) {
    const ConfigFileSet set(config);
    std::string date;
    std::error_code ec;
    const auto written = fs::last_write_time(set.cnf(), ec);
    if (!ec) {
        const auto sys = std::chrono::file_clock::to_sys(written);
        date = ShortDate(std::chrono::system_clock::to_time_t(
            std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys)));
    }
    // File names are UTF-8 on this platform; the reports hold CP1251.
    return {value("FileName", text::fromUtf8Lossy(set.name())), value("FileDate", date)};
}

std::vector<ReportKind> ReportsToPrint(const fs::path& config) {
    const ConfigFileSet set(config);
    const IniStore cnf(set.cnf());
    std::vector<ReportKind> kinds{ReportKind::Detectors};
    if (scenarioExists(cnf))
        kinds.push_back(ReportKind::Scenarios);
    if (cnf.SectionExists(SectionDescriptions()))
        kinds.push_back(ReportKind::Outputs);
    if (directionExists(cnf))
        kinds.push_back(ReportKind::Directions);
    return kinds;
}

void BuildReport(ReportKind kind, const fs::path& config, ReportSink& sink) {
    const ConfigFileSet set(config);
    switch (kind) {
    case ReportKind::Detectors:
        buildDetectors(set, sink);
        break;
    case ReportKind::Scenarios:
        buildScenarios(set, sink);
        break;
    case ReportKind::Directions:
        buildDirections(set, sink);
        break;
    case ReportKind::Outputs:
        buildOutputs(set, sink);
        break;
    }
}

} // namespace kvort
