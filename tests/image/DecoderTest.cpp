// DecodePanelImage: which image field gives which key.
#include "ImageTestSupport.h"

#include "image/Decoder.h"
#include "text/Error.h"

namespace kvort::test {
namespace {

std::string bytes(std::initializer_list<int> b) {
    std::string out;
    for (int v : b)
        out.push_back(static_cast<char>(v));
    return out;
}

class DecoderTest : public ::testing::Test {
  protected:
    TempDir dir;
    TestConfig cfg{dir.path(), "src"};
    fs::path out = dir.path() / "out" / "R.cnf";

    void SetUp() override { fs::create_directories(out.parent_path()); }

    // An F/H image of the configuration so far, passes included.
    TPanelImage encoded(Series series = Series::FH) { return encodeAll(cfg.path(), series).image; }

    Series decode(const TPanelImage& image) {
        WriteReadSkeleton(out);
        return DecodePanelImage(image, out);
    }
    std::string cnfValue(std::string_view sec, std::string_view key, std::string_view def = "?") {
        IniStore s(out);
        return s.ReadString(sec, key, def);
    }
    std::string tbValue(int slot, std::string_view sec, std::string_view key,
                        std::string_view def = "?") {
        IniStore s(ConfigFileSet(out).tb(slot));
        return s.ReadString(sec, key, def);
    }
};

TEST_F(DecoderTest, SystemKeysAndSeries) {
    TPanelImage image = encoded();
    EXPECT_EQ(decode(image), Series::FH);
    EXPECT_EQ(cnfValue("СИСТЕМА"_cp, "НАИМЕНОВАНИЕ"_cp), "КВОРТ"_cp);
    EXPECT_EQ(cnfValue("СИСТЕМА"_cp, "ВЕРСИЯ"_cp), "V6.10");
    EXPECT_EQ(cnfValue("АДРЕС ПУ-П"_cp, "АДРЕС"_cp), "-1");
    EXPECT_EQ(cnfValue("ПЛАН ЗОНЫ"_cp, "256"), "");
    image.setByte(0xDFF0, 0x49);
    EXPECT_EQ(decode(image), Series::I);
}

struct Recorder : CodecProgress {
    std::vector<std::string> status;
    std::vector<int> progress;
    void setStatus(std::string_view t) override { status.emplace_back(t); }
    void setProgress(int position, int) override { progress.push_back(position); }
};

TEST_F(DecoderTest, StatusAndProgressGoThroughTheCallback) {
    cfg.slot(1, "ППКП"_cp);
    Recorder r;
    TPanelImage image;
    BuildPanelImage(image, cfg.path(), cfg.zones(), &r);
    ASSERT_EQ(r.status.size(), 1u);
    EXPECT_EQ(r.status[0], "     ПОДОЖДИТЕ, ИДЕТ ПОДГОТОВКА ДАННЫХ ДЛЯ ЗАПИСИ"_cp);
    WriteReadSkeleton(out);
    DecodePanelImage(image, out, &r);
    EXPECT_EQ(r.progress, (std::vector<int>{20, 30}));
}

TEST_F(DecoderTest, CompositionFromTheDeviceList) {
    cfg.slot(1, "ППКП"_cp);
    TPanelImage image = encoded();
    image.setByte(0xBFE1, 4);
    decode(image);
    EXPECT_EQ(cnfValue("СОСТАВ"_cp, "0"), "ПУ-П(8)"_cp);
    EXPECT_EQ(cnfValue("СОСТАВ"_cp, "1"), "БРИТ"_cp);
    EXPECT_NE(readFile(out).find("1=БРИТ \r\n"_cp), std::string::npos);
    EXPECT_EQ(cnfValue("ПРИБОРЫ"_cp, "ППКП1"_cp), "-8");
    EXPECT_EQ(cnfValue("СОСТАВ"_cp, "2"), "?");
    // Without 0x00/0x01 at 0xBFE0 the list is taken from 0x9FE0.
    // Slot 0 is the ПУ-П whatever code the list gives it.
    image.setByte(0xBFE0, 0xFF);
    image.setByte(0x9FE0, 3);
    image.setByte(0x9FE1, 5);
    decode(image);
    EXPECT_EQ(cnfValue("СОСТАВ"_cp, "0"), "ПУ-П(8)"_cp);
    EXPECT_EQ(cnfValue("ПРИБОРЫ"_cp, "ПУ-П"_cp), "-8");
    EXPECT_EQ(cnfValue("СОСТАВ"_cp, "1"), "ПИУ"_cp);
}

TEST_F(DecoderTest, DetectorRecordKeysInOrder) {
    TPanelImage image = encoded();
    image.setBytes(0x0000, bytes({0x80, 0x0D, 0x1D, 0x06}));
    image.setBytes(0x1D06, std::string("ДАТЧИК"_cp) + '\0');
    image.setBytes(0x0004, bytes({0x00, 0x08, 0x1D, 0x06})); // enabled, zone 2, smoke
    image.setBytes(0x0008, bytes({0x87, 0xF8, 0x1E, 0x00}));
    image.setBytes(0x1E00, "ABCDEFGHIJKLMNOPQRSTUVWXY"); // 25 characters, no terminator
    decode(image);
    const std::string sec(std::string_view("И01-01"_cp));
    EXPECT_EQ(tbValue(0, sec, "ТИП"_cp), "ТЕХНОЛОГ"_cp);
    EXPECT_EQ(tbValue(0, sec, "ЗОНА"_cp), "ЗОНА 2"_cp);
    EXPECT_EQ(tbValue(0, sec, "СОСТОЯНИЕ"_cp), "ВЫКЛ"_cp);
    EXPECT_EQ(tbValue(0, sec, "ТЕКСТ"_cp), "ДАТЧИК"_cp);
    EXPECT_EQ(tbValue(0, "И01-02"_cp, "СОСТОЯНИЕ"_cp), "ВКЛ"_cp);
    EXPECT_EQ(tbValue(0, "И01-03"_cp, "ТЕКСТ"_cp), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(tbValue(0, "И01-04"_cp, "ТИП"_cp), "?"); // 87 F8 FF FF
    std::string file = readFile(ConfigFileSet(out).tb(0));
    EXPECT_EQ(file.substr(0, file.find("[И01-02]"_cp)),
              "[И01-01]\r\nТИП=ТЕХНОЛОГ\r\nЗОНА=ЗОНА 2\r\nСОСТОЯНИЕ=ВЫКЛ\r\nТЕКСТ=ДАТЧИК\r\n"_cp);
}

TEST_F(DecoderTest, PanelCharactersAndZonePadding) {
    TPanelImage image = encoded();
    image.setBytes(0x0D06, "\xA5\xE0\xB1 X          ");
    decode(image);
    EXPECT_EQ(cnfValue("ЗОНА"_cp, "1"), "ИДЯ X"_cp);
    EXPECT_NE(readFile(out).find(std::string("1=ИДЯ X"_cp) + std::string(11, ' ') + "\r\n"),
              std::string::npos);
}

TEST_F(DecoderTest, LoopLineComesBackAsLoop) {
    cfg.detector(0, 2, 1, {{"ТЕКСТ"_cp, "L"}, {"ТИП"_cp, "ШЛЕЙФ"_cp}});
    decode(encoded());
    EXPECT_EQ(tbValue(0, "И02-01"_cp, "ТИП"_cp), "ШЛЕЙФ"_cp);
}

TEST_F(DecoderTest, FhDescriptionsOnlyBelowTheTexts) {
    cfg.cnf().WriteString("ОПИСАНИЕ ВЫХОДОВ"_cp, "БРВУ3/07"_cp, "ВЕНТИЛЯЦИЯ"_cp);
    TPanelImage image = encoded();
    decode(image);
    EXPECT_EQ(cnfValue("ОПИСАНИЕ ВЫХОДОВ"_cp, "ПУ-П /02"_cp), "ОПОВЕЩЕНИЕ"_cp);
    EXPECT_EQ(cnfValue("ОПИСАНИЕ ВЫХОДОВ"_cp, "БРВУ3/07"_cp), "ВЕНТИЛЯЦИЯ"_cp);
    // A text that runs to 0x8100 hides them.
    image.setBytes(0x0000, bytes({0x00, 0x00, 0x80, 0xFC}));
    image.setBytes(0x80FC, "ABCD");
    decode(image);
    EXPECT_EQ(cnfValue("ОПИСАНИЕ ВЫХОДОВ"_cp, "ПУ-П /02"_cp), "?");
}

// The list form of the descriptions is read only where no detector text may
// reach it: an enabled address without a text offset stands for a text that
// did not fit, so nothing is known to end below the area. The I form, marked
// at 0xBFFF, is read whatever the texts do.
TEST_F(DecoderTest, DescriptionListOnlyWhereNoTextMayReachIt) {
    const std::string listAtC000 = std::string("ПУ-П /05=ЧУЖОЕ"_cp) + '\0' + '\xFF';
    struct Case {
        const char* name;
        Series series;
        bool enabledWithoutText; // 0x0000: 00 00 FF FF
        bool textToC000;         // 0x0000: 20 characters from 0xBFEC, read up to 0xC000
        bool marker;             // 0xBFFF = 0xAA (series I)
        std::string_view key;
        std::string_view expected;
    };
    const Case cases[] = {
        {"F/H, all texts low", Series::FH, false, false, false, "ПУ-П /02"_cp, "ОПОВЕЩЕНИЕ"_cp},
        {"F/H, enabled address without text", Series::FH, true, false, false, "ПУ-П /02"_cp, "?"},
        {"I without marker, texts low", Series::I, false, false, false, "ПУ-П /05"_cp, "ЧУЖОЕ"_cp},
        {"I without marker, text up to 0xC000", Series::I, false, true, false, "ПУ-П /05"_cp, "?"},
        {"I without marker, enabled without text", Series::I, true, false, false, "ПУ-П /05"_cp,
         "?"},
        {"I with marker, enabled without text", Series::I, true, false, true, "ПУ-П /02"_cp,
         "ОПОВЕЩЕНИЕ"_cp},
    };
    cfg.detector(0, 1, 2, {{"ТЕКСТ"_cp, "A"}, {"ВЫХОД"_cp, "ППКП2/05/"_cp}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPanelImage image = encoded(c.series);
        if (c.series == Series::I && !c.marker) {
            image.setByte(0xBFFF, 0xFF);
            image.setBytes(0xC000, listAtC000);
        }
        if (c.enabledWithoutText)
            image.setBytes(0x0000, bytes({0x00, 0x00, 0xFF, 0xFF}));
        if (c.textToC000) {
            image.setBytes(0x0000, bytes({0x00, 0x00, 0xBF, 0xEC}));
            image.setBytes(0xBFEC, "TTTTTTTTTTTTTTTTTTTT");
        }
        decode(image);
        EXPECT_EQ(cnfValue("ОПИСАНИЕ ВЫХОДОВ"_cp, c.key), c.expected);
        // Linked outputs do not depend on it.
        EXPECT_EQ(tbValue(0, "И01-02"_cp, "ВЫХОД"_cp), "ППКП2/05/"_cp);
    }
}

TEST_F(DecoderTest, SeriesIDescriptionsCommentsAndNotes) {
    cfg.cnf().WriteString("ОПИСАНИЕ ВЫХОДОВ"_cp, "БРВУ8/08"_cp, "ПОСЛЕДНИЙ"_cp);
    cfg.cnf().WriteString("КОММЕНТАРИИ К ПРИБОРАМ"_cp, "БДУ3"_cp, "ГАЗ"_cp);
    cfg.cnf().WriteString("СЦЕНАРИЙ 05"_cp, "РЕЖИМ"_cp, "7");
    cfg.cnf().WriteString("СЦЕНАРИЙ 05"_cp, "ПРИМЕЧАНИЕ"_cp, "ЗАМЕТКА"_cp);
    EXPECT_EQ(decode(encoded(Series::I)), Series::I);
    EXPECT_EQ(cnfValue("ОПИСАНИЕ ВЫХОДОВ"_cp, "ПУ-П /01"_cp), "ПЕРЕДАЧА НА ПЦН"_cp);
    EXPECT_EQ(cnfValue("ОПИСАНИЕ ВЫХОДОВ"_cp, "БРВУ8/08"_cp), "ПОСЛЕДНИЙ"_cp);
    EXPECT_EQ(cnfValue("КОММЕНТАРИИ К ПРИБОРАМ"_cp, "БДУ3"_cp), "ГАЗ"_cp);
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 05"_cp, "ПРИМЕЧАНИЕ"_cp), "ЗАМЕТКА"_cp);
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 05"_cp, "ЗОНА"_cp), "?"); // mode 7 has no zone
}

TEST_F(DecoderTest, TargetsOfStepsAndLinkedOutputs) {
    cfg.detector(0, 1, 1, {{"ТЕКСТ"_cp, "A"}, {"ВЫХОД"_cp, "СЦЕН./100/"_cp}});
    cfg.detector(0, 1, 2,
                 {{"ТЕКСТ"_cp, "B"}, {"ВЫХОД"_cp, "СЦЕН./097/"_cp}, {"СКРЫТЬ"_cp, "ДА"_cp}});
    cfg.detector(0, 1, 3, {{"ТЕКСТ"_cp, "C"}, {"ВЫХОД"_cp, "ВНЕШН/96/"_cp}});
    cfg.detector(0, 1, 4, {{"ТЕКСТ"_cp, "D"}, {"ВЫХОД"_cp, "ППКП2/05/"_cp}});
    IniStore& c = cfg.cnf();
    c.WriteString("СЦЕНАРИЙ 03"_cp, "РЕЖИМ"_cp, "10");
    c.WriteString("СЦЕНАРИЙ 03"_cp, "ЗОНА"_cp, "64");
    c.WriteString("СЦЕНАРИЙ 03"_cp, "ШАГ 01"_cp, "СЦЕН./100/ВЫКЛ/007"_cp);
    c.WriteString("СЦЕНАРИЙ 03"_cp, "ШАГ 02"_cp, "СЦЕН./97/ВКЛ /010"_cp);
    c.WriteString("СЦЕНАРИЙ 03"_cp, "ШАГ 03"_cp, "ВНЕШН/100/ВКЛ /511"_cp);
    c.WriteString("СЦЕНАРИЙ 03"_cp, "ШАГ 04"_cp, "БКА23/07/ВКЛ /015"_cp);
    c.WriteString("СЦЕНАРИЙ 03"_cp, "ШАГ 05"_cp, "БРВУ2/05/ВЫКЛ/120"_cp);
    c.WriteString("СЦЕНАРИЙ 03"_cp, "ШАГ 06"_cp, "ПУ-П /03/ВКЛ /010"_cp);
    decode(encoded());
    EXPECT_EQ(tbValue(0, "И01-01"_cp, "ВЫХОД"_cp), "СЦЕН./100/"_cp);
    EXPECT_EQ(tbValue(0, "И01-01"_cp, "СКРЫТЬ"_cp), "?");
    EXPECT_EQ(tbValue(0, "И01-02"_cp, "ВЫХОД"_cp), "СЦЕН./097/"_cp);
    EXPECT_EQ(tbValue(0, "И01-02"_cp, "СКРЫТЬ"_cp), "ДА"_cp);
    EXPECT_EQ(tbValue(0, "И01-03"_cp, "ВЫХОД"_cp), "ВНЕШН/96/"_cp);
    EXPECT_EQ(tbValue(0, "И01-04"_cp, "ВЫХОД"_cp), "ППКП2/05/"_cp);
    const std::string sec(std::string_view("СЦЕНАРИЙ 03"_cp));
    EXPECT_EQ(cnfValue(sec, "РЕЖИМ"_cp), "10");
    EXPECT_EQ(cnfValue(sec, "ЗОНА"_cp), "64");
    EXPECT_EQ(cnfValue(sec, "ШАГ 01"_cp), "СЦЕН./100/ВЫКЛ/006"_cp);
    EXPECT_EQ(cnfValue(sec, "ШАГ 02"_cp), "СЦЕН./97/ВКЛ /010"_cp);
    EXPECT_EQ(cnfValue(sec, "ШАГ 03"_cp), "ВНЕШН/100/ВКЛ /510"_cp);
    EXPECT_EQ(cnfValue(sec, "ШАГ 04"_cp), "БКА23/07/ВКЛ /014"_cp);
    EXPECT_EQ(cnfValue(sec, "ШАГ 05"_cp), "БРВУ2/05/ВЫКЛ/120"_cp);
    EXPECT_EQ(cnfValue(sec, "ШАГ 06"_cp), "ПУ-П /03/ВКЛ /010"_cp);
    EXPECT_EQ(cnfValue(sec, "ШАГ 07"_cp), "?");
}

// R may name an output 100..256, which the two digits of the files cannot
// hold: "БКА01/128/" would come back as module 12.
TEST_F(DecoderTest, OutputNumbersWithoutATextNameNoDevice) {
    cfg.detector(0, 1, 1, {{"ТЕКСТ"_cp, "A"}, {"ВЫХОД"_cp, "БКА01/02/"_cp}});
    cfg.detector(0, 1, 2, {{"ТЕКСТ"_cp, "B"}, {"ВЫХОД"_cp, "БКА01/02/"_cp}});
    cfg.detector(0, 1, 3, {{"ТЕКСТ"_cp, "C"}, {"ВЫХОД"_cp, "БРВУ1/02/"_cp}});
    IniStore& c = cfg.cnf();
    c.WriteString("СЦЕНАРИЙ 01"_cp, "РЕЖИМ"_cp, "1");
    c.WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 01"_cp, "БКА01/02/ВКЛ /000"_cp);
    c.WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 02"_cp, "БКА01/02/ВКЛ /000"_cp);
    c.WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 03"_cp, "ПУ-П /01/ВКЛ /000"_cp);
    TPanelImage image = encoded();
    const std::uint32_t linked = imagemap::kFhLinkedOutputs, step = imagemap::kFhScenarios + 2;
    image.setByte(linked + 3, 0x7F);     // module 128
    image.setByte(linked + 4 + 3, 0x62); // module 99
    image.setByte(linked + 8 + 3, 0xE0); // relay 225
    image.setByte(step + 1, 0x62);
    image.setByte(step + 3 + 1, 0x7F);
    decode(image);
    EXPECT_EQ(tbValue(0, "И01-01"_cp, "ВЫХОД"_cp), "НЕТ"_cp);
    EXPECT_EQ(tbValue(0, "И01-02"_cp, "ВЫХОД"_cp), "БКА01/99/"_cp);
    EXPECT_EQ(tbValue(0, "И01-03"_cp, "ВЫХОД"_cp), "НЕТ"_cp);
    const std::string sec(std::string_view("СЦЕНАРИЙ 01"_cp));
    EXPECT_EQ(cnfValue(sec, "ШАГ 01"_cp), "БКА01/99/ВКЛ /000"_cp);
    EXPECT_EQ(cnfValue(sec, "ШАГ 02"_cp), "?"); // the list ends there
    EXPECT_EQ(cnfValue(sec, "ШАГ 03"_cp), "?");
}

TEST_F(DecoderTest, ScenarioModes) {
    TPanelImage image = encoded();
    auto put = [&](int k, std::string_view bytes) { image.setBytes(0x9300 + (k - 1) * 32, bytes); };
    put(1, std::string("\x02\x05\x00\x3E\x01\xFF", 6));
    put(2, std::string("\x0F\x05\x00\x3E\x01\xFF", 6));
    put(3, std::string("\xE2\x05\x00\x3E\x01\xFF", 6));
    put(4, std::string("\x12\x05\x00\x3E\x01\x50\x00\x00\x00\x3E\x01", 11)); // T = 0x50
    put(100, std::string("\x32\x07\xFF", 3));
    decode(image);
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 01"_cp, "ШАГ 01"_cp), "?");
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 02"_cp, "ШАГ 01"_cp), "?");
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 03"_cp, "РЕЖИМ"_cp), "?");
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 03"_cp, "ЗОНА"_cp), "?");
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 03"_cp, "ШАГ 01"_cp), "ПУ-П /01/ВКЛ /002"_cp);
    // A target no row covers ends the step list.
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 04"_cp, "ШАГ 01"_cp), "ПУ-П /01/ВКЛ /002"_cp);
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 04"_cp, "ШАГ 02"_cp), "?");
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 04"_cp, "ШАГ 03"_cp), "?");
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 04"_cp, "ЗОНА"_cp), "?");
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 100"_cp, "РЕЖИМ"_cp), "3");
    EXPECT_EQ(cnfValue("СЦЕНАРИЙ 100"_cp, "ЗОНА"_cp), "7");
}

TEST_F(DecoderTest, Directions) {
    IniStore& c = cfg.cnf();
    c.WriteString("НАПРАВЛЕНИЕ 2"_cp, "ЗОНА"_cp, "ЗОНА 5"_cp);
    c.WriteString("НАПРАВЛЕНИЕ 2"_cp, "РЕЛЕ 1"_cp, "ТАБЛО\"ГАЗ..\""_cp);
    c.WriteString("НАПРАВЛЕНИЕ 2"_cp, "СЦЕН."_cp, "96");
    c.WriteString("НАПРАВЛЕНИЕ 2"_cp, "БРИТ"_cp, "23/07");
    c.WriteString("НАПРАВЛЕНИЕ 3"_cp, "ЗОНА"_cp, "ЗОНА 6"_cp);
    c.WriteString("НАПРАВЛЕНИЕ 3"_cp, "СЦЕН."_cp, "97");
    TPanelImage image = encoded();
    image.setByte(0x0C00 + 2 * 16 + 9, 0x48); // direction 3: block outside the lines
    decode(image);
    EXPECT_EQ(cnfValue("НАПРАВЛЕНИЕ 1"_cp, "ЗОНА"_cp), "?");
    EXPECT_EQ(cnfValue("НАПРАВЛЕНИЕ 2"_cp, "ЗОНА"_cp), "ЗОНА 5"_cp);
    EXPECT_EQ(cnfValue("НАПРАВЛЕНИЕ 2"_cp, "РЕЛЕ 1"_cp), "ТАБЛО\"ОПОВЕЩ.\""_cp);
    EXPECT_EQ(cnfValue("НАПРАВЛЕНИЕ 2"_cp, "РЕЛЕ 2"_cp), "ПУСК 2"_cp);
    EXPECT_EQ(cnfValue("НАПРАВЛЕНИЕ 2"_cp, "РЕЛЕ 4"_cp), "АВТ.ОТКЛ."_cp);
    EXPECT_EQ(cnfValue("НАПРАВЛЕНИЕ 2"_cp, "РЕЛЕ 5"_cp), "БЛОКИРОВКА"_cp);
    EXPECT_EQ(cnfValue("НАПРАВЛЕНИЕ 2"_cp, "СЦЕН."_cp), "96");
    EXPECT_EQ(cnfValue("НАПРАВЛЕНИЕ 2"_cp, "БРИТ"_cp), "23/07");
    EXPECT_EQ(cnfValue("НАПРАВЛЕНИЕ 3"_cp, "СЦЕН."_cp), "?"); // byte 8 = 0x60
    EXPECT_EQ(cnfValue("НАПРАВЛЕНИЕ 3"_cp, "БРИТ"_cp), "?");
}

// An image that contradicts itself is refused before any file is written,
// with what is wrong and where.
TEST_F(DecoderTest, InconsistentImagesAreRefusedNamingTheOffset) {
    struct Case {
        const char* what;
        void (*damage)(TPanelImage&);
        const char* names;
    };
    const Case cases[] = {
        {"a linked output of a slot the image has no device in",
         [](TPanelImage& im) {
             im.setBytes(0x8E00, bytes({0x08, 0x00, 0x00, 0x3E}));
         },
         "смещению 0x8E00 (36352) относится к прибору в позиции 1 (код линии 8), а в составе "
         "образа есть только позиция 0"},
        {"a cleared panel memory", [](TPanelImage& im) { im.fillAll(0x00); },
         "в составе образа нет ни одного прибора"},
    };
    for (const Case& c : cases) {
        TPanelImage image = encoded();
        c.damage(image);
        try {
            DecodeImage(image);
            ADD_FAILURE() << c.what << ": decoded";
        } catch (const ImageError& e) {
            EXPECT_NE(std::string(e.what()).find(c.names), std::string::npos)
                << c.what << ": " << e.what();
        }
        WriteReadSkeleton(out);
        const std::string skeleton = readFile(out);
        EXPECT_THROW(DecodePanelImage(image, out), ImageError) << c.what;
        EXPECT_EQ(readFile(out), skeleton) << c.what;
        EXPECT_FALSE(fs::exists(ConfigFileSet(out).tb(0))) << c.what;
    }
}

// The value is the whole decoding: rendered onto the read skeleton it gives
// the files decoding writes, and it needs no file at all.
TEST_F(DecoderTest, TheDecodedValueRendersToTheFilesDecodingWrites) {
    for (const char* sample : {"small", "full", "limits"}) {
        TempDir samples;
        const fs::path cnf = copySample(sample, samples.path());
        for (Series series : {Series::FH, Series::I}) {
            const TPanelImage image = encodeAll(cnf, series).image;
            const DecodedFiles rendered = RenderDecoded(DecodeImage(image), ReadSkeleton());
            EXPECT_EQ(decode(image), series);
            EXPECT_EQ(rendered.cnf, readFile(out)) << sample;
            for (int s = 0; s < kSlotCount; ++s) {
                const fs::path tb = ConfigFileSet(out).tb(s);
                ASSERT_EQ(rendered.tb[s].has_value(), fs::exists(tb)) << sample << " tb" << s;
                if (rendered.tb[s]) {
                    EXPECT_EQ(*rendered.tb[s], readFile(tb)) << sample << " tb" << s;
                }
                fs::remove(tb);
            }
        }
    }
}

TEST(PanelImageFile, ShortFilesAreRefusedAndLongOnesCut) {
    TempDir dir;
    fs::path shortFile = dir.path() / "short.bin", longFile = dir.path() / "long.bin";
    writeFile(shortFile, std::string(65535, '\x01'));
    EXPECT_THROW(TPanelImage::fromFile(shortFile), FileError);
    writeFile(longFile, std::string(65536, '\x02') + "tail");
    TPanelImage image = TPanelImage::fromFile(longFile);
    EXPECT_EQ(image.byte(0xFFFF), 0x02);
    EXPECT_THROW(TPanelImage::fromFile(dir.path() / "missing.bin"), FileError);
}

TEST(PanelImageAccess, EveryHelperChecksBounds) {
    TPanelImage image;
    EXPECT_THROW(image.byte(0x10000), ImageRangeError);
    EXPECT_THROW(image.be16(0xFFFF), ImageRangeError);
    EXPECT_THROW(image.setBe16(0xFFFF, 1), ImageRangeError);
    EXPECT_THROW(image.setBytes(0xFFFE, "abc"), ImageRangeError);
    EXPECT_THROW(image.fill(0x8000, 0x8001, 0), ImageRangeError);
    image.setBe16(0xFFFE, 0x1234);
    EXPECT_EQ(image.be16(0xFFFE), 0x1234);
    EXPECT_EQ(image.cString(0xFFFE, 20), "\x12\x34"); // stops at the end, not past it
    EXPECT_EQ(image.cString(0x10000, 20), "");
}

} // namespace
} // namespace kvort::test
