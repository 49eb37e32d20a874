// The rules of the vocabulary that no file test reaches whole: every
// address, device and output number written and read back.
#include "document/Config.h"
#include "document/Detectors.h"
#include "text/Cp1251.h"
#include "text/Error.h"
#include "text/Literals.h"

#include <gtest/gtest.h>

using namespace kvort;
using namespace kvort::text::literals;

namespace {

TEST(Vocabulary, SensorAddressReadsBackOverItsRanges) {
    for (int s = 0; s < kSlotCount; ++s)
        for (int l = 1; l <= kLinesPerDevice; ++l)
            for (int a = 1; a <= kAddressesPerLine; ++a) {
                const std::optional<DetectorPlace> p = ParseSensorAddress(SensorAddress(s, l, a));
                ASSERT_TRUE(p) << s << l << a;
                EXPECT_EQ(*p, (DetectorPlace{s, l, a}));
            }
    // The form of the section name, also past the places that exist.
    EXPECT_EQ(SensorAddress(0, 1, 5), "И01-05"_cp);
    EXPECT_EQ(SensorAddress(8, 8, 60), "И88-60"_cp);
    EXPECT_EQ(SensorAddress(12, 1, 105), "И121-105"_cp);
    for (std::string_view bad : {"И09-05"_cp, "И90-05"_cp, "И01-00"_cp, "И01-61"_cp, "И01-5"_cp,
                                 "И01_05"_cp, "Х01-05"_cp, "И0A-05"_cp, "И01-055"_cp})
        EXPECT_FALSE(ParseSensorAddress(bad)) << bad.size();
}

TEST(Vocabulary, EveryDeviceAndNumberReadsBackAsWritten) {
    std::vector<DeviceRef> devices = {
        {DeviceKind::Pu, 0, 0}, {DeviceKind::External, 0, 0}, {DeviceKind::Scenario, 0, 0}};
    for (int u = 1; u <= 8; ++u) {
        devices.push_back({DeviceKind::Ppkp, u, 0});
        devices.push_back({DeviceKind::Brvu, u, 0});
    }
    for (int s = 0; s < kSlotCount; ++s)
        for (int l = 1; l <= kLinesPerDevice; ++l)
            devices.push_back({DeviceKind::Bka, s, l});
    for (const DeviceRef& d : devices) {
        const std::string name = d.name();
        ASSERT_EQ(name.size(), 5u);
        EXPECT_EQ(DeviceRef::parse(name), d) << text::toUtf8(name);
        for (int n = 1; n <= d.maxNumber(); ++n) {
            // A linked output as the decoder writes it, read the encoder's way.
            const std::string linked = OutputRefText({d, n}, true);
            const auto out = ReadOutputRef(linked, LinkedOutputHasWideNumber(linked), true, {});
            ASSERT_TRUE(out) << text::toUtf8(linked);
            EXPECT_EQ(out->device, d) << text::toUtf8(linked);
            EXPECT_EQ(out->number, n) << text::toUtf8(linked);
            // A step, both states, with the delays the panel can hold.
            for (bool off : {false, true}) {
                const std::string step = StepText({{d, n}, off, 510});
                const auto back = ReadStepRef(step, {});
                ASSERT_TRUE(back) << text::toUtf8(step);
                EXPECT_EQ(back->target.device, d) << text::toUtf8(step);
                EXPECT_EQ(back->target.number, n) << text::toUtf8(step);
                EXPECT_EQ(back->off, off);
                EXPECT_EQ(back->delaySeconds, 510);
                ASSERT_TRUE(ScenarioStep::parse(step)) << text::toUtf8(step);
                EXPECT_EQ(ScenarioStep::parse(step)->device, name);
            }
        }
    }
    EXPECT_FALSE(DeviceRef::parse("ППКП9"_cp));
    EXPECT_FALSE(DeviceRef::parse("БКА19"_cp));
    EXPECT_FALSE(DeviceRef::parse("ПУ-П"_cp));
}

TEST(Vocabulary, DigitPositionsThatHoldNoDigitNameTheirPlace) {
    try {
        ReadOutputRef("ППКПX/05/"_cp, false, true, {"A.tb1", "И11-01"_cp, key::kOutput});
        FAIL() << "no ConvertError";
    } catch (const ConvertError& e) {
        EXPECT_NE(std::string(e.what()).find("A.tb1 [И11-01] ВЫХОД=ППКПX/05/"), std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(ReadOutputRef("НЕТ"_cp, false, true, {}));
    EXPECT_FALSE(ReadOutputRef("ПИУ31/07/"_cp, false, false, {})); // steps never name a ПИУ
    EXPECT_EQ(RelayFunctionCode(RelayFunctionWord(9)), 9);
    EXPECT_EQ(RelayFunctionCode("ТАБЛО\"ГАЗ..\""_cp), 4);
    EXPECT_EQ(RelayFunctionWord(0x0A), word::kNone);
}

} // namespace
