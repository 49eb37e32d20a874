#include "AppFixture.h"

#include "document/ConfigFileSet.h"
#include "document/Lifecycle.h"
#include "text/Cp1251.h"

#include "Process.h"

#include <algorithm>

namespace kvort::testing {

namespace fs = std::filesystem;

void AppTest::SetUp() {
    m_oldCwd = fs::current_path();
    m_tmp = std::make_unique<test::TempDir>();
    dir = m_tmp->path();
}

void AppTest::resetStores() {
    m_cnf.reset();
    for (auto& t : m_tb)
        t.reset();
}

void AppTest::TearDown() {
    resetStores();
    fs::current_path(m_oldCwd);
    m_tmp.reset();
}

fs::path AppTest::newConfig(const std::string& name) {
    ZoneNames zones;
    cnfPath = CreateNewConfig(dir / (name + ".cnf"), zones);
    session->CurrentConfigPath = cnfPath;
    return cnfPath;
}

IniStore& AppTest::cnf() {
    if (!m_cnf)
        m_cnf = std::make_unique<IniStore>(cnfPath);
    return *m_cnf;
}

IniStore& AppTest::tb(int slot) {
    if (!m_tb[slot])
        m_tb[slot] = std::make_unique<IniStore>(ConfigFileSet(cnfPath).tb(slot));
    return *m_tb[slot];
}

void AppTest::detector(int slot, int line, int address, std::string_view text,
                       std::string_view zone, std::string_view type) {
    DetectorRecord r;
    r.text = std::string(text);
    r.zone = std::string(zone);
    r.type = text::fromUtf8(type);
    r.state = text::fromUtf8("ВКЛ");
    WriteDetector(tb(slot), slot, line, address, r);
}

std::string AppTest::contents(const fs::path& p) {
    return test::Slurp(p);
}

std::vector<std::string> AppTest::filesIn(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace kvort::testing
