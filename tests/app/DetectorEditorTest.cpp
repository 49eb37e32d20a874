// The detector dialog's rules over real files: what it offers, how it fills
// itself from a record, and what saving writes.
#include "AppFixture.h"

#include "app/DetectorEditor.h"
#include "document/ConfigFileSet.h"
#include "document/OutputDevices.h"
#include "text/Cp1251.h"
#include "text/Literals.h"

namespace kvort::testing {
namespace {

using namespace kvort::text::literals;

std::string u8(std::string_view s) {
    return text::toUtf8(s);
}

class DetectorDialogRules : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        newConfig();
        for (auto [slot, kind] : {std::pair{1, "ППКП"_cp},
                                  {2, "ПИУ"_cp},
                                  {3, "БРИТ"_cp},
                                  {4, "БДУ(4)"_cp},
                                  {5, "ППКП(4)"_cp}})
            ApplySlotChange(cnf(), slot, kind);
    }
    std::string tbBytes(int slot) { return contents(ConfigFileSet(cnfPath).tb(slot)); }
    DetectorForm form(std::string_view text, std::string_view zone, int choice = 0) {
        DetectorForm f;
        f.text = std::string(text);
        f.zone = std::string(zone);
        f.choice = choice;
        return f;
    }
    void expectLoopQuestions(MsgResult first, MsgResult second = MsgResult::Ok) {
        prompts.expectMessage("ВНИМАНИЕ"_cp,
                              "БЕЗАДРЕСНЫЙ РЕЖИМ РАБОТАЕТ В ПРИБОРАХ\n\r С ВЕРСИЕЙ ПО "
                              "V11h081018 И ВЫШЕ"_cp,
                              MsgIcon::Warning, MsgButtons::OkCancel, first);
        if (first == MsgResult::Ok)
            prompts.expectMessage("ВНИМАНИЕ"_cp,
                                  "ЛИНИЯ БУДЕТ ПЕРЕВЕДЕНА В БЕЗАДРЕСНЫЙ РЕЖИМ\n\rЕСЛИ В ЭТОЙ "
                                  "ЛИНИИ ЕСТЬ ДРУГИЕ ИЗВЕЩАТЕЛИ,\n\rОНИ БУДУТ УДАЛЕНЫ"_cp,
                                  MsgIcon::Warning, MsgButtons::OkCancel, second);
    }
};

TEST(DetectorDialogText, TypedTextIsUpperCaseFilteredAndCut) {
    struct Row {
        const char* typed;
        const char* zone;
        const char* text;
    } rows[] = {
        {"ї", "I", "I"},
        {"№5 зона", "5 ЗОНА", "5 ЗОНА"},
        {"Київ Іі", "КИIВ II", "КИIВ II"},
        {"abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKL", "ABCDEFGHIJKLMNOPQRST"},
        {"№№№№№№№№№№№№№1", "1", "1"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(u8(ZoneNameInput(text::fromUtf8(r.typed))), r.zone) << r.typed;
        EXPECT_EQ(u8(DetectorTextInput(text::fromUtf8(r.typed))), r.text) << r.typed;
    }
}

TEST_F(DetectorDialogRules, OfferDependsOnSlotKindAndAddress) {
    struct Row {
        int slot, address;
        bool loop, copy;
    } rows[] = {
        {0, 1, true, true},    {1, 1, true, true},    {1, 2, false, true}, {5, 1, true, true},
        {2, 1, false, true},   {3, 1, false, true},   {4, 1, false, true}, {1, 58, false, true},
        {1, 59, false, false}, {1, 60, false, false},
    };
    for (const Row& r : rows) {
        const DetectorOffer o = OfferAt(SlotKind(cnf(), r.slot), r.address);
        EXPECT_EQ(o.loopChoice, r.loop) << r.slot << "/" << r.address;
        EXPECT_EQ(o.groupCopy, r.copy) << r.slot << "/" << r.address;
    }
    EXPECT_EQ(OfferAt("ППКП"_cp, 58).copyFrom, 59);
    // ШЛЕЙФ hides the group copy, БКА and ШЛЕЙФ the linked output.
    const DetectorOffer first = OfferAt("ППКП"_cp, 1);
    EXPECT_FALSE(TypeRules(kTypeLoop, first).groupCopy);
    EXPECT_FALSE(TypeRules(kTypeBka, first).linkedOutput);
    EXPECT_TRUE(TypeRules(kTypeNoLatch, first).hideBox);
    EXPECT_FALSE(TypeRules(4, first).hideBox);
    EXPECT_FALSE(TypeRules(0, OfferAt("ППКП"_cp, 59)).groupCopy);
}

TEST_F(DetectorDialogRules, FillingProposesTypesAndReadsTheRecord) {
    tb(2).WriteString("И21-30"_cp, "ТИП"_cp, "ОХРАНА"_cp);
    tb(1).WriteString("И11-02"_cp, "ТИП"_cp, "ШЛЕЙФ"_cp);
    tb(1).WriteString("И11-03"_cp, "ТЕКСТ"_cp, "А"_cp);
    tb(1).WriteString("И11-03"_cp, "СОСТОЯНИЕ"_cp, "вкл"_cp);
    tb(1).WriteString("И11-03"_cp, "ВЫХОД"_cp, "БКА21/07/"_cp);
    tb(1).WriteString("И11-03"_cp, "СКРЫТЬ"_cp, "1"_cp);
    tb(1).WriteString("И11-04"_cp, "ЗОНА"_cp, "ЗОНА 9"_cp);
    tb(1).WriteString("И11-04"_cp, "СОСТОЯНИЕ"_cp, "ВКЛ"_cp);
    tb(1).WriteString("И11-04"_cp, "ВЫХОД"_cp, "ВНЕШН/097/"_cp);
    struct Row {
        int slot, address, choice;
    } rows[] = {{2, 24, kTypeBka}, {2, 25, kTypeTech}, {2, 30, kTypeTech}, {4, 1, 2},
                {3, 1, 0},         {1, 1, 0},          {1, 2, 0}}; // a ШЛЕЙФ where it is not
                                                                   // offered does not stay one
    for (const Row& r : rows)
        EXPECT_EQ(FillDetectorForm(cnf(), tb(r.slot), {r.slot, 1, r.address}, "").choice, r.choice)
            << r.slot << "/" << r.address;

    const DetectorForm a = FillDetectorForm(cnf(), tb(1), {1, 1, 3}, "ЗОНА 2"_cp);
    EXPECT_EQ(u8(a.device), "ПИУ21");
    EXPECT_EQ(a.number, "07");
    EXPECT_TRUE(a.hide);
    EXPECT_FALSE(a.stateOn);         // only exactly "ВКЛ" is on
    EXPECT_EQ(u8(a.zone), "ЗОНА 2"); // no zone: the last one shown
    const DetectorForm b = FillDetectorForm(cnf(), tb(1), {1, 1, 4}, "ЗОНА 2"_cp);
    EXPECT_EQ(u8(b.zone), "ЗОНА 9");
    EXPECT_TRUE(b.stateOn);
    EXPECT_EQ(u8(b.device), "ВНЕШН");
    EXPECT_EQ(b.number, "097");
    EXPECT_FALSE(b.hide);

    ZoneNames zones = ReadZoneNames(cnf());
    EXPECT_TRUE(ZoneListed("", zones));
    EXPECT_TRUE(ZoneListed("ЗОНА 256"_cp, zones));
    EXPECT_FALSE(ZoneListed("зона 1"_cp, zones)); // exact comparison
}

TEST_F(DetectorDialogRules, DeviceAndNumberLists) {
    std::vector<std::string> devices;
    for (const std::string& d : BuildOutputDeviceList(cnf()))
        devices.push_back(u8(d));
    std::vector<std::string> expected{"", "ПУ-П ", "ППКП1", "ППКП5"};
    for (int b = 1; b <= 8; ++b)
        expected.push_back("БРВУ" + std::to_string(b));
    expected.insert(expected.end(), {"ВНЕШН", "СЦЕН."});
    for (int k = 1; k <= 8; ++k)
        expected.push_back("БКА0" + std::to_string(k));
    for (int k = 1; k <= 8; ++k)
        expected.push_back("БКА1" + std::to_string(k));
    expected.push_back("ПИУ21");
    for (int k = 1; k <= 4; ++k)
        expected.push_back("БКА5" + std::to_string(k));
    EXPECT_EQ(devices, expected);

    const auto outer = OutputNumbers(cnf(), "ВНЕШН"_cp);
    ASSERT_EQ(outer.size(), 128u);
    EXPECT_EQ(outer[95], "96");
    EXPECT_EQ(outer[96], "097");
    EXPECT_EQ(outer[127], "128");
    struct Row {
        const char* device;
        std::size_t count;
    } rows[] = {{"ПУ-П ", 8},  {"ППКП1", 8},  {"ППКП5", 4},   {"БРВУ3", 8},
                {"ПИУ21", 24}, {"БКА12", 60}, {"СЦЕН.", 128}, {"", 0}};
    for (const Row& r : rows)
        EXPECT_EQ(OutputNumbers(cnf(), text::fromUtf8(r.device)).size(), r.count) << r.device;
    cnf().WriteString("СОСТАВ"_cp, "0", "ПУ-П(4)"_cp);
    EXPECT_EQ(OutputNumbers(cnf(), "ПУ-П "_cp).size(), 4u);
}

TEST_F(DetectorDialogRules, RefusedSavesWriteNothing) {
    tb(1).WriteString("И11-05"_cp, "ТЕКСТ"_cp, "СТАРЫЙ"_cp);
    const std::string before = tbBytes(1);
    prompts.expectMessage("ОШИБКА"_cp, "НЕТ ТЕКСТОВОГО СООБЩЕНИЯ"_cp, MsgIcon::Error,
                          MsgButtons::Ok, MsgResult::Ok);
    EXPECT_EQ(SaveDetector(prompts, tb(1), "ППКП"_cp, {1, 1, 5}, form("  ", "ЗОНА 1"_cp)).outcome,
              SaveOutcome::Refused);
    prompts.expectMessage("ОШИБКА"_cp, "НЕ ВЫБРАНА ЗОНА"_cp, MsgIcon::Error, MsgButtons::Ok,
                          MsgResult::Ok);
    EXPECT_EQ(SaveDetector(prompts, tb(1), "ППКП"_cp, {1, 1, 5}, form("Т"_cp, "")).outcome,
              SaveOutcome::Refused);
    EXPECT_EQ(tbBytes(1), before);
    EXPECT_EQ(prompts.pending(), 0u);
}

TEST_F(DetectorDialogRules, GroupCopyWritesStateOffAndLeavesOutputs) {
    tb(1).WriteString("И11-11"_cp, "ВЫХОД"_cp, "БРВУ1/08/"_cp);
    tb(1).WriteString("И11-11"_cp, "СКРЫТЬ"_cp, "ДА"_cp);
    DetectorForm f = form("ДЫМ"_cp, "ЗОНА 3"_cp, 1);
    f.stateOn = true;
    f.device = "ППКП1"_cp;
    f.number = "02";
    f.copy = true;
    f.copyTo = 12;
    const SaveResult r = SaveDetector(prompts, tb(1), "ППКП"_cp, {1, 1, 10}, f);
    EXPECT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_EQ(r.changed, (std::vector<int>{10, 11, 12}));
    const DetectorRecord src = ReadDetector(tb(1), 1, 1, 10);
    EXPECT_EQ(u8(src.state), "ВКЛ");
    EXPECT_EQ(u8(src.output), "ППКП1/02/");
    for (int a : {11, 12}) {
        const DetectorRecord c = ReadDetector(tb(1), 1, 1, a);
        EXPECT_EQ(u8(c.text), "ДЫМ");
        EXPECT_EQ(u8(c.type), "ТЕПЛОВОЙ");
        EXPECT_EQ(u8(c.zone), "ЗОНА 3");
        EXPECT_EQ(u8(c.state), "ВЫКЛ");
    }
    EXPECT_EQ(u8(ReadDetector(tb(1), 1, 1, 11).output), "БРВУ1/08/");
    EXPECT_EQ(u8(ReadDetector(tb(1), 1, 1, 11).hide), "ДА");
    EXPECT_TRUE(ReadDetector(tb(1), 1, 1, 12).output.empty());
    EXPECT_FALSE(ReadDetector(tb(1), 1, 1, 13).present());

    // On a ПИУ the copy stops at the last address of the line, and a number
    // not above the address copies nothing.
    f.device.clear();
    f.copyTo = 60;
    EXPECT_EQ(SaveDetector(prompts, tb(2), "ПИУ"_cp, {2, 1, 46}, f).changed,
              (std::vector<int>{46, 47, 48}));
    f.copyTo = 5;
    EXPECT_EQ(SaveDetector(prompts, tb(1), "ППКП"_cp, {1, 2, 5}, f).changed, (std::vector<int>{5}));
}

TEST_F(DetectorDialogRules, LoopErasesItsLineOnlyAndBarsItsOtherAddresses) {
    {
        IniStore::Batch batch(tb(1));
        for (int line : {1, 2})
            for (int a = 1; a <= 60; ++a)
                detector(1, line, a, "Д"_cp, "ЗОНА 1"_cp);
    }
    tb(1).WriteString("И11-01"_cp, "ВЫХОД"_cp, "БРВУ1/08/"_cp);
    tb(1).WriteString("И11-01"_cp, "СКРЫТЬ"_cp, "ДА"_cp);
    const std::string before = tbBytes(1);

    for (MsgResult first : {MsgResult::Cancel, MsgResult::Ok}) {
        expectLoopQuestions(first, MsgResult::Cancel);
        EXPECT_EQ(SaveDetector(prompts, tb(1), "ППКП"_cp, {1, 1, 1},
                               form("ШЛ"_cp, "ЗОНА 1"_cp, kTypeLoop))
                      .outcome,
                  SaveOutcome::LoopDeclined);
        EXPECT_EQ(tbBytes(1), before);
    }

    expectLoopQuestions(MsgResult::Ok, MsgResult::Ok);
    const SaveResult r =
        SaveDetector(prompts, tb(1), "ППКП"_cp, {1, 1, 1}, form("ШЛ"_cp, "ЗОНА 1"_cp, kTypeLoop));
    EXPECT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_EQ(r.changed.size(), 60u);
    EXPECT_EQ(u8(tb(1).ReadString("И11-01"_cp, "ТИП"_cp, "")), "ШЛЕЙФ");
    EXPECT_FALSE(tb(1).KeyExists("И11-01"_cp, "ВЫХОД"_cp));
    EXPECT_FALSE(tb(1).KeyExists("И11-01"_cp, "СКРЫТЬ"_cp));
    for (int a = 2; a <= 60; ++a)
        EXPECT_FALSE(tb(1).SectionExists(SensorAddress(1, 1, a))) << a;
    for (int a = 1; a <= 60; ++a)
        EXPECT_TRUE(ReadDetector(tb(1), 1, 2, a).present()) << a;

    prompts.expectMessage("ВНИМАНИЕ"_cp,
                          "В БЕЗАДРЕСНЫЙ ШЛЕЙФ НЕЛЬЗЯ ПОДКЛЮЧАТЬ АДРЕСНЫЕ ИЗВЕЩАТЕЛИ"_cp,
                          MsgIcon::Warning, MsgButtons::Ok, MsgResult::Ok);
    EXPECT_TRUE(RefuseOpening(prompts, tb(1), {1, 1, 5}));
    EXPECT_FALSE(RefuseOpening(prompts, tb(1), {1, 1, 1}));
    EXPECT_FALSE(RefuseOpening(prompts, tb(1), {1, 2, 5}));
    EXPECT_EQ(prompts.pending(), 0u);
}

TEST_F(DetectorDialogRules, OutputsByTypeAndThePiuDevice) {
    tb(1).WriteString("И11-07"_cp, "ВЫХОД"_cp, "БРВУ1/08/"_cp);
    tb(1).WriteString("И11-07"_cp, "СКРЫТЬ"_cp, "ДА"_cp);
    DetectorForm f = form("М"_cp, "ЗОНА 1"_cp, kTypeBka);
    f.device = "БРВУ2"_cp; // hidden with the group, not saved
    f.number = "01";
    SaveDetector(prompts, tb(1), "ППКП"_cp, {1, 1, 7}, f);
    EXPECT_FALSE(tb(1).KeyExists("И11-07"_cp, "ВЫХОД"_cp));
    EXPECT_EQ(u8(tb(1).ReadString("И11-07"_cp, "СКРЫТЬ"_cp, "")), "ДА");

    f.choice = kTypeTech;
    f.device = "ПИУ21"_cp;
    f.number = "07";
    f.hide = false;
    SaveDetector(prompts, tb(1), "ППКП"_cp, {1, 1, 7}, f);
    EXPECT_EQ(u8(tb(1).ReadString("И11-07"_cp, "ВЫХОД"_cp, "")), "БКА21/07/");
    EXPECT_FALSE(tb(1).KeyExists("И11-07"_cp, "СКРЫТЬ"_cp));
    f.device.clear();
    f.hide = true;
    SaveDetector(prompts, tb(1), "ППКП"_cp, {1, 1, 7}, f);
    EXPECT_FALSE(tb(1).KeyExists("И11-07"_cp, "ВЫХОД"_cp));
    EXPECT_EQ(u8(tb(1).ReadString("И11-07"_cp, "СКРЫТЬ"_cp, "")), "ДА");
}

} // namespace
} // namespace kvort::testing
