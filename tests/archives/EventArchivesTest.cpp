#include "archives/EventArchives.h"

#include "document/IniStore.h"
#include "text/Literals.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

using namespace kvort;
using namespace kvort::text::literals;
namespace fs = std::filesystem;

namespace {

std::string cp(std::string_view s) {
    return std::string(s);
}

std::string pad(std::string s, size_t width) {
    if (s.size() < width)
        s.append(width - s.size(), ' ');
    return s;
}

// Expected lines are assembled here column by column, independently of the
// decoder's format strings.
std::string fireLine(const std::string& dt, const std::string& dev, const std::string& desc,
                     const std::string& ev) {
    return pad(dt, 20) + " " + pad(dev, 10) + " " + pad(desc, 50) + " " + ev;
}
std::string faultLine(const std::string& dt, const std::string& dev, const std::string& desc) {
    return pad(dt, 20) + pad(dev, 10) + pad(desc, 50);
}

class Image {
  public:
    Image() { bytes.fill(0xFF); }
    void counter(size_t at, unsigned value) {
        bytes[at] = static_cast<std::uint8_t>(value >> 8);
        bytes[at + 1] = static_cast<std::uint8_t>(value & 0xFF);
    }
    void record(size_t ring, int slot, std::array<std::uint8_t, 8> r) {
        for (size_t i = 0; i < 8; ++i)
            bytes[ring + slot * 8 + i] = r[i];
    }
    std::span<const std::uint8_t> span() const { return bytes; }
    std::array<std::uint8_t, 65536> bytes;
};

class ArchivesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir =
            fs::temp_directory_path() /
            ("kvort_archives_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        name = dir / "obj.v2"; // a dot inside NAME belongs to the name
    }
    void TearDown() override { fs::remove_all(dir); }

    void detector(int slot, const std::string& section, const std::string& textValue,
                  const std::string& zone, const std::string& type) {
        IniStore tb(fs::path(name.string() + ".tb" + std::to_string(slot)));
        tb.WriteString(section, "ТЕКСТ"_cp, textValue);
        tb.WriteString(section, "ЗОНА"_cp, zone);
        if (!type.empty())
            tb.WriteString(section, "ТИП"_cp, type);
    }
    IniStore& cnf() {
        if (!store)
            store = std::make_unique<IniStore>(fs::path(name.string() + ".cnf"));
        return *store;
    }
    std::vector<std::string> lines(ArchiveKind kind) {
        auto l = ArchiveLines(kind, image.span(), name);
        EXPECT_TRUE(l.has_value());
        return l ? *l : std::vector<std::string>{};
    }
    std::string oneLine(ArchiveKind kind) {
        auto l = lines(kind);
        EXPECT_EQ(l.size(), 1u);
        return l.empty() ? std::string() : l[0];
    }

    fs::path dir, name;
    Image image;
    std::unique_ptr<IniStore> store;
};

TEST(ArchivePieces, BcdAndDeviceTexts) {
    EXPECT_EQ(BcdText(0x25), "25");
    EXPECT_EQ(BcdText(0x07), "07");
    EXPECT_EQ(BcdText(0x1A), "110");
    EXPECT_EQ(BcdText(0xFF), "1515");
    const std::vector<std::pair<int, std::string>> devices = {
        {0, cp("ПУ-П "_cp)},
        {7, cp("ПУ-П "_cp)},
        {8, cp("ППКП1"_cp)},
        {71, cp("ППКП8"_cp)},
        {72, cp("БРВУ1"_cp)},
        {79, cp("БРВУ8"_cp)},
        {80, cp("БДУ1"_cp)},
        {87, cp("БДУ8"_cp)},
        {88, " "},
        {119, " "},
        {120, cp("ДВП  "_cp)},
        {121, cp("ПЦН  "_cp)},
        {122, cp("ПОДЧ#1"_cp)},
        {124, cp("ПОДЧ#3"_cp)},
        {125, " "},
        {255, " "},
    };
    for (const auto& [code, text] : devices)
        EXPECT_EQ(ArchiveDeviceText(static_cast<std::uint8_t>(code)), text) << code;
}

TEST_F(ArchivesTest, WalkStartsAtCounterAndGoesDownAroundTheRing) {
    auto bcd = [](int n) { return static_cast<std::uint8_t>((n / 10) << 4 | (n % 10)); };
    image.counter(archive::kFireCounter, 5);
    // The date of slot n reads "hh.tt" with n = hh * 100 + tt; slot 3 stays empty.
    for (int slot : {5, 4, 2, 1, 0, 999, 998, 6, 500})
        image.record(archive::kFireRing, slot,
                     {bcd(slot / 100), bcd(slot % 100), 0x20, 0x00, 0x00, 0xFF, 0x3C, 0});
    std::vector<int> order;
    for (const auto& line : lines(ArchiveKind::Fires))
        order.push_back(std::stoi(line.substr(0, 2)) * 100 + std::stoi(line.substr(3, 2)));
    EXPECT_EQ(order, (std::vector<int>{5, 4, 2, 1, 0, 999, 998, 500, 6}));
}

TEST_F(ArchivesTest, CounterAtTheTopSlotAndAtZeroVisitEverySlotOnce) {
    for (unsigned counter : {0u, 999u}) {
        image.bytes.fill(0xFF);
        image.counter(archive::kFaultCounter, counter);
        for (int slot = 0; slot < 1000; ++slot)
            image.record(archive::kFaultRing, slot, {0x01, 0x01, 0x20, 0x00, 0x00, 0, 90, 0});
        EXPECT_EQ(lines(ArchiveKind::Faults).size(), 1000u) << counter;
    }
}

TEST_F(ArchivesTest, CounterOutOfRangeMeansNoArchiveAndKeepsTheOldFile) {
    struct Case {
        ArchiveKind kind;
        size_t counter;
        unsigned value;
        bool alt;
    };
    const std::vector<Case> cases = {
        {ArchiveKind::Fires, archive::kFireCounter, 1000, false},
        {ArchiveKind::Fires, archive::kFireCounter, 0xFFFF, false},
        {ArchiveKind::Faults, archive::kFaultCounter, 1000, false},
        {ArchiveKind::Events, archive::kEventCounter, 1000, false},
        {ArchiveKind::Events, archive::kEventCounterAlt, 488, true},
        {ArchiveKind::Events, archive::kEventCounterAlt, 999, true},
    };
    for (const Case& c : cases) {
        image.bytes.fill(0xFF);
        if (c.alt)
            image.bytes[archive::kLayoutMarker] = archive::kAltLayout;
        image.counter(c.counter, c.value);
        EXPECT_FALSE(ArchiveLines(c.kind, image.span(), name).has_value()) << c.value;
        writeFile(ArchiveFile(c.kind, name), "OLD");
        EXPECT_FALSE(DecodeArchive(c.kind, image.span(), name));
        EXPECT_EQ(readFile(ArchiveFile(c.kind, name)), "OLD");
    }
}

TEST_F(ArchivesTest, AlternativeEventLayoutReadsItsOwnCounterAndRing) {
    image.counter(archive::kEventCounter, 0);
    image.record(archive::kEventRing, 0, {0x01, 0x02, 0x03, 0x04, 0x05, 0, 60, 0});
    image.counter(archive::kEventCounterAlt, 487);
    image.record(archive::kEventRingAlt, 487, {0x09, 0x09, 0x09, 0x09, 0x09, 0, 66, 0});
    image.record(archive::kEventRingAlt, 0, {0x08, 0x08, 0x08, 0x08, 0x08, 0, 67, 0});

    // The rings overlap: alternative slots 0 and 487 are standard slots 512 and 999.
    auto standard = lines(ArchiveKind::Events);
    ASSERT_EQ(standard.size(), 3u);
    EXPECT_EQ(standard[0].substr(0, 14), "01.02.03 04:05");
    EXPECT_EQ(standard[1].substr(0, 14), "09.09.09 09:09");
    EXPECT_EQ(standard[2].substr(0, 14), "08.08.08 08:08");

    image.bytes[archive::kLayoutMarker] = archive::kAltLayout;
    auto alt = lines(ArchiveKind::Events);
    ASSERT_EQ(alt.size(), 2u);
    EXPECT_EQ(alt[0], fireLine("09.09.09 09:09", cp("ПУ-П "_cp), cp("ОСНОВНОЕ ПИТАНИЕ "_cp),
                               cp("НОРМА"_cp)));
    EXPECT_EQ(alt[1].substr(0, 14), "08.08.08 08:08");
}

TEST_F(ArchivesTest, FireRecordOfAKnownDetector) {
    detector(1, cp("И11-01"_cp), cp("КОРИДОР 2 ЭТАЖ"_cp), cp("СКЛАД"_cp), cp("ДЫМОВОЙ"_cp));
    image.counter(archive::kFireCounter, 0);
    image.record(archive::kFireRing, 0, {0x25, 0x03, 0x19, 0x14, 0x05, 0x08, 0x00, 0x00});
    EXPECT_EQ(oneLine(ArchiveKind::Fires),
              fireLine("25.03.19 14:05", cp("ППКП1"_cp),
                       cp("СКЛАД КОРИДОР 2 ЭТАЖ /D11-01 /ДЫМОВОЙ"_cp), " "));
}

TEST_F(ArchivesTest, DetectorDescriptions) {
    detector(0, cp("И03-17"_cp), cp("ЩИТОВАЯ"_cp), "", ""); // no type, no zone
    struct Case {
        std::uint8_t device, object;
        std::string description;
    };
    const std::vector<Case> cases = {
        // Text present, type missing.
        {2, 16, cp(" ЩИТОВАЯ /D03-17 /ТИП НЕОПРЕДЕЛЕН"_cp)},
        // No file NAME.tb2: the line/address form.
        {16, 4, cp("ЛИНИЯ 21 ДАТЧИК 05 /D21-05 /ТИП НЕОПРЕДЕЛЕН"_cp)},
        // Flag bit 7 in the object byte: class 1, address from the whole byte.
        {8, 0x81, cp("ЛИНИЯ 11 ДАТЧИК 13 /D11-130 /ТИП НЕОПРЕДЕЛЕН"_cp)},
    };
    for (const Case& c : cases) {
        image.bytes.fill(0xFF);
        image.counter(archive::kFireCounter, 0);
        image.record(archive::kFireRing, 0, {0x01, 0x01, 0x01, 0x01, 0x01, c.device, c.object, 0});
        EXPECT_EQ(oneLine(ArchiveKind::Fires),
                  fireLine("01.01.01 01:01", ArchiveDeviceText(c.device), c.description, " "))
            << int(c.device) << "/" << int(c.object);
    }
}

TEST_F(ArchivesTest, FireRows) {
    cnf().WriteString("НАПРАВЛЕНИЕ 2"_cp, "ЗОНА"_cp, "ЗАЛ"_cp);
    cnf().WriteString("НАПРАВЛЕНИЕ 2"_cp, "РЕЛЕ 3"_cp, "ПУСК 1"_cp);
    struct Case {
        std::uint8_t device, object, event;
        std::string description, ev;
    };
    const std::vector<Case> cases = {
        {81, 2, 0x00, cp("ЗАЛ РЕЛЕ ПУСК 1"_cp), cp("КОНТАКТ ЗАМКНУТ"_cp)},
        {81, 2, 0x20, cp("РЕЛЕ 3/ПОДЧ#2 ПОДЧ#2"_cp), cp("КОНТАКТ ЗАМКНУТ"_cp)},
        {81, 5, 0x00, " ", " "}, // relay number beyond the БДУ's five
        {72, 2, 0x00, " ", " "}, // БРВУ: nothing for fires
        {81, 71, 0x00, cp("ЗАЛ"_cp), cp("АКТИВАЦИЯ"_cp)},
        {81, 71, 0x30, cp("ПОДЧ#3 ПОДЧ#3"_cp), cp("АКТИВАЦИЯ"_cp)},
        {81, 72, 0x00, cp("ЗАЛ"_cp), cp("ПОДАЧА ОТВ"_cp)},
        {81, 72, 0x10, cp("/ПОДЧ#1 ПОДЧ#1"_cp), cp("ПОДАЧА ОТВ"_cp)},
        {81, 81, 0x02, cp("ЗАЛ КНОПКА ПУСК БДУ"_cp), " "},
        {81, 81, 0x0A, cp("ЗАЛ КНОПКА ПУСК ПУ-ПТ"_cp), " "},
        {81, 81, 0x12, cp("  КНОПКА ПУСК БДУ ПОДЧ#1"_cp), " "},
        {81, 81, 0x05, cp("ЗАЛ"_cp), " "},
        {8, 71, 0x00, "", cp("АКТИВАЦИЯ"_cp)}, // ZONE of a non-БДУ device is empty
        {81, 0xC2, 0x00, " ", " "},            // class 2, but the relay row tests the whole byte
        {81, 0xC7, 0x00, " ", " "},            // flags cleared: class 7, no row
        {81, 90, 0x00, " ", " "},
    };
    for (const Case& c : cases) {
        image.bytes.fill(0xFF);
        image.counter(archive::kFireCounter, 0);
        image.record(archive::kFireRing, 0,
                     {0x01, 0x01, 0x01, 0x01, 0x01, c.device, c.object, c.event});
        EXPECT_EQ(oneLine(ArchiveKind::Fires),
                  fireLine("01.01.01 01:01", ArchiveDeviceText(c.device), c.description, c.ev))
            << int(c.device) << "/" << int(c.object) << "/" << int(c.event);
    }
}

TEST_F(ArchivesTest, FaultRows) {
    cnf().WriteString("НАПРАВЛЕНИЕ 3"_cp, "ЗОНА"_cp, "АРХИВ"_cp);
    cnf().WriteString("НАПРАВЛЕНИЕ 3"_cp, "РЕЛЕ 2"_cp, "БЛОКИРОВКА"_cp);
    cnf().WriteString("ОПИСАНИЕ ВЫХОДОВ"_cp, "ППКП3/03"_cp, "СИРЕНА"_cp);
    cnf().WriteString("ОПИСАНИЕ ВЫХОДОВ"_cp, "ПУ-П /01"_cp, "ТАБЛО"_cp);
    struct Case {
        std::uint8_t device, object, event;
        std::string description;
    };
    const std::vector<Case> cases = {
        {74, 3, 0, cp("РЕЛЕ 4"_cp)},
        {74, 0x83, 0, cp("РЕЛЕ 4"_cp)}, // flag bit: class 3
        {0, 60, 0, cp("НЕТ СВЯЗИ С ПРИБОРОМ "_cp)},
        {9, 92, 0x10, cp("НЕТ СВЯЗИ С ПРИБОРОМ  ПОДЧ#1"_cp)},
        {13, 61, 0, cp("ЗАМЫКАНИЕ ЛИНИИ 6"_cp)},
        {26, 62, 0, cp("РЕЛЕ 3 СИРЕНА"_cp)},
        {0, 62, 0, cp("РЕЛЕ 1 ТАБЛО"_cp)},
        {1, 62, 0, cp("РЕЛЕ 2 "_cp)},
        {0, 63, 0, cp("МЕЖСИСТЕМНАЯ КОММУНИКАЦИЯ"_cp)},
        {0, 64, 0, cp("КАНАЛ СВЯЗИ А1/В1"_cp)},
        {0, 65, 0, cp("КАНАЛ СВЯЗИ А2/В2"_cp)},
        {0, 66, 0, cp("ОСНОВНОЕ ПИТАНИЕ "_cp)},
        {0, 67, 0, cp("РЕЗЕРВНОЕ ПИТАНИЕ "_cp)},
        {0, 68, 0, cp("АККУМУЛЯТОР РАЗРЯЖЕН "_cp)},
        {0, 69, 0, cp("ЗАРЯДНОЕ УСТРОЙСТВО "_cp)},
        {0, 70, 0, cp("ИСТОЧНИК ПИТАНИЯ "_cp)},
        {0, 75, 0, cp("МОДУЛЬ ИНДИКАЦИИ"_cp)},
        {0, 89, 0, cp("МОДУЛЬ ИНДИКАЦИИ"_cp)},
        {82, 78, 0, cp("ЦЕПЬ ПОДАЧА ОТВ"_cp)},
        {82, 79, 0, cp("ЦЕПЬ УТЕЧКА ОТВ"_cp)},
        {82, 80, 0, cp("ЦЕПЬ БЛОКИРОВКА"_cp)},
        {82, 81, 0, cp("КНОПКА ПУСК"_cp)},
        {82, 82, 0, cp("КНОПКА СТОП"_cp)},
        {82, 83, 0, cp("КНОПКА РУЧНОЙ"_cp)},
        {82, 84, 0, cp("АРХИВ РЕЛЕ 1 "_cp)},
        {82, 85, 0x30, cp("АРХИВ РЕЛЕ 2 БЛОКИРОВКА ПОДЧ#3"_cp)},
        {82, 88, 0, cp("АРХИВ РЕЛЕ 5 "_cp)},
        {8, 84, 0, cp(" РЕЛЕ 1 "_cp)}, // not a БДУ: no direction
        {0, 90, 0, cp("СИСТЕМНОЕ ВРЕМЯ"_cp)},
        {0, 71, 0, " "},
        {0, 76, 0, " "},
        {0, 91, 0, " "},
        {0, 93, 0x20, cp("  ПОДЧ#2"_cp)},
        {0, 127, 0, " "},
    };
    for (const Case& c : cases) {
        image.bytes.fill(0xFF);
        image.counter(archive::kFaultCounter, 0);
        image.record(archive::kFaultRing, 0,
                     {0x31, 0x12, 0x24, 0x23, 0x59, c.device, c.object, c.event});
        EXPECT_EQ(oneLine(ArchiveKind::Faults),
                  faultLine("31.12.24 23:59", ArchiveDeviceText(c.device), c.description))
            << int(c.device) << "/" << int(c.object) << "/" << int(c.event);
    }
}

TEST_F(ArchivesTest, EventRows) {
    detector(0, cp("И01-01"_cp), cp("ВХОД"_cp), cp("ХОЛЛ"_cp), cp("КОНТАКТ"_cp));
    cnf().WriteString("НАПРАВЛЕНИЕ 1"_cp, "ЗОНА"_cp, "СЕРВЕРНАЯ"_cp);
    cnf().WriteString("НАПРАВЛЕНИЕ 1"_cp, "РЕЛЕ 1"_cp, "ПУСК 1"_cp);
    cnf().WriteString("ОПИСАНИЕ ВЫХОДОВ"_cp, "БРВУ2/03"_cp, "ВЕНТИЛЯЦИЯ"_cp);
    cnf().WriteString("ОПИСАНИЕ ВЫХОДОВ"_cp, "ППКП1/02"_cp, "ЗВОНОК"_cp);
    const std::string det = cp("ХОЛЛ ВХОД /D01-01 /КОНТАКТ"_cp);
    struct Case {
        std::uint8_t device, object, event;
        std::string description, ev;
    };
    const std::vector<Case> cases = {
        {0, 0, 5, det, cp("ТЕХНОЛОГИЯ"_cp)},
        {0, 0, 6, det, cp("ТЕХНОЛОГИЯ"_cp)},
        {0, 0, 8, det, cp("КОНТАКТ РАЗОМКНУТ"_cp)},
        {0, 0, 0x88, det, cp("КОНТАКТ ЗАМКНУТ"_cp)},
        {0, 0, 0x92, det, cp("ВКЛЮЧЕН"_cp)},
        {0, 0, 0x93, det, cp("ВЫКЛЮЧЕН"_cp)},
        {0, 0, 0x81, det, cp("НОРМА"_cp)},
        {0, 0, 0x01, det, " "},
        {0, 60, 0, cp("ПРИБОР"_cp), cp("СБРОС СИСТЕМЫ"_cp)},
        {0, 60, 0x92, cp("ПРИБОР"_cp), cp("ВКЛЮЧЕН"_cp)},
        {0, 60, 0x93, cp("ПРИБОР"_cp), cp("ВЫКЛЮЧЕН"_cp)},
        {0, 60, 0x01, " ", " "},
        {9, 62, 8, cp("РЕЛЕ 2 ЗВОНОК"_cp), cp("КОНТАКТ РАЗОМКНУТ"_cp)},
        {9, 62, 0x88, cp("РЕЛЕ 2 ЗВОНОК"_cp), cp("КОНТАКТ ЗАМКНУТ"_cp)},
        {9, 62, 0x92, cp("РЕЛЕ 2 ЗВОНОК"_cp), cp("КОНТРОЛЬ ВКЛЮЧЕН"_cp)},
        {9, 62, 0x93, cp("РЕЛЕ 2 ЗВОНОК"_cp), cp("КОНТРОЛЬ ВЫКЛЮЧЕН"_cp)},
        {9, 62, 0x00, " ", " "},
        {8, 66, 0x00, cp("ОСНОВНОЕ ПИТАНИЕ "_cp), cp("НОРМА"_cp)},
        {8, 67, 0x77, cp("РЕЗЕРВНОЕ ПИТАНИЕ "_cp), cp("НОРМА"_cp)},
        {8, 61, 0x00, " ", " "},
        // БРВУ2
        {73, 2, 8, cp("РЕЛЕ 3 ВЕНТИЛЯЦИЯ"_cp), cp("КОНТАКТ РАЗОМКНУТ"_cp)},
        {73, 2, 0x88, cp("РЕЛЕ 3 ВЕНТИЛЯЦИЯ"_cp), cp("КОНТАКТ ЗАМКНУТ"_cp)},
        {73, 66, 8, cp("ОСНОВНОЕ ПИТАНИЕ "_cp), cp("НОРМА"_cp)}, // object row wins
        {73, 67, 0, cp("РЕЗЕРВНОЕ ПИТАНИЕ "_cp), cp("НОРМА"_cp)},
        {73, 2, 0x92, " ", " "},
        // БДУ1
        {80, 60, 0x92, cp("ПРИБОР"_cp), cp("ВКЛЮЧЕН"_cp)},
        {80, 60, 0x93, cp("ПРИБОР"_cp), cp("ВЫКЛЮЧЕН"_cp)},
        {80, 66, 0x00, cp("ОСНОВНОЕ ПИТАНИЕ "_cp), cp("НОРМА"_cp)},
        {80, 67, 0x00, cp("РЕЗЕРВНОЕ ПИТАНИЕ "_cp), cp("НОРМА"_cp)},
        {80, 0, 5, cp("СЕРВЕРНАЯ РЕЛЕ 1 ПУСК 1"_cp), cp("КОНТАКТ ЗАМКНУТ"_cp)},
        {80, 4, 5, cp("СЕРВЕРНАЯ РЕЛЕ 5 "_cp), cp("КОНТАКТ ЗАМКНУТ"_cp)},
        {80, 5, 5, " ", " "},
        {80, 3, 0x25, cp("РЕЛЕ 4/ПОДЧ#2"_cp), cp("КОНТАКТ ЗАМКНУТ"_cp)},
        {80, 66, 0x15, cp("РЕЛЕ 67/ПОДЧ#1"_cp), cp("КОНТАКТ ЗАМКНУТ"_cp)}, // event row wins
        {80, 5, 0x98, cp("СЕРВЕРНАЯ БЛОКИРОВКА"_cp), cp("ВКЛЮЧЕНА"_cp)},
        {80, 6, 0x98, cp("СЕРВЕРНАЯ РУЧНОЙ РЕЖИМ"_cp), cp("ВКЛЮЧЕН"_cp)},
        {80, 5, 0x99, cp("СЕРВЕРНАЯ БЛОКИРОВКА"_cp), cp("ВЫКЛЮЧЕН"_cp)},
        {80, 6, 0x99, cp("СЕРВЕРНАЯ РУЧНОЙ РЕЖИМ"_cp), cp("ВЫКЛЮЧЕН"_cp)},
        {80, 8, 0x99, cp("СЕРВЕРНАЯ РЕЖИМ СТОП"_cp), cp("ВКЛЮЧЕН"_cp)},
        {80, 8, 0x98, " ", " "},
        // Devices with only their text, and unknown ones.
        {120, 0, 0x88, " ", " "},
        {124, 60, 0, " ", " "},
        {100, 60, 0, " ", " "},
    };
    for (const Case& c : cases) {
        image.bytes.fill(0xFF);
        image.counter(archive::kEventCounter, 0);
        image.record(archive::kEventRing, 0,
                     {0x10, 0x10, 0x10, 0x10, 0x10, c.device, c.object, c.event});
        EXPECT_EQ(oneLine(ArchiveKind::Events),
                  fireLine("10.10.10 10:10", ArchiveDeviceText(c.device), c.description, c.ev))
            << int(c.device) << "/" << int(c.object) << "/" << int(c.event);
    }
}

TEST_F(ArchivesTest, LongTextsAreNotCut) {
    detector(1, cp("И11-01"_cp), cp("ОЧЕНЬ ДЛИННЫЙ ТЕКСТ"_cp), cp("ЗОНА С ДЛИННЫМ ИМЕНЕМ"_cp),
             cp("БЕЗ ФИКСАЦИИ"_cp));
    image.counter(archive::kFaultCounter, 0);
    image.record(archive::kFaultRing, 0, {0x01, 0x02, 0x03, 0x04, 0x05, 8, 0, 0});
    const std::string desc =
        cp("ЗОНА С ДЛИННЫМ ИМЕНЕМ ОЧЕНЬ ДЛИННЫЙ ТЕКСТ /D11-01 /БЕЗ ФИКСАЦИИ"_cp);
    ASSERT_GT(desc.size(), 50u);
    EXPECT_EQ(oneLine(ArchiveKind::Faults),
              pad("01.02.03 04:05", 20) + pad(cp("ППКП1"_cp), 10) + desc);
}

TEST_F(ArchivesTest, OneImageWithAllThreeRingsInBothEventLayouts) {
    detector(1, cp("И12-03"_cp), cp("СКЛАД 1"_cp), cp("ЗОНА 5"_cp), cp("ТЕПЛОВОЙ"_cp));
    cnf().WriteString("ОПИСАНИЕ ВЫХОДОВ"_cp, "ПУ-П /04"_cp, "ОПОВЕЩЕНИЕ"_cp);
    image.counter(archive::kFireCounter, 1);
    image.record(archive::kFireRing, 1, {0x01, 0x01, 0x01, 0x01, 0x01, 120, 0, 0});
    image.record(archive::kFireRing, 0, {0x02, 0x02, 0x02, 0x02, 0x02, 9, 2, 0x10});
    image.record(archive::kFireRing, 999, {0x03, 0x03, 0x03, 0x03, 0x03, 121, 0, 0});
    image.counter(archive::kFaultCounter, 0);
    image.record(archive::kFaultRing, 0, {0x01, 0x01, 0x01, 0x01, 0x01, 0, 90, 0});
    image.record(archive::kFaultRing, 2, {0x04, 0x04, 0x04, 0x04, 0x04, 3, 62, 0});
    image.counter(archive::kEventCounter, 999);
    image.record(archive::kEventRing, 999, {0x05, 0x05, 0x05, 0x05, 0x05, 9, 2, 0x88});
    image.record(archive::kEventRing, 0, {0x06, 0x06, 0x06, 0x06, 0x06, 0, 60, 0});
    image.counter(archive::kEventCounterAlt, 1);
    image.record(archive::kEventRingAlt, 1, {0x07, 0x07, 0x07, 0x07, 0x07, 3, 62, 0x92});
    DecodeArchives(image.span(), name);

    const std::string det = cp("ЗОНА 5 СКЛАД 1 /D12-03 /ТЕПЛОВОЙ"_cp);
    EXPECT_EQ(readFile(dir / "obj.v2_АрхивПожаров.txt"),
              fireLine("01.01.01 01:01", cp("ДВП  "_cp), " ", " ") + "\r\n" +
                  fireLine("02.02.02 02:02", cp("ППКП1"_cp), det + cp(" ПОДЧ#1"_cp), " ") + "\r\n" +
                  fireLine("03.03.03 03:03", cp("ПЦН  "_cp), " ", " ") + "\r\n");
    EXPECT_EQ(readFile(dir / "obj.v2_АрхивОтказов.txt"),
              faultLine("01.01.01 01:01", cp("ПУ-П "_cp), cp("СИСТЕМНОЕ ВРЕМЯ"_cp)) + "\r\n" +
                  faultLine("04.04.04 04:04", cp("ПУ-П "_cp), cp("РЕЛЕ 4 ОПОВЕЩЕНИЕ"_cp)) + "\r\n");
    const std::string standardEvents =
        fireLine("05.05.05 05:05", cp("ППКП1"_cp), det, cp("КОНТАКТ ЗАМКНУТ"_cp)) + "\r\n" +
        fireLine("07.07.07 07:07", cp("ПУ-П "_cp), cp("РЕЛЕ 4 ОПОВЕЩЕНИЕ"_cp),
                 cp("КОНТРОЛЬ ВКЛЮЧЕН"_cp)) +
        "\r\n" +
        fireLine("06.06.06 06:06", cp("ПУ-П "_cp), cp("ПРИБОР"_cp), cp("СБРОС СИСТЕМЫ"_cp)) +
        "\r\n";
    EXPECT_EQ(readFile(dir / "obj.v2_АрхивСобытий.txt"), standardEvents);

    // The alternative layout: its own counter and ring of 488 slots, whose
    // last slot is the standard ring's last one; the others unchanged.
    image.bytes[archive::kLayoutMarker] = archive::kAltLayout;
    DecodeArchives(image.span(), name);
    EXPECT_EQ(readFile(dir / "obj.v2_АрхивСобытий.txt"),
              fireLine("07.07.07 07:07", cp("ПУ-П "_cp), cp("РЕЛЕ 4 ОПОВЕЩЕНИЕ"_cp),
                       cp("КОНТРОЛЬ ВКЛЮЧЕН"_cp)) +
                  "\r\n" +
                  fireLine("05.05.05 05:05", cp("ППКП1"_cp), det, cp("КОНТАКТ ЗАМКНУТ"_cp)) +
                  "\r\n");
    EXPECT_EQ(readFile(dir / "obj.v2_АрхивОтказов.txt").size(), 2 * (80u + 2u));
}

TEST_F(ArchivesTest, ShortBufferReadsAsAbsentArchives) {
    std::vector<std::uint8_t> tiny(archive::kEventCounter, 0x00);
    for (ArchiveKind kind : {ArchiveKind::Fires, ArchiveKind::Faults, ArchiveKind::Events})
        EXPECT_FALSE(ArchiveLines(kind, tiny, name).has_value());
}

} // namespace
