// kvortcfg report as a person runs it; the PDF is read back with the
// poppler tools (pdfinfo, pdftotext), as a reader of the printout would.
#include "document/IniStore.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct CommandRun {
    int status;
    std::string out; // stdout and stderr
};

CommandRun shell(const std::string& cmd) {
    CommandRun r{-1, {}};
    FILE* p = popen((cmd + " 2>&1").c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p))
        r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string q(const fs::path& p) {
    return "'" + p.string() + "'";
}

const char* const kTitles[] = {"Список извещателей", "Релейные сценарии", "Релейные выходы",
                               "Направления пожаротушения"};

// One printed page as text: which report it belongs to and its number.
struct PageText {
    std::string text;
    int report = -1; // index in kTitles
    int number = -1; // from "Страница N"
};

std::vector<PageText> readPdf(const fs::path& pdf) {
    const CommandRun text = shell("pdftotext -layout " + q(pdf) + " -");
    EXPECT_EQ(text.status, 0) << "pdftotext (poppler-utils) is needed: " << text.out;
    std::vector<PageText> pages;
    std::size_t from = 0;
    while (from < text.out.size()) {
        std::size_t end = text.out.find('\f', from);
        if (end == std::string::npos)
            break;
        PageText p{text.out.substr(from, end - from)};
        for (int i = 0; i < 4; ++i)
            if (p.text.find(kTitles[i]) != std::string::npos)
                p.report = i;
        std::smatch m;
        if (std::regex_search(p.text, m, std::regex("Страница (\\d+)")))
            p.number = std::stoi(m[1]);
        pages.push_back(std::move(p));
        from = end + 1;
    }
    return pages;
}

int pdfPages(const fs::path& pdf) {
    const CommandRun info = shell("pdfinfo " + q(pdf));
    std::smatch m;
    if (info.status != 0 || !std::regex_search(info.out, m, std::regex("Pages:\\s+(\\d+)")))
        return -1;
    return std::stoi(m[1]);
}

class ReportCommand : public ::testing::Test {
  protected:
    fs::path dir =
        fs::temp_directory_path() / ("kvort-e2e-report-" + std::to_string(std::random_device{}()));
    fs::path full = fs::path(KVORT_EXAMPLES_DIR) / "full" / "full.cnf";
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    CommandRun report(const std::string& args) {
        return shell(std::string(KVORTCFG) + " report " + args);
    }
};

TEST_F(ReportCommand, FullSampleReadsBackPageByPage) {
    const fs::path pdf = dir / "full.pdf";
    const CommandRun r = report(q(full) + " -o " + q(pdf));
    ASSERT_EQ(r.status, 0) << r.out;

    const std::vector<PageText> pages = readPdf(pdf);
    ASSERT_EQ(static_cast<int>(pages.size()), pdfPages(pdf));

    // The reports in the print order, each numbered from 1 on every page.
    std::vector<int> order;
    std::vector<int> count(4, 0);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        ASSERT_GE(pages[i].report, 0);
        if (order.empty() || order.back() != pages[i].report)
            order.push_back(pages[i].report);
        EXPECT_EQ(pages[i].number, ++count[static_cast<std::size_t>(pages[i].report)]);
        EXPECT_NE(pages[i].text.find("full"), std::string::npos); // [FileName]
    }
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
    // Seven panels of eight lines, a page each; the БРИТ; the ПИУ line; the total.
    EXPECT_EQ(count[0], 7 * 8 + 1 + 1 + 1);

    // The total counts the addresses that carry a text, in every slot.
    int detectors = 0;
    for (int slot = 0; slot < 9; ++slot) {
        const fs::path tb = full.parent_path() / ("full.tb" + std::to_string(slot));
        kvort::IniStore store(tb);
        for (const std::string& section : store.ReadSections())
            if (!store.ReadString(section, kvort::text::fromUtf8("ТЕКСТ"), "").empty())
                ++detectors;
    }
    ASSERT_GT(detectors, 3000);
    const std::string& last = pages[static_cast<std::size_t>(count[0] - 1)].text;
    EXPECT_NE(last.find("Общее количество датчиков : " + std::to_string(detectors)),
              std::string::npos)
        << last;

    // Cyrillic from the files comes through: a detector text and a zone name.
    kvort::IniStore tb0(full.parent_path() / "full.tb0");
    const std::string message = kvort::text::toUtf8(
        tb0.ReadString(kvort::text::fromUtf8("И01-01"), kvort::text::fromUtf8("ТЕКСТ"), ""));
    ASSERT_FALSE(message.empty());
    EXPECT_NE(pages[0].text.find("ПРИБОР ПУ-П"), std::string::npos);
    EXPECT_NE(pages[0].text.find(message), std::string::npos) << pages[0].text;
    EXPECT_NE(pages[static_cast<std::size_t>(count[0])].text.find("СЦЕНАРИЙ: 01"),
              std::string::npos);
}

TEST_F(ReportCommand, OnlyPicksReportsAndBadInputWritesNothing) {
    const fs::path bare = dir / "bare.cnf"; // a detector list and nothing else
    kvort::writeFile(bare, kvort::text::fromUtf8("[СОСТАВ]\r\n0=ПУ-П\r\n"));
    kvort::writeFile(dir / "bare.tb0", "");

    struct Case {
        const char* name;
        std::string args;
        int status;
        std::vector<int> reports; // titles in the file, in order; none: no file written
        const char* says;
    };
    const fs::path out = dir / "out.pdf";
    const Case cases[] = {
        {"two reports, in the print order", q(full) + " --only 3,1 -o " + q(out), 0, {0, 3}, ""},
        {"a report the configuration lacks",
         q(bare) + " --only 3 -o " + q(out),
         1,
         {},
         "не печатается"},
        {"a report number out of range", q(full) + " --only 5 -o " + q(out), 2, {}, "--only"},
        {"no output file named", q(full), 2, {}, "-o OUT.pdf"},
        {"no configuration", q(dir / "none.cnf") + " -o " + q(out), 1, {}, "none.cnf"},
        {"an output folder that does not exist",
         q(full) + " -o " + q(dir / "no" / "out.pdf"),
         1,
         {},
         "Не удалось записать файл"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(out);
        kvort::writeFile(out, "old"); // a failed command leaves it as it was
        const CommandRun r = report(c.args);
        EXPECT_EQ(r.status, c.status) << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
        if (c.reports.empty()) {
            EXPECT_EQ(kvort::readFile(out), "old");
            continue;
        }
        std::vector<int> order;
        for (const PageText& p : readPdf(out))
            if (order.empty() || order.back() != p.report)
                order.push_back(p.report);
        EXPECT_EQ(order, c.reports);
    }
}

} // namespace
