// Reading input files: what is not a regular file, what is too large and what
// fails half-way ends with a message naming the file, at once and with
// bounded memory; what fits is read as it is.
#include "TempDir.h"

#include "document/IniStore.h"
#include "document/InputFile.h"
#include "text/Error.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace kvort;
using namespace kvort::test;

namespace {

// The message of the FileError `read` throws, or "" when it throws none.
std::string refusal(const std::function<void()>& read) {
    try {
        read();
    } catch (const FileError& e) {
        return e.what();
    }
    return "";
}

TEST(InputFile, WhatCannotBeReadIsRefusedAtOnceNamingTheFile) {
    TempDir dir;
    const fs::path fifo = dir / "PIPE.cnf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(dir / "FOLDER.cnf");
    const fs::path big = dir / "BIG.cnf";
    writeFile(big, "");
    fs::resize_file(big, kTextFileLimit + 1); // sparse: costs no disk
    struct Case {
        const char* what;
        fs::path path;
        std::function<void(const fs::path&)> read;
        const char* says;
    };
    auto whole = [](const fs::path& p) { readFile(p); };
    auto image = [](const fs::path& p) { readInputPrefix(p, 65536); };
    auto store = [](const fs::path& p) { IniStore s(p); };
    const Case cases[] = {
        {"a FIFO without a writer", fifo, whole, "это не обычный файл"},
        {"a FIFO as an image", fifo, image, "это не обычный файл"},
        {"an endless device as an image", "/dev/zero", image, "это не обычный файл"},
        {"a folder", dir / "FOLDER.cnf", whole, "это папка"},
        {"a missing file", dir / "NONE.bin", image, "нет такого файла"},
        {"a configuration over 16 MB", big, store, "больше 16 МБ"},
        // Regular, yet reading it fails: the I/O error of a failing medium.
        {"a read error", "/proc/self/mem", whole, "ошибка ввода-вывода"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = std::chrono::steady_clock::now();
        const std::string message = refusal([&] { c.read(c.path); });
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_NE(message.find(c.path.string()), std::string::npos) << message;
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
    }
}

TEST(InputFile, AnImageIsReadUpToItsSizeAndALongerFileIsTold) {
    TempDir dir;
    struct Case {
        size_t bytes;
        size_t read;
        bool longer;
    };
    const Case cases[] = {{0, 0, false},
                          {65535, 65535, false},
                          {65536, 65536, false},
                          {65537, 65536, true},
                          {200000, 65536, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        std::string bytes(c.bytes, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 7);
        writeFile(dir / "IMAGE.bin", bytes);
        const InputPrefix got = readInputPrefix(dir / "IMAGE.bin", 65536);
        EXPECT_EQ(got.bytes, bytes.substr(0, c.read));
        EXPECT_EQ(got.longer, c.longer);
    }
    writeFile(dir / "LIMIT.cnf", std::string(100, 'x'));
    EXPECT_EQ(readFile(dir / "LIMIT.cnf", 100).size(), 100u);
    EXPECT_NE(refusal([&] { readFile(dir / "LIMIT.cnf", 99); }), "");
}

} // namespace
