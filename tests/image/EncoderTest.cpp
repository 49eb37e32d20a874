// BuildPanelImage: the lower part of the image.
#include "ImageTestSupport.h"

#include "text/Cp1251.h"
#include "text/Error.h"

namespace kvort::test {
namespace {

using V = std::vector<int>;

class EncoderTest : public ::testing::Test {
  protected:
    TempDir dir;
    TestConfig cfg{dir.path()};
};

TEST_F(EncoderTest, NoMainPanelLeavesTheImageAllFF) {
    cfg.cnf().WriteString("ПРИБОРЫ"_cp, "ПУ-П"_cp, "НЕТ"_cp);
    TPanelImage image = cfg.build();
    EXPECT_EQ(image, TPanelImage());
}

TEST_F(EncoderTest, OneDeviceLayout) {
    cfg.detector(0, 1, 1, {{"ТЕКСТ"_cp, "A"}});
    TPanelImage image = cfg.build();
    EXPECT_EQ(bytesAt(image, 0x0D00, 6), (V{0x07, 0x00, 0xF8, 0x07, 0x00, 0xF8}));
    EXPECT_EQ(bytesAt(image, 0x03FC, 4), (V{0x0D, 0x00, 0x03, 0x06}));
    EXPECT_EQ(image.byte(0x0D06), 0xC7); // "З" of "ЗОНА 1" starts the zone names
    EXPECT_EQ(TDetectorRecord::read(image, 0).textOffset, 0x1D06);
    EXPECT_EQ(image.TextEnd(), 0x1D08u);
    EXPECT_EQ(bytesAt(image, 0x0800, 0x100), V(0x100, 0x00)); // reserved block
    EXPECT_EQ(image.byte(0x0900), 0xFF);                      // free
}

TEST_F(EncoderTest, ThreeDeviceLineMapAndFixedBytes) {
    cfg.slot(1, "ППКП"_cp);
    cfg.slot(2, "ППКП"_cp);
    TPanelImage image = cfg.build();
    V copy{0x07, 0x0F, 0x17, 0x00, 0xD2};
    EXPECT_EQ(bytesAt(image, 0x1D00, 5), copy);
    EXPECT_EQ(bytesAt(image, 0x1D05, 5), copy);
    EXPECT_EQ(bytesAt(image, 0x03FC, 4), (V{0x1D, 0x00, 0x05, 0x0A}));
    EXPECT_EQ(image.TextEnd(), 0x1D0Au + 0x1000u);
    for (std::uint32_t at : {0x00F0u, 0x01F0u, 0x02F0u})
        EXPECT_EQ(bytesAt(image, at, 4), (V{0x87, 0xF8, 0xFF, 0xFF})) << at;
    EXPECT_EQ(bytesAt(image, 0x00F8, 2), (V{0xEE, 0x00}));
    EXPECT_EQ(bytesAt(image, 0x01F8, 2), (V{0xEE, 0x00}));
    EXPECT_EQ(image.byte(0x07FF), 0x05);
    // Every address without a text of every present slot is empty.
    EXPECT_EQ(bytesAt(image, imagemap::detectorRecord(2, 8, 60), 4), (V{0x87, 0xF8, 0xFF, 0xFF}));
}

// "-4" devices are laid out as 8-line devices (their tables sit at
// slot x 2048 in any case).
TEST_F(EncoderTest, FourLineDeviceCountsAsEightLines) {
    cfg.slot(1, "ППКП"_cp);
    cfg.cnf().WriteString("ПРИБОРЫ"_cp, "ППКП1"_cp, "-4");
    cfg.cnf().WriteString("ПРИБОРЫ"_cp, "ПУ-П"_cp, "-4");
    cfg.detector(1, 8, 60, {{"ТЕКСТ"_cp, "X"}});
    TPanelImage image = cfg.build();
    EXPECT_EQ(bytesAt(image, 0x1500, 4), (V{0x07, 0x0F, 0x00, 0xE9}));
    EXPECT_EQ(bytesAt(image, 0x1000, 4), (V{0, 0, 0, 0})); // reserved block intact
    EXPECT_EQ(TDetectorRecord::read(image, imagemap::detectorRecord(1, 8, 60)).textOffset,
              0x1508u + 0x1000u);
}

// A slot named in [СОСТАВ] beyond the [ПРИБОРЫ] chain has no table: writing
// one would land on the reserved block, the directions and the line map.
TEST_F(EncoderTest, SlotOutsideTheDeviceChainIsNotWrittenOverTheHeader) {
    cfg.cnf().WriteString("СОСТАВ"_cp, "1", "ППКП"_cp);
    cfg.detector(1, 1, 1, {{"ТЕКСТ"_cp, "X"}});
    TPanelImage image = cfg.build();
    EXPECT_EQ(bytesAt(image, 0x0800, 4), (V{0, 0, 0, 0}));
    EXPECT_EQ(bytesAt(image, 0x0D00, 3), (V{0x07, 0x00, 0xF8}));
}

struct WordCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> keys; // UTF-8
    int word;
};

class DetectorWordTest : public EncoderTest, public ::testing::WithParamInterface<WordCase> {};

TEST_P(DetectorWordTest, Word) {
    IniStore tb(cfg.files().tb(0));
    for (const auto& [k, v] : GetParam().keys)
        tb.WriteString(SensorAddress(0, 1, 5), text::fromUtf8(k), text::fromUtf8(v));
    cfg.cnf().WriteString("ЗОНА"_cp, "7", ""); // the first zone with an empty name
    TPanelImage image = cfg.build();
    EXPECT_EQ(image.be16(imagemap::detectorRecord(0, 1, 5)), GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectorWordTest,
    ::testing::Values(
        WordCase{
            "ManualNoStateZone3", {{"ТЕКСТ", "Р"}, {"ТИП", "РУЧНОЙ"}, {"ЗОНА", "ЗОНА 3"}}, 0x8012},
        WordCase{"UnknownZone",
                 {{"ТЕКСТ", "Р"}, {"СОСТОЯНИЕ", "ВКЛ"}, {"ТИП", "КОНТАКТ"}, {"ЗОНА", "НЕТ ТАКОЙ"}},
                 0x0804},
        WordCase{"NoZoneKeyTakesFirstEmptyZone", {{"ТЕКСТ", "Р"}, {"ТИП", "БКА"}}, 0x8037},
        WordCase{"LowerCaseStateIsOn",
                 {{"ТЕКСТ", "Р"}, {"СОСТОЯНИЕ", "вкл"}, {"ТИП", "ТЕХНОЛОГ"}, {"ЗОНА", "ЗОНА 256"}},
                 0x07FD},
        WordCase{
            "UnknownTypeIsSmoke", {{"ТЕКСТ", "Р"}, {"ТИП", "ОХРАНА"}, {"ЗОНА", "ЗОНА 1"}}, 0x8000},
        WordCase{"NoTextIsNoDetector", {{"ТИП", "РУЧНОЙ"}, {"ЗОНА", "ЗОНА 3"}}, 0x87F8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EncoderTest, LoopOnAddressOneMarksTheLine) {
    cfg.detector(0, 2, 1, {{"ТЕКСТ"_cp, "L"}, {"ТИП"_cp, "ШЛЕЙФ"_cp}, {"ЗОНА"_cp, "ЗОНА 1"_cp}});
    cfg.detector(0, 3, 5, {{"ТЕКСТ"_cp, "M"}, {"ТИП"_cp, "ШЛЕЙФ"_cp}, {"ЗОНА"_cp, "ЗОНА 1"_cp}});
    TPanelImage image = cfg.build();
    EXPECT_EQ(image.byte(0x01F6), 0xAA);
    EXPECT_EQ(image.be16(imagemap::detectorRecord(0, 2, 1)) & 7, 0);
    // Elsewhere on a line it is type 0 and leaves the line addressable.
    EXPECT_EQ(image.byte(0x02F6), 0xFF);
    EXPECT_EQ(image.be16(imagemap::detectorRecord(0, 3, 5)) & 7, 0);
}

TEST_F(EncoderTest, TextsAreSharedPerDeviceIgnoringLatinCaseOnly) {
    cfg.slot(1, "ППКП"_cp);
    cfg.detector(0, 1, 1, {{"ТЕКСТ"_cp, "ZONE A"}});
    cfg.detector(0, 2, 7, {{"ТЕКСТ"_cp, "zone a"}});
    cfg.detector(0, 1, 2, {{"ТЕКСТ"_cp, "ДЫМ"_cp}});
    cfg.detector(0, 1, 3, {{"ТЕКСТ"_cp, "дым"_cp}});
    cfg.detector(1, 1, 1, {{"ТЕКСТ"_cp, "ZONE A"}});
    TPanelImage image = cfg.build();
    auto off = [&](int s, int l, int a) {
        return TDetectorRecord::read(image, imagemap::detectorRecord(s, l, a)).textOffset;
    };
    const std::uint32_t start = 0x1508 + 0x1000;
    EXPECT_EQ(off(0, 1, 1), start);
    EXPECT_EQ(off(0, 2, 7), start);
    EXPECT_EQ(off(0, 1, 2), start + 7);
    EXPECT_EQ(off(0, 1, 3), start + 11);
    EXPECT_EQ(off(1, 1, 1), start + 15);
    EXPECT_EQ(image.cString(start, 20), "ZONE A");
    EXPECT_EQ(image.TextEnd(), start + 22);
}

// Nine devices full of distinct texts need more than the image holds.
TEST_F(EncoderTest, TextsBeyondTheImageAreNotWrittenAndReportTheTextSpace) {
    for (int s = 1; s <= 8; ++s)
        cfg.slot(s, "ППКП"_cp);
    for (int s = 0; s <= 8; ++s) {
        IniStore tb(cfg.files().tb(s));
        IniStore::Batch batch(tb);
        for (int l = 1; l <= 8; ++l)
            for (int a = 1; a <= 60; ++a)
                tb.WriteString(SensorAddress(s, l, a), "ТЕКСТ"_cp,
                               "TEXT NUMBER " + SensorAddress(s, l, a) + "X");
    }
    TPanelImage image = cfg.build();
    EXPECT_EQ(image.TextEnd(), 0x10000u);
    // The last record that fitted points below the end; later ones hold no text.
    auto last = TDetectorRecord::read(image, imagemap::detectorRecord(8, 8, 60));
    EXPECT_EQ(last.textOffset, 0xFFFF);
    EXPECT_EQ(last.word & 0x8000, 0x8000);
    EXPECT_EQ(EncodeLinkedOutputs(image, cfg.cnf(), Series::FH), LinkedOutputsResult::TextSpace);
    EXPECT_EQ(EncodeLinkedOutputs(image, cfg.cnf(), Series::I), LinkedOutputsResult::TextSpace);
    EXPECT_FALSE(EncodeScenarios(image, cfg.cnf(), Series::I));
}

TEST_F(EncoderTest, DirectionDefaultsAndBytes) {
    IniStore& c = cfg.cnf();
    c.WriteString("НАПРАВЛЕНИЕ 1"_cp, "ЗОНА"_cp, "НЕТ ТАКОЙ"_cp);
    c.WriteString("НАПРАВЛЕНИЕ 2"_cp, "ЗОНА"_cp, "ЗОНА 5"_cp);
    c.WriteString("НАПРАВЛЕНИЕ 2"_cp, "РЕЛЕ 1"_cp, "СТОП"_cp);
    c.WriteString("НАПРАВЛЕНИЕ 2"_cp, "РЕЛЕ 2"_cp, "ТАБЛО\"ГАЗ..\""_cp);
    c.WriteString("НАПРАВЛЕНИЕ 2"_cp, "РЕЛЕ 3"_cp, "НЕТ"_cp);
    c.WriteString("НАПРАВЛЕНИЕ 2"_cp, "РЕЛЕ 4"_cp, "ЧТО-ТО"_cp);
    c.WriteString("НАПРАВЛЕНИЕ 2"_cp, "РЕЛЕ 5"_cp, "РЕЗЕРВ.ПУСК"_cp);
    c.WriteString("НАПРАВЛЕНИЕ 2"_cp, "СЦЕН."_cp, "12");
    c.WriteString("НАПРАВЛЕНИЕ 2"_cp, "БРИТ"_cp, "23/07");
    c.WriteString("НАПРАВЛЕНИЕ 3"_cp, "БДУ4"_cp, "23/07");
    c.WriteString("ЗОНА"_cp, "9", "");
    TPanelImage image = cfg.build();
    const std::uint32_t at = 0x0C00;
    EXPECT_EQ(bytesAt(image, at, 16), (V{0x00, 0x00, 0x1E, 0x00, 0x01, 0x04, 0x06, 0x05, 0xFF, 0xFF,
                                         0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF}));
    EXPECT_EQ(bytesAt(image, at + 16, 16), (V{0x02, 0x04, 0x1E, 0x08, 0x04, 0xFF, 0x06, 0x09, 0x0B,
                                              0x12, 0x06, 0x00, 0x00, 0x00, 0x01, 0xFF}));
    // No ЗОНА key: the first zone row whose name is empty; БДУ4 stands in for БРИТ.
    EXPECT_EQ(bytesAt(image, at + 32, 16), (V{0x02, 0x08, 0x1E, 0x00, 0x01, 0x04, 0x06, 0x05, 0xFF,
                                              0x12, 0x06, 0x00, 0x00, 0x00, 0x01, 0xFF}));
    EXPECT_EQ(bytesAt(image, at + 48, 16)[0], 0x00); // direction 4: no section
}

TEST_F(EncoderTest, BritValueThatIsNotDigitsIsAConversionError) {
    cfg.cnf().WriteString("НАПРАВЛЕНИЕ 1"_cp, "ЗОНА"_cp, "ЗОНА 1"_cp);
    cfg.cnf().WriteString("НАПРАВЛЕНИЕ 1"_cp, "БРИТ"_cp, "2X/07");
    EXPECT_THROW(cfg.build(), ConvertError);
}

TEST_F(EncoderTest, ZoneNamesAreSixteenByteFields) {
    ZoneNames zones = cfg.zones();
    zones[0] = "\xB3\xBF"
               "AB";
    zones[1] = "";
    zones[2] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"; // longer than the field
    TPanelImage image;
    BuildPanelImage(image, cfg.path(), zones);
    const std::uint32_t z = 0x0D06;
    EXPECT_EQ(std::string(image.bytes().substr(z, 16)), "IIAB            ");
    EXPECT_EQ(std::string(image.bytes().substr(z + 16, 16)), std::string(16, ' '));
    EXPECT_EQ(std::string(image.bytes().substr(z + 32, 16)), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(std::string(image.bytes().substr(z + 48, 6)), "\xC7\xCE\xCD\xC0 4"); // ЗОНА 4
}

} // namespace
} // namespace kvort::test
