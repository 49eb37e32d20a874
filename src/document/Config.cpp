#include "Config.h"

#include "text/Cp1251.h"
#include "text/Format.h"
#include "text/Literals.h"

namespace kvort {

using namespace text::literals;

std::string_view SectionSystem() { return "СИСТЕМА"_cp; }
std::string_view SectionAddress() { return "АДРЕС ПУ-П"_cp; }
std::string_view SectionComposition() { return "СОСТАВ"_cp; }
std::string_view SectionDevices() { return "ПРИБОРЫ"_cp; }
std::string_view SectionPlan() { return "ОБЩИЙ ПЛАН"_cp; }
std::string_view SectionZones() { return "ЗОНА"_cp; }
std::string_view SectionZonePlan() { return "ПЛАН ЗОНЫ"_cp; }
std::string_view SectionDescriptions() { return "ОПИСАНИЕ ВЫХОДОВ"_cp; }
std::string_view SectionComments() { return "КОММЕНТАРИИ К ПРИБОРАМ"_cp; }

std::string ScenarioSection(int scenario) {
    return text::Format(scenario <= 96 ? "%s%2.2d" : "%s%3.3d", {"СЦЕНАРИЙ "_cp, scenario});
}

std::string ScenarioSectionOtherWidth(int scenario) {
    return text::Format(scenario <= 96 ? "%s%3.3d" : "%s%2.2d", {"СЦЕНАРИЙ "_cp, scenario});
}

std::string StepKey(int step) { return text::Format("%s%2.2d", {"ШАГ "_cp, step}); }

std::string DirectionSection(int direction) {
    return std::string("НАПРАВЛЕНИЕ "_cp) + std::to_string(direction);
}

std::string RelayKey(int relay) { return std::string("РЕЛЕ "_cp) + std::to_string(relay); }

std::string SlotDeviceKey(int slot) {
    return slot == 0 ? std::string("ПУ-П"_cp) : std::string("ППКП"_cp) + std::to_string(slot);
}

std::string_view MainCaption() { return "КвортКонфигуратор(V6.10) для приборов серии F,H,I"_cp; }

std::string ToolVersion() { return std::string(MainCaption().substr(18, 5)); }

std::string SlotKind(const IniStore& cnf, int slot) {
    return cnf.ReadString(SectionComposition(), std::to_string(slot), "НЕТ"_cp);
}

bool SlotEmpty(const IniStore& cnf, int slot) { return SlotKind(cnf, slot) == "НЕТ"_cp; }

std::string SlotLinesValue(const IniStore& cnf, int slot) {
    return cnf.ReadString(SectionDevices(), SlotDeviceKey(slot), "НЕТ"_cp);
}

int SlotLineCount(const IniStore& cnf, int slot) { return SlotLinesValue(cnf, slot) == "-4" ? 4 : 8; }

int KindLineCount(std::string_view kind) { return kind.size() >= 6 && kind[5] == '4' ? 4 : 8; }

std::string DisplayKind(std::string_view kind) {
    if (kind == "ПУ-П(4)"_cp || kind == "ПУ-П(8)"_cp)
        return std::string("ПУ-П"_cp);
    if (kind == "ППКП(4)"_cp || kind == "ППКП(8)"_cp)
        return std::string("ППКП"_cp);
    return std::string(text::trim(kind));
}

void CompleteOnOpening(IniStore& cnf) {
    if (cnf.ReadSection(SectionComposition()).empty()) {
        cnf.WriteString(SectionComposition(), "0", "ПУ-П(8)"_cp);
        for (int n = 1; n <= 8; ++n)
            if (SlotLinesValue(cnf, n) != "НЕТ"_cp)
                cnf.WriteString(SectionComposition(), std::to_string(n), "ППКП(8)"_cp);
    } else if (cnf.ReadSection(SectionDevices()).empty()) {
        for (int n = 1; n <= 8; ++n)
            if (!SlotEmpty(cnf, n))
                cnf.WriteString(SectionDevices(), SlotDeviceKey(n), "-8");
    }
}

int ApplySlotChange(IniStore& cnf, int slot, std::string_view chosen) {
    if (slot == 0) {
        cnf.WriteString(SectionComposition(), "0", chosen);
        cnf.WriteString(SectionDevices(), SlotDeviceKey(0), "-8");
        return 0;
    }
    if (chosen != "НЕТ"_cp) {
        cnf.WriteString(SectionComposition(), std::to_string(slot), chosen);
        cnf.WriteString(SectionDevices(), SlotDeviceKey(slot), "-8");
        return slot;
    }
    for (int n = slot; n <= 8; ++n) {
        cnf.DeleteKey(SectionComposition(), std::to_string(n));
        cnf.DeleteKey(SectionDevices(), SlotDeviceKey(n));
    }
    return slot - 1;
}

std::string ZoneName(const IniStore& cnf, int zone) {
    return cnf.ReadString(SectionZones(), std::to_string(zone), "");
}

ZoneNames ReadZoneNames(const IniStore& cnf) {
    ZoneNames z;
    for (int i = 0; i < kZoneCount; ++i)
        z[i] = ZoneName(cnf, i + 1);
    return z;
}

std::string DefaultZoneName(int zone) { return std::string("ЗОНА "_cp) + std::to_string(zone); }

std::optional<ScenarioStep> ScenarioStep::parse(std::string_view v) {
    // 1-based: 17 chars: output 7-8, state 10-13, delay 15-17;
    //          18 chars: output 7-9, state 11-14, delay 16-18.
    if (v.size() != 17 && v.size() != 18)
        return std::nullopt;
    size_t w = v.size() == 17 ? 2 : 3;
    ScenarioStep s;
    s.device = std::string(v.substr(0, 5));
    s.output = std::string(v.substr(6, w));
    s.state = std::string(v.substr(7 + w, 4));
    s.delay = std::string(v.substr(12 + w, 3));
    return s;
}

std::string ScenarioStep::join() const { return device + "/" + output + "/" + state + "/" + delay; }

ScenarioStep ScenarioStep::make(std::string_view device, int output, bool on, int delaySeconds) {
    ScenarioStep s;
    s.device = std::string(device);
    s.output = text::Format("%2.2d", {output});
    s.state = std::string(on ? "ВКЛ "_cp : "ВЫКЛ"_cp);
    s.delay = text::Format("%3.3d", {delaySeconds});
    return s;
}

Scenario ReadScenario(const IniStore& cnf, int scenario, int zoneDefault) {
    Scenario s;
    std::string sec = ScenarioSection(scenario);
    s.exists = cnf.SectionExists(sec);
    s.mode = cnf.ReadInteger(sec, "РЕЖИМ"_cp, -1);
    s.zone = cnf.ReadInteger(sec, "ЗОНА"_cp, zoneDefault);
    s.note = cnf.ReadString(sec, "ПРИМЕЧАНИЕ"_cp, "");
    for (int k = 1; k <= kStepCount; ++k)
        s.steps[k - 1] = cnf.ReadString(sec, StepKey(k), "");
    return s;
}

Direction ReadDirection(const IniStore& cnf, int direction, BritKeyOrder order) {
    Direction d;
    std::string sec = DirectionSection(direction);
    d.exists = cnf.SectionExists(sec);
    d.zone = cnf.ReadString(sec, "ЗОНА"_cp, "");
    for (int r = 1; r <= kRelayCount; ++r)
        d.relays[r - 1] = cnf.ReadString(sec, RelayKey(r), "");
    d.scenarioText = cnf.ReadString(sec, "СЦЕН."_cp, "");
    d.scenario = cnf.ReadInteger(sec, "СЦЕН."_cp, 0);
    std::string_view first = order == BritKeyOrder::BritFirst ? "БРИТ"_cp : "БДУ4"_cp;
    std::string_view second = order == BritKeyOrder::BritFirst ? "БДУ4"_cp : "БРИТ"_cp;
    d.brit = cnf.ReadString(sec, first, "");
    if (d.brit.empty())
        d.brit = cnf.ReadString(sec, second, "");
    return d;
}

std::optional<BritRef> ParseBritRef(std::string_view v) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (v.size() < 5 || !digit(v[0]) || !digit(v[1]) || !digit(v[3]) || !digit(v[4]))
        return std::nullopt;
    return BritRef{v[0] - '0', v[1] - '0', (v[3] - '0') * 10 + (v[4] - '0')};
}

std::string DeviceComment(const IniStore& cnf, std::string_view key) {
    return cnf.ReadString(SectionComments(), key, "");
}

void WriteDeviceComment(IniStore& cnf, std::string_view key, std::string_view comment) {
    if (comment.empty())
        cnf.DeleteKey(SectionComments(), key);
    else
        cnf.WriteString(SectionComments(), key, text::upper(comment));
}

} // namespace kvort
