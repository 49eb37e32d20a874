#pragma once
// A configuration made through the document layer in a private folder, and
// small helpers to look at image bytes.
#include "TempDir.h"
#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "document/IniStore.h"
#include "document/Lifecycle.h"
#include "image/Encoder.h"
#include "text/Literals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace kvort::test {

using namespace text::literals;
namespace fs = std::filesystem;

// A new configuration NAME.cnf (ПУ-П, zones "ЗОНА k") to add to.
class TestConfig {
  public:
    explicit TestConfig(const fs::path& folder, const std::string& name = "t") {
        m_cnf = CreateNewConfig(folder / name, m_zones);
        m_store = std::make_unique<IniStore>(m_cnf);
    }
    const fs::path& path() const { return m_cnf; }
    IniStore& cnf() { return *m_store; }
    ZoneNames zones() const { return ReadZoneNames(*m_store); }
    ConfigFileSet files() const { return ConfigFileSet(m_cnf); }

    void slot(int s, std::string_view kind) {
        ApplySlotChange(*m_store, s, kind);
        writeFile(files().tb(s), "");
    }
    // Writes the given keys of one detector section as they are.
    void detector(int s, int line, int address,
                  std::initializer_list<std::pair<std::string_view, std::string_view>> keys) {
        IniStore tb(files().tb(s));
        for (const auto& [k, v] : keys)
            tb.WriteString(SensorAddress(s, line, address), k, v);
    }
    TPanelImage build() {
        TPanelImage image;
        BuildPanelImage(image, m_cnf, zones());
        return image;
    }

  private:
    fs::path m_cnf;
    ZoneNames m_zones;
    std::unique_ptr<IniStore> m_store;
};

inline std::vector<int> bytesAt(const TPanelImage& image, std::uint32_t at, std::uint32_t n) {
    std::vector<int> out;
    for (std::uint32_t i = 0; i < n; ++i)
        out.push_back(image.byte(at + i));
    return out;
}

// Copies a sample set (examples/NAME/) into a folder; returns its NAME.cnf.
inline fs::path copySample(const std::string& name, const fs::path& to) {
    fs::path from = fs::path(KVORT_EXAMPLES_DIR) / name;
    for (const auto& e : fs::directory_iterator(from))
        fs::copy_file(e.path(), to / e.path().filename(), fs::copy_options::overwrite_existing);
    return to / (name + ".cnf");
}

// The whole encoding of a write, passes included.
struct Encoded {
    TPanelImage image;
    OutputTextsResult texts;
    LinkedOutputsResult linked;
    bool scenarios;
};
inline Encoded encodeAll(const fs::path& cnfPath, Series series) {
    Encoded e;
    ZoneNames zones;
    {
        IniStore cnf(cnfPath);
        zones = ReadZoneNames(cnf);
    }
    BuildPanelImage(e.image, cnfPath, zones);
    IniStore cnf(cnfPath);
    e.texts = EncodeOutputTexts(e.image, cnf, series);
    e.linked = EncodeLinkedOutputs(e.image, cnf, series);
    e.scenarios = EncodeScenarios(e.image, cnf, series);
    if (series == Series::I)
        e.image.setByte(imagemap::kISeriesMarker, imagemap::kSeriesMarker);
    return e;
}

} // namespace kvort::test
