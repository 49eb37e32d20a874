// The series-dependent passes: descriptions, comments, notes, device list,
// linked outputs and scenarios.
#include "ImageTestSupport.h"

#include "text/Cp1251.h"
#include "text/Error.h"

namespace kvort::test {
namespace {

using V = std::vector<int>;

class PassTest : public ::testing::Test {
  protected:
    TempDir dir;
    TestConfig cfg{dir.path()};
    IniStore& cnf() { return cfg.cnf(); }
};

TEST_F(PassTest, UndeterminedSeriesWritesNothing) {
    TPanelImage image = cfg.build();
    TPanelImage before = image;
    EXPECT_EQ(EncodeOutputTexts(image, cnf(), Series::Unknown), OutputTextsResult::NoSeries);
    EXPECT_EQ(EncodeLinkedOutputs(image, cnf(), Series::Unknown), LinkedOutputsResult::NoSeries);
    EXPECT_EQ(image, before);
}

TEST_F(PassTest, SeriesIDescriptionCommentAndNoteFields) {
    cnf().WriteString("ОПИСАНИЕ ВЫХОДОВ"_cp, "ППКП1/02"_cp, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    cnf().WriteString("КОММЕНТАРИИ К ПРИБОРАМ"_cp, "БДУ8"_cp, "GAS");
    cnf().WriteString("СЦЕНАРИЙ 097"_cp, "ПРИМЕЧАНИЕ"_cp, "NOTE");
    TPanelImage image = cfg.build();
    ASSERT_EQ(EncodeOutputTexts(image, cnf(), Series::I), OutputTextsResult::Done);
    EXPECT_EQ(image.byte(0xBFFF), 0xAA);
    EXPECT_EQ(std::string(image.bytes().substr(0xC0B4, 20)),
              std::string("ABCDEFGHIJKLMNOPQRS") + '\0');
    // The new configuration's two descriptions of the ПУ-П.
    EXPECT_EQ(image.cString(0xC000, 20), "ПЕРЕДАЧА НА ПЦН"_cp);
    EXPECT_EQ(image.cString(0xC014, 20), "ОПОВЕЩЕНИЕ"_cp);
    EXPECT_EQ(image.cString(0xCB00 + 24 * 20, 20), "GAS");
    EXPECT_EQ(image.cString(0xF000 + 96 * 20, 20), "NOTE");
    // Zero-filled one byte past each area.
    EXPECT_EQ(image.byte(0xCAA0), 0x00);
    EXPECT_EQ(image.byte(0xCAA1), 0xFF);
    EXPECT_EQ(image.byte(0xCCF4), 0x00);
    EXPECT_EQ(image.byte(0xFA00), 0x00);
    EXPECT_EQ(image.byte(0xFA01), 0xFF);
}

TEST_F(PassTest, FhDescriptionsDependOnTheTextEnd) {
    TPanelImage image = cfg.build();
    image.setTextEnd(0x8100);
    ASSERT_EQ(EncodeOutputTexts(image, cnf(), Series::FH), OutputTextsResult::Done);
    std::string packed = std::string("ПУ-П /01=ПЕРЕДАЧА НА ПЦН"_cp) + '\0' +
                         std::string("ПУ-П /02=ОПОВЕЩЕНИЕ"_cp) + '\0' + '\xFF';
    EXPECT_EQ(std::string(image.bytes().substr(0x8100, packed.size())), packed);

    TPanelImage late = cfg.build();
    late.setTextEnd(0x8101);
    EXPECT_EQ(EncodeOutputTexts(late, cnf(), Series::FH), OutputTextsResult::NotStored);
    EXPECT_EQ(late.byte(0x8101), 0xFF);
}

// The list is cut so that its last terminator is at 0x8DFF at the latest,
// and nothing lands in the linked-output table.
TEST_F(PassTest, FhDescriptionListIsCutAt8DFF) {
    struct Case {
        int valueLength; // of the one long description
        int lastByteAt8DFF;
    };
    // "ПУ-П /01=" + value + 0: the first line fills exactly up to 0x8DFF
    // with its terminator when it is 0xCFF bytes long with it.
    const int exact = 0x8DFF - 0x8100 - 9; // value length for a terminator at 0x8DFF
    for (Case c : {Case{exact, 0x00}, Case{exact + 5, 0x00}}) {
        TempDir d;
        TestConfig t(d.path());
        t.cnf().WriteString("ОПИСАНИЕ ВЫХОДОВ"_cp, "ПУ-П /01"_cp, std::string(c.valueLength, 'A'));
        TPanelImage image = t.build();
        EXPECT_EQ(EncodeOutputTexts(image, t.cnf(), Series::FH), OutputTextsResult::NotAllFit)
            << c.valueLength;
        EXPECT_EQ(image.byte(0x8DFF), c.lastByteAt8DFF);
        EXPECT_EQ(image.byte(0x8DFE), 'A');
        EXPECT_EQ(image.byte(0x8E00), 0xFF);
    }
}

TEST_F(PassTest, LinkedOutputTargets) {
    struct Case {
        const char* value;
        int T, R;
    };
    const Case cases[] = {
        {"ПУ-П /03/", 0x02, 0x3E},  {"ППКП2/05/", 0x14, 0x3E},  {"БРВУ1/08/", 0x48, 0x07},
        {"БКА12/33/", 0x09, 0x20},  {"ПИУ31/07/", 0x18, 0x06},  {"ВНЕШН/105/", 0xE0, 0x68},
        {"ВНЕШН/97/", 0xE0, 0x60},  {"СЦЕН./097/", 0xE1, 0x60}, {"СЦЕН./128/", 0xE1, 0x7F},
        {"ЧТО-ТО/01/", 0x00, 0x09}, // anything else: the detector itself (И01-10)
    };
    int a = 1;
    for (const Case& c : cases)
        cfg.detector(0, 1, a++, {{"ТЕКСТ"_cp, "T"}, {"ВЫХОД"_cp, text::fromUtf8(c.value)}});
    TPanelImage image = cfg.build();
    ASSERT_EQ(EncodeLinkedOutputs(image, cnf(), Series::FH), LinkedOutputsResult::Done);
    a = 0;
    for (const Case& c : cases) {
        auto r = TLinkedOutputRecord::read(image, 0x8E00 + 4 * a);
        EXPECT_EQ(V({r.lineCode, r.address, r.target.T, r.target.R}), V({0, a, c.T, c.R}))
            << c.value;
        ++a;
    }
    EXPECT_EQ(image.byte(0x8E00 + 4 * a), 0xFF);
    EXPECT_EQ(bytesAt(image, 0xBFE0, 10), (V{0, 255, 255, 255, 255, 255, 255, 255, 255, 0}));
}

TEST_F(PassTest, LinkedOutputWithBadDigitsIsAConversionError) {
    cfg.detector(0, 1, 1, {{"ТЕКСТ"_cp, "T"}, {"ВЫХОД"_cp, "ППКП2/0X/"_cp}});
    TPanelImage image = cfg.build();
    EXPECT_THROW(EncodeLinkedOutputs(image, cnf(), Series::FH), ConvertError);
}

// 200 no-latch detectors and 60 with outputs need 260 records.
TEST_F(PassTest, TableOf256IsFullInDetectorOrder) {
    cfg.slot(1, "ППКП"_cp);
    {
        IniStore tb0(cfg.files().tb(0)), tb1(cfg.files().tb(1));
        IniStore::Batch b0(tb0), b1(tb1);
        for (int i = 0; i < 260; ++i) {
            int s = i / 240, l = (i % 240) / 30 + 1, a = i % 30 + 1;
            IniStore& tb = s == 0 ? tb0 : tb1;
            std::string sec = SensorAddress(s, l, a);
            tb.WriteString(sec, "ТЕКСТ"_cp, "T");
            if (i < 200)
                tb.WriteString(sec, "ТИП"_cp, "БЕЗ ФИКСАЦИИ"_cp);
            else
                tb.WriteString(sec, "ВЫХОД"_cp, "ПУ-П /01/"_cp);
        }
    }
    TPanelImage image = cfg.build();
    EXPECT_EQ(EncodeLinkedOutputs(image, cnf(), Series::FH), LinkedOutputsResult::TableFull);
    auto last = TLinkedOutputRecord::read(image, 0x8E00 + 255 * 4);
    EXPECT_EQ(V({last.lineCode, last.address, last.target.T}), V({8, 15, 0x00})); // 256th: И11-16
    EXPECT_EQ(image.byte(0x9200), 0xFF);
    EXPECT_EQ(image.byte(0xBFE9), 0xFF); // the series byte is not written
    EXPECT_EQ(TLinkedOutputRecord::read(image, 0x8E00).target.T, 0xFF); // no-latch: FF FF
}

TEST_F(PassTest, NoLatchAndModuleRulesPerSeries) {
    cfg.detector(0, 1, 1, {{"ТЕКСТ"_cp, "A"}, {"ТИП"_cp, "БЕЗ ФИКСАЦИИ"_cp}});
    cfg.detector(0, 1, 2,
                 {{"ТЕКСТ"_cp, "B"}, {"ТИП"_cp, "БЕЗ ФИКСАЦИИ"_cp}, {"СКРЫТЬ"_cp, "ДА"_cp}});
    cfg.detector(0, 1, 3, {{"ТЕКСТ"_cp, "C"}, {"ТИП"_cp, "БКА"_cp}, {"ВЫХОД"_cp, "ПУ-П /01/"_cp}});
    cfg.detector(0, 1, 4,
                 {{"ТЕКСТ"_cp, "D"}, {"ВЫХОД"_cp, "ПУ-П /01/"_cp}, {"СКРЫТЬ"_cp, "ДА"_cp}});
    for (Series series : {Series::FH, Series::I}) {
        TPanelImage image = cfg.build();
        ASSERT_EQ(EncodeLinkedOutputs(image, cnf(), series), LinkedOutputsResult::Done);
        std::uint32_t t = series == Series::I ? 0xD000 : 0x8E00;
        V expected = series == Series::I
                         ? V{0, 0x81, 0xFF, 0xFF, 0, 0x83, 0x00, 0x3E, 0xFF}
                         : V{0, 0x00, 0xFF, 0xFF, 0, 0x81, 0xFF, 0xFF, 0, 0x83, 0x00, 0x3E, 0xFF};
        EXPECT_EQ(bytesAt(image, t, static_cast<std::uint32_t>(expected.size())), expected)
            << SeriesCode(series);
    }
}

TEST_F(PassTest, SeriesIDeviceListAndNames) {
    cfg.slot(1, "БРИТ"_cp);
    cfg.slot(2, "ПИУ"_cp);
    cfg.slot(3, "ППКП(4)"_cp);
    cfg.slot(4, "ЧУДО"_cp); // no known kind: sent as an 8-line panel
    TPanelImage image = cfg.build();
    ASSERT_EQ(EncodeLinkedOutputs(image, cnf(), Series::I), LinkedOutputsResult::Done);
    EXPECT_EQ(bytesAt(image, 0xDFE0, 10), (V{0, 4, 5, 2, 2, 255, 255, 255, 255, 1}));
    std::string names(image.bytes().substr(0xDF50, 35));
    EXPECT_EQ(names, std::string("ПУ-П  "_cp) + '\0' + std::string("БРИТ1 "_cp) + '\0' +
                         std::string("ПИУ 2 "_cp) + '\0' + std::string("ППКП3 "_cp) + '\0' +
                         std::string("ППКП4 "_cp) + '\0');
}

// Series I texts reaching the description marker would be overwritten by
// it: nothing is written and the write stops for the text space.
TEST_F(PassTest, SeriesITextsReachingTheMarkerAreNeverOverwritten) {
    TPanelImage image = cfg.build();
    image.setTextEnd(0xC000);
    TPanelImage before = image;
    EXPECT_EQ(EncodeOutputTexts(image, cnf(), Series::I), OutputTextsResult::NotStored);
    EXPECT_EQ(EncodeLinkedOutputs(image, cnf(), Series::I), LinkedOutputsResult::TextSpace);
    EXPECT_EQ(image, before);
    image.setTextEnd(0xBFFF);
    EXPECT_EQ(EncodeOutputTexts(image, cnf(), Series::I), OutputTextsResult::Done);
    EXPECT_EQ(EncodeLinkedOutputs(image, cnf(), Series::I), LinkedOutputsResult::Done);
}

TEST_F(PassTest, ScenarioRecords) {
    cnf().WriteString("СЦЕНАРИЙ 01"_cp, "РЕЖИМ"_cp, "3");
    cnf().WriteString("СЦЕНАРИЙ 01"_cp, "ЗОНА"_cp, "300"); // low 8 bits
    cnf().WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 01"_cp, "ПУ-П /03/ВКЛ /010"_cp);
    cnf().WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 02"_cp, "СЦЕН./100/ВЫКЛ/007"_cp);
    cnf().WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 03"_cp, "БРВУ2/05/ВЫКЛ/120"_cp);
    cnf().WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 04"_cp, "БКА23/07/ВКЛ /015"_cp);
    cnf().WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 05"_cp, "ВНЕШН/05/ВКЛ /000"_cp);
    cnf().WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 06"_cp, "ППКП3/08/ВКЛ /002"_cp);
    cnf().WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 08"_cp, "ПИУ31/07/ВКЛ /002"_cp); // not a step device
    cnf().WriteString("СЦЕНАРИЙ 02"_cp, "РЕЖИМ"_cp, "14");
    cnf().WriteString("СЦЕНАРИЙ 098"_cp, "РЕЖИМ"_cp, "1");
    TPanelImage image = cfg.build();
    ASSERT_TRUE(EncodeScenarios(image, cnf(), Series::FH));
    V s1 = bytesAt(image, 0x9300, 32);
    EXPECT_EQ(s1, (V{0x32, 0x2C, 0x02, 0x3E, 0x05, 0xE1, 0xE3, 0x03, 0x49, 0x84, 0x3C,
                     0x12, 0x06, 0x07, 0xE0, 0x04, 0x00, 0x1F, 0x3E, 0x01, 0xFF, 0xFF,
                     0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bytesAt(image, 0x9320, 2), (V{0xFF, 0x00})); // mode 14: not configured
    V unconfigured{0x02, 0xFF};
    for (int j = 0; j < 10; ++j)
        unconfigured.insert(unconfigured.end(), {0xFF, 0xFF, 0x00});
    EXPECT_EQ(bytesAt(image, 0x9300 + 95 * 32, 32), unconfigured);   // 96
    EXPECT_EQ(bytesAt(image, 0x9300 + 96 * 32, 32), V(32, 0xFF));    // 97
    EXPECT_EQ(bytesAt(image, 0x9300 + 97 * 32, 2), (V{0x12, 0x00})); // 98
}

TEST_F(PassTest, ScenarioTableBehindTheTextsIsNotWritten) {
    TPanelImage image = cfg.build();
    image.setTextEnd(0x9301);
    EXPECT_FALSE(EncodeScenarios(image, cnf(), Series::FH));
    EXPECT_EQ(image.byte(0x9300), 0xFF);
    image.setTextEnd(0x9300);
    EXPECT_TRUE(EncodeScenarios(image, cnf(), Series::FH));
    EXPECT_EQ(image.byte(0x9300), 0x02);
}

TEST_F(PassTest, StepWithBadDigitsIsAConversionError) {
    cnf().WriteString("СЦЕНАРИЙ 05"_cp, "ШАГ 01"_cp, "ПУ-П /0A/ВКЛ /010"_cp);
    TPanelImage image = cfg.build();
    EXPECT_THROW(EncodeScenarios(image, cnf(), Series::I), ConvertError);
}

} // namespace
} // namespace kvort::test

namespace kvort::test {
namespace {

// Every target a device can have comes back from its output unchanged.
TEST(OutputTargets, EveryDeviceTargetReadsBackAsTheSameBytes) {
    int checked = 0;
    for (int T = 0; T <= 0xFF; ++T)
        for (int R = 0; R <= 0x7F; ++R) {
            const TOutputTarget t{static_cast<std::uint8_t>(T), static_cast<std::uint8_t>(R)};
            const std::optional<OutputRef> out = OutputOf(t);
            if (!out)
                continue;
            const TOutputTarget back = TargetOf(*out);
            EXPECT_EQ(back.T, t.T) << T << " " << R;
            EXPECT_EQ(back.R, t.R) << T << " " << R;
            ++checked;
        }
    EXPECT_EQ(checked, 0x50 * 0x80 + 2 * 0x80);
    EXPECT_FALSE(OutputOf({0x50, 0x00}));
    EXPECT_FALSE(OutputOf({0xE2, 0x00}));
}

} // namespace
} // namespace kvort::test
