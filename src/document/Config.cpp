#include "Config.h"

#include "text/Cp1251.h"
#include "text/Error.h"
#include "text/Format.h"
#include "text/Literals.h"

namespace kvort {

using namespace text::literals;

std::string SlotKind(const IniStore& cnf, int slot) {
    return SlotKind(cnf, slot, word::kNone);
}

std::string SlotKind(const IniStore& cnf, int slot, std::string_view defaultKind) {
    return cnf.ReadString(SectionComposition(), SlotKey(slot), defaultKind);
}

void WriteSlotKind(IniStore& cnf, int slot, std::string_view kind) {
    cnf.WriteString(SectionComposition(), SlotKey(slot), kind);
}

bool SlotEmpty(const IniStore& cnf, int slot) {
    return SlotKind(cnf, slot) == word::kNone;
}

std::string SlotLinesValue(const IniStore& cnf, int slot, std::string_view defaultValue) {
    return cnf.ReadString(SectionDevices(), SlotDeviceKey(slot), defaultValue);
}

void WriteSlotLines(IniStore& cnf, int slot, std::string_view value) {
    cnf.WriteString(SectionDevices(), SlotDeviceKey(slot), value);
}

int DeviceChainLength(const IniStore& cnf) {
    if (SlotLinesValue(cnf, 0) == word::kNone)
        return 0;
    int n = 1;
    while (n < kSlotCount && SlotLinesValue(cnf, n) != word::kNone)
        ++n;
    return n;
}

int SlotLineCount(const IniStore& cnf, int slot) {
    return SlotLinesValue(cnf, slot) == word::kLines4 ? 4 : 8;
}

int KindLineCount(std::string_view kind) {
    return kind.size() >= 6 && kind[5] == '4' ? 4 : 8;
}

std::string DisplayKind(std::string_view kind) {
    if (kind == word::kKindPu4 || kind == word::kKindPu8)
        return std::string(word::kKindPu);
    if (kind == word::kKindPpkp4 || kind == word::kKindPpkp8)
        return std::string(word::kKindPpkp);
    return std::string(text::trim(kind));
}

void CompleteOnOpening(IniStore& cnf) {
    if (cnf.ReadSection(SectionComposition()).empty()) {
        WriteSlotKind(cnf, 0, word::kKindPu8);
        for (int n = 1; n <= 8; ++n)
            if (SlotLinesValue(cnf, n) != word::kNone)
                WriteSlotKind(cnf, n, word::kKindPpkp8);
    } else if (cnf.ReadSection(SectionDevices()).empty()) {
        for (int n = 1; n <= 8; ++n)
            if (!SlotEmpty(cnf, n))
                WriteSlotLines(cnf, n, word::kLines8);
    }
}

int ApplySlotChange(IniStore& cnf, int slot, std::string_view chosen) {
    if (slot == 0) {
        WriteSlotKind(cnf, 0, chosen);
        WriteSlotLines(cnf, 0, word::kLines8);
        return 0;
    }
    if (chosen != word::kNone) {
        WriteSlotKind(cnf, slot, chosen);
        WriteSlotLines(cnf, slot, word::kLines8);
        return slot;
    }
    for (int n = slot; n <= 8; ++n) {
        cnf.DeleteKey(SectionComposition(), SlotKey(n));
        cnf.DeleteKey(SectionDevices(), SlotDeviceKey(n));
    }
    return slot - 1;
}

std::string ZoneName(const IniStore& cnf, int zone) {
    return cnf.ReadString(SectionZones(), ZoneKey(zone), "");
}

void WriteZoneName(IniStore& cnf, int zone, std::string_view name) {
    cnf.WriteString(SectionZones(), ZoneKey(zone), name);
}

ZoneNames ReadZoneNames(const IniStore& cnf) {
    ZoneNames z;
    for (int i = 0; i < kZoneCount; ++i)
        z[i] = ZoneName(cnf, i + 1);
    return z;
}

std::string DefaultZoneName(int zone) {
    return std::string("ЗОНА "_cp) + std::to_string(zone);
}

std::optional<ScenarioStep> ScenarioStep::parse(std::string_view v) {
    if (v.size() != 17 && v.size() != 18)
        return std::nullopt;
    return split(v);
}

ScenarioStep ScenarioStep::split(std::string_view v) {
    // 1-based: 17 chars: output 7-8, state 10-13, delay 15-17;
    //          18 chars: output 7-9, state 11-14, delay 16-18.
    const size_t w = v.size() == 17 ? 2 : 3;
    auto part = [v](size_t first, size_t count) {
        return first < v.size() ? std::string(v.substr(first, count)) : std::string();
    };
    ScenarioStep s;
    s.device = part(0, 5);
    s.output = part(6, w);
    s.state = part(7 + w, 4);
    s.delay = part(12 + w, 3);
    return s;
}

std::string ScenarioStep::join() const {
    return device + "/" + output + "/" + state + "/" + delay;
}

ScenarioStep ScenarioStep::make(std::string_view device, int output, bool on, int delaySeconds) {
    ScenarioStep s;
    s.device = std::string(device);
    s.output = text::Format("%2.2d", {output});
    s.state = std::string(on ? word::kStepOn : word::kOff);
    s.delay = text::Format("%3.3d", {delaySeconds});
    return s;
}

std::optional<StepRef> ReadStepRef(std::string_view v, const ValuePlace& where) {
    const bool wide = HasWideNumberDevice(v) && v.size() != 17;
    std::optional<OutputRef> target = ReadOutputRef(v, wide, false, where);
    if (!target)
        return std::nullopt;
    const std::size_t stateAt = wide ? 11 : 10;
    StepRef s;
    s.target = *target;
    s.delaySeconds = NumberAt(v, stateAt + 5, stateAt + 7, where);
    s.off = v.substr(stateAt - 1, 4) == word::kOff;
    return s;
}

std::string StepText(const StepRef& s) {
    std::string text = OutputRefText(s.target, s.target.device.kind == DeviceKind::External);
    text += s.off ? word::kOff : word::kStepOn;
    text += '/';
    text::AppendDecimal(text, s.delaySeconds, 3);
    return text;
}

Scenario ReadScenario(const IniStore& cnf, int scenario, int zoneDefault) {
    return ReadScenarioSection(cnf, ScenarioSection(scenario), zoneDefault);
}

Scenario ReadScenarioSection(const IniStore& cnf, std::string_view sec, int zoneDefault) {
    Scenario s;
    s.exists = cnf.SectionExists(sec);
    s.mode = cnf.ReadInteger(sec, key::kMode, -1);
    s.zone = cnf.ReadInteger(sec, key::kZone, zoneDefault);
    s.modeText = cnf.ReadString(sec, key::kMode, "");
    s.zoneText = cnf.ReadString(sec, key::kZone, "");
    s.note = cnf.ReadString(sec, key::kNote, "");
    for (int k = 1; k <= kStepCount; ++k)
        s.steps[k - 1] = cnf.ReadString(sec, StepKey(k), "");
    return s;
}

void WriteScenario(IniStore& cnf, int scenario, const Scenario& s, ScenarioKeys keys) {
    const std::string sec = ScenarioSection(scenario);
    const bool replace = keys == ScenarioKeys::Replace;
    if (replace && s.mode < 1) {
        cnf.EraseSection(sec);
        return;
    }
    if (s.mode >= 1)
        cnf.WriteInteger(sec, key::kMode, s.mode);
    if (s.zone >= 0)
        cnf.WriteInteger(sec, key::kZone, s.zone);
    else if (replace)
        cnf.DeleteKey(sec, key::kZone);
    for (int k = 1; k <= kStepCount; ++k)
        if (!s.steps[k - 1].empty())
            cnf.WriteString(sec, StepKey(k), s.steps[k - 1]);
        else if (replace)
            cnf.DeleteKey(sec, StepKey(k));
    if (!s.note.empty())
        cnf.WriteString(sec, key::kNote, s.note);
    else if (replace)
        cnf.DeleteKey(sec, key::kNote);
}

bool ModeWithoutZone(int mode) {
    return mode == 1 || (mode >= 7 && mode <= 9);
}

std::string_view ScenarioModeName(int mode) {
    static constexpr std::string_view kNames[kModeCount] = {
        "ПО СБРОСУ"_cp,      "ОТКАЗ В ЗОНЕ"_cp, "ПОЖАР В ЗОНЕ"_cp, "2ПОЖ. В ЗОНЕ"_cp,
        "ТЕХН. В ЗОНЕ"_cp,   "ТУШЕНИЕ"_cp,      "ПО ЗАПРОСУ"_cp,   "КН.ЗВУК ОТКЛ."_cp,
        "КН.АКТ.ВЫХОДОВ"_cp, "ПОЖ.В ГРУППЕ"_cp, "2ПОЖ.В ЗОНЕ*"_cp, "2ПОЖ.В ЗОНЕ+"_cp,
        "2ПОЖ.В ЗОНЕ#"_cp,
    };
    return mode >= 1 && mode <= kModeCount ? kNames[mode - 1] : std::string_view();
}

ScenarioTarget TargetOfMode(int mode) {
    if (mode == 10)
        return ScenarioTarget::Group;
    if (mode >= 2 && mode <= kModeCount && !ModeWithoutZone(mode))
        return ScenarioTarget::Zone;
    return ScenarioTarget::None;
}

std::string_view AnyZoneText() {
    return "В ЛЮБОЙ"_cp;
}

RelayBlocks RelayBlocksInSteps(const IniStore& cnf) {
    const std::string_view relayBlock = "БРВУ"_cp;
    RelayBlocks blocks;
    for (int s = 1; s <= kScenarioCount; ++s) {
        const std::string section = ScenarioSection(s);
        for (int k = 1; k <= kStepCount; ++k) {
            const std::string stepKey = StepKey(k);
            const std::string step = cnf.ReadString(section, stepKey, "");
            if (step.compare(0, relayBlock.size(), relayBlock) != 0)
                continue;
            int block = 0;
            try {
                block = NumberAt(step, 5, 5, {cnf.path(), section, stepKey});
            } catch (const ConvertError& e) {
                blocks.damaged = e.what();
                return blocks;
            }
            if (block >= 1 && block <= 8)
                blocks.bits |= 1u << (block - 1);
        }
    }
    return blocks;
}

Direction ReadDirection(const IniStore& cnf, int direction, BritKeyOrder order) {
    Direction d;
    std::string sec = DirectionSection(direction);
    d.exists = cnf.SectionExists(sec);
    d.zone = cnf.ReadString(sec, key::kZone, "");
    for (int r = 1; r <= kRelayCount; ++r)
        d.relays[r - 1] = cnf.ReadString(sec, RelayKey(r), "");
    d.scenarioText = cnf.ReadString(sec, key::kScenario, "");
    d.scenario = cnf.ReadInteger(sec, key::kScenario, 0);
    std::string_view first = order == BritKeyOrder::BritFirst ? key::kBrit : key::kBdu4;
    std::string_view second = order == BritKeyOrder::BritFirst ? key::kBdu4 : key::kBrit;
    d.brit = cnf.ReadString(sec, first, "");
    if (d.brit.empty())
        d.brit = cnf.ReadString(sec, second, "");
    return d;
}

std::string DirectionZone(const IniStore& cnf, int direction, std::string_view defaultZone) {
    return cnf.ReadString(DirectionSection(direction), key::kZone, defaultZone);
}

std::string DirectionRelay(const IniStore& cnf, int direction, int relay) {
    return cnf.ReadString(DirectionSection(direction), RelayKey(relay), "");
}

void WriteDirection(IniStore& cnf, int direction, const Direction& d) {
    const std::string sec = DirectionSection(direction);
    cnf.WriteString(sec, key::kZone, d.zone);
    for (int r = 1; r <= kRelayCount; ++r)
        cnf.WriteString(sec, RelayKey(r), d.relays[r - 1]);
    if (!d.scenarioText.empty())
        cnf.WriteString(sec, key::kScenario, d.scenarioText);
    else
        cnf.DeleteKey(sec, key::kScenario);
    if (!d.brit.empty())
        cnf.WriteString(sec, key::kBrit, d.brit);
    else
        cnf.DeleteKey(sec, key::kBrit);
}

void EraseDirection(IniStore& cnf, int direction) {
    cnf.EraseSection(DirectionSection(direction));
}

std::string BritRef::text() const {
    return text::Format("%1.1d%1.1d/%2.2d", {slot, line, address});
}

BritRef BritRef::read(std::string_view v, const ValuePlace& where) {
    BritRef r;
    r.slot = NumberAt(v, 1, 1, where);
    r.line = NumberAt(v, 2, 2, where);
    r.address = NumberAt(v, 4, 5, where);
    return r;
}

std::optional<BritRef> ParseBritRef(std::string_view v) {
    try {
        return BritRef::read(v, {});
    } catch (const ConvertError&) {
        return std::nullopt;
    }
}

std::string OutputDescription(const IniStore& cnf, std::string_view key) {
    return cnf.ReadString(SectionDescriptions(), key, "");
}

void SetOutputDescription(IniStore& cnf, std::string_view key, std::string_view text) {
    if (text.empty())
        cnf.DeleteKey(SectionDescriptions(), key);
    else
        cnf.WriteString(SectionDescriptions(), key, text::upper(text));
}

void WriteOutputDescription(IniStore& cnf, std::string_view key, std::string_view text) {
    cnf.WriteString(SectionDescriptions(), key, text);
}

std::vector<std::pair<std::string, std::string>> OutputDescriptionLines(const IniStore& cnf) {
    return cnf.ReadSectionValues(SectionDescriptions());
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

void StoreDeviceComment(IniStore& cnf, std::string_view key, std::string_view comment) {
    cnf.WriteString(SectionComments(), key, comment);
}

void WriteSystemKeys(IniStore& cnf) {
    cnf.WriteString(SectionSystem(), key::kSystemName, word::kSystem);
    cnf.WriteString(SectionSystem(), key::kVersion, ToolVersion());
    cnf.WriteString(SectionAddress(), key::kPanelAddress, word::kPanelAddress);
}

void WritePlanPlaceholders(IniStore& cnf) {
    cnf.WriteString(SectionPlan(), key::kPlan, "");
    for (int z = 1; z <= kZoneCount; ++z)
        cnf.WriteString(SectionZonePlan(), ZoneKey(z), "");
}

} // namespace kvort
