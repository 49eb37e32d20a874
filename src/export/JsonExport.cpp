#include "JsonExport.h"

#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "document/IniStore.h"
#include "text/Cp1251.h"
#include "text/Format.h"

namespace kvort {

namespace {
constexpr std::string_view kEol = "\r\n";
constexpr int kNotedMode = 7; // its notes are marked "* " for the reader
} // namespace

std::string JsonStringContent(std::string_view cp1251) {
    static const char* const kHex = "0123456789abcdef";
    std::string out;
    if (cp1251.empty()) // most addresses of a line hold nothing
        return out;
    for (char c : text::toUtf8(cp1251)) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (u < 0x20) {
                out += "\\u00";
                out += kHex[u >> 4];
                out += kHex[u & 0x0F];
            } else {
                out += c;
            }
        }
    }
    return out;
}

std::string BuildJson(const std::filesystem::path& config) {
    const ConfigFileSet set(config);
    std::string out;
    // About 80 bytes for each of the 480 addresses of a detector file.
    out.reserve(std::size_t{64} * 1024);
    auto line = [&out](std::string_view l) {
        out += l;
        out += kEol;
    };
    line("{");
    line("\"sensor\":[");

    {
        IniStore cnf(set.cnf());
        // Only the note and the mode are exported: the steps are not read.
        for (int k = 1; k <= kScenarioCount; ++k) {
            const std::string sec = ScenarioSection(k);
            if (!cnf.SectionExists(sec))
                continue;
            std::string note = cnf.ReadString(sec, key::kNote, "");
            if (note.empty())
                continue;
            if (cnf.ReadInteger(sec, key::kMode, -1) == kNotedMode)
                note.insert(0, "* ");
            line("{ \"NAME\":\"S" + std::to_string(k) + "\", \"TEXT\":\"" +
                 JsonStringContent(note) + "\",\"ZONE\":\"\",\"STATE\":false, \"TYPE\":\"\"},");
        }
    }

    for (int d = 0; d < kSlotCount; ++d) {
        std::error_code ec;
        if (!std::filesystem::exists(set.tb(d), ec))
            continue;
        IniStore tb(set.tb(d));
        for (int l = 1; l <= kLinesPerDevice; ++l) {
            for (int a = 1; a <= kAddressesPerLine; ++a) {
                const DetectorRecord det = ReadDetector(tb, d, l, a);
                const std::string& textValue = det.text;
                std::string zone, type;
                bool on = false;
                if (det.present()) {
                    zone = det.zone;
                    type = det.type;
                    on = det.state == word::kOn;
                }
                // "D" and the digits of the place: D0105 for И01-05.
                std::string name = "D";
                text::AppendDecimal(name, d, 1);
                text::AppendDecimal(name, l, 1);
                text::AppendDecimal(name, a, 2);
                line("{ \"NAME\":\"" + name + "\",\"TEXT\":\"" + JsonStringContent(textValue) +
                     "\",\"ZONE\":\"" + JsonStringContent(zone) + "\",\"STATE\":" +
                     (on ? "true" : "false") + ",\"TYPE\":\"" + JsonStringContent(type) + "\"},");
            }
        }
    }

    line("{\"NAME\":\"END\"}");
    line("]");
    line("}");
    return out;
}

void ExportJson(const std::filesystem::path& config, const std::filesystem::path& out) {
    writeFile(out, BuildJson(config));
}

} // namespace kvort
