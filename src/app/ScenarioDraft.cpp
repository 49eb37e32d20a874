#include "ScenarioDraft.h"

#include "document/Config.h"
#include "document/Detectors.h"
#include "text/Cp1251.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <algorithm>
#include <array>

namespace kvort {

using namespace text::literals;

namespace {

constexpr std::array<std::string_view, kScenarioModeCount> kModeNames = {
    "ПО СБРОСУ"_cp,      "ОТКАЗ В ЗОНЕ"_cp, "ПОЖАР В ЗОНЕ"_cp, "2ПОЖ. В ЗОНЕ"_cp,
    "ТЕХН. В ЗОНЕ"_cp,   "ТУШЕНИЕ"_cp,      "ПО ЗАПРОСУ"_cp,   "КН.ЗВУК ОТКЛ."_cp,
    "КН.АКТ.ВЫХОДОВ"_cp, "ПОЖ.В ГРУППЕ"_cp, "2ПОЖ.В ЗОНЕ*"_cp, "2ПОЖ.В ЗОНЕ+"_cp,
    "2ПОЖ.В ЗОНЕ#"_cp,
};
constexpr int kGroupMode = 10;
constexpr std::size_t kNoteCapacity = 20;

std::string_view part(std::string_view value, std::size_t first, std::size_t count) {
    return first < value.size() ? value.substr(first, count) : std::string_view();
}

} // namespace

std::string_view ScenarioModeName(int mode) {
    return mode >= 1 && mode <= kScenarioModeCount ? kModeNames[mode - 1] : std::string_view();
}

int ScenarioModeByName(std::string_view name) {
    for (int m = 1; m <= kScenarioModeCount; ++m)
        if (kModeNames[m - 1] == name)
            return m;
    return 0;
}

ScenarioTarget TargetOfMode(int mode) {
    if (mode == kGroupMode)
        return ScenarioTarget::Group;
    if ((mode >= 2 && mode <= 6) || (mode >= 11 && mode <= kScenarioModeCount))
        return ScenarioTarget::Zone;
    return ScenarioTarget::None;
}

std::string ScenarioLabel(int scenario) {
    return text::Format(scenario <= 96 ? "%2.2d" : "%3.3d", {scenario});
}

std::string_view AnyZoneText() {
    return "В ЛЮБОЙ"_cp;
}

ScenarioRow ReadScenarioRow(const IniStore& cnf, int scenario) {
    ScenarioRow row;
    row.label = ScenarioLabel(scenario);
    std::string section = text::Format("%s%3.3d", {"СЦЕНАРИЙ "_cp, scenario});
    if (!cnf.SectionExists(section)) {
        section = text::Format("%s%2.2d", {"СЦЕНАРИЙ "_cp, scenario});
        if (!cnf.SectionExists(section))
            return row;
    }
    row.note = cnf.ReadString(section, "ПРИМЕЧАНИЕ"_cp, "");
    const int mode = cnf.ReadInteger(section, "РЕЖИМ"_cp, -1);
    row.mode = std::string(ScenarioModeName(mode));
    row.zoneValue = cnf.ReadInteger(section, "ЗОНА"_cp, -1);
    switch (TargetOfMode(mode)) {
    case ScenarioTarget::Zone:
        row.zone = row.zoneValue == kAnyZoneEntry ? std::string(AnyZoneText())
                                                  : ZoneName(cnf, row.zoneValue + 1);
        break;
    case ScenarioTarget::Group:
        row.zone = std::to_string(row.zoneValue / 32 + 1);
        break;
    case ScenarioTarget::None:
        break;
    }
    return row;
}

void ScenarioDraft::setMode(int newMode) {
    mode = newMode;
    if (TargetOfMode(mode) == ScenarioTarget::None) {
        target = -1;
        steps.clear();
    } else {
        target = 0;
    }
}

void ScenarioDraft::setDevice(int step, std::string_view device) {
    if (step < 0 || step > static_cast<int>(steps.size()) || step >= kStepCount)
        return;
    steps.resize(step);
    if (!device.empty())
        steps.push_back({std::string(device), "01", std::string("ВКЛ "_cp), 0});
}

void ScenarioDraft::setNote(std::string_view text) {
    // A byte field: the cut is by bytes, every CP1251 character being one.
    note = text::upper(text.substr(0, kNoteCapacity));
}

int ClampStepDelay(int seconds) {
    return std::clamp(seconds, 0, kMaxStepDelay);
}

ScenarioDraft OpenScenario(const IniStore& cnf, const ScenarioRow& row, int scenario) {
    ScenarioDraft d;
    d.scenario = scenario;
    d.setMode(ScenarioModeByName(row.mode));
    switch (d.targetKind()) {
    case ScenarioTarget::Zone:
        d.target = row.zoneValue >= 0 && row.zoneValue <= kAnyZoneEntry ? row.zoneValue : -1;
        break;
    case ScenarioTarget::Group: {
        const int group = row.zoneValue / 32;
        d.target = group >= 0 && group < kScenarioGroupCount ? group : -1;
        break;
    }
    case ScenarioTarget::None:
        break;
    }
    d.note = row.note;
    const std::string section = ScenarioSection(scenario);
    for (int k = 1; k <= kStepCount; ++k) {
        const std::string value = cnf.ReadString(section, StepKey(k), "");
        if (value.empty())
            break;
        const bool narrow = value.size() == 17;
        StepDraft step;
        step.device = ShownOutputDevice(part(value, 0, 5), cnf);
        step.number = std::string(part(value, 6, narrow ? 2 : 3));
        step.state = std::string(part(value, narrow ? 9 : 10, 4));
        step.delay = ClampStepDelay(text::StrToIntDef(part(value, narrow ? 14 : 15, 3), 0));
        d.steps.push_back(std::move(step));
    }
    return d;
}

std::string ScenarioSaveProblem(const ScenarioDraft& d) {
    if (d.target >= 0)
        return {};
    switch (d.targetKind()) {
    case ScenarioTarget::Zone:
        return std::string("НЕ ВЫБРАНА ЗОНА СЦЕНАРИЯ: ВЫБЕРИТЕ ЗОНУ ИЛИ \"В ЛЮБОЙ\". "
                           "СЦЕНАРИЙ НЕ СОХРАНЕН"_cp);
    case ScenarioTarget::Group:
        return std::string("НЕ ВЫБРАНА ГРУППА СЦЕНАРИЯ: ВЫБЕРИТЕ ГРУППУ. СЦЕНАРИЙ НЕ СОХРАНЕН"_cp);
    case ScenarioTarget::None:
        break;
    }
    return {};
}

ScenarioSaved SaveScenario(IniStore& cnf, const ScenarioDraft& d) {
    const std::string section = ScenarioSection(d.scenario);
    IniStore::Batch batch(cnf);
    if (d.mode == 0) {
        cnf.EraseSection(section);
        batch.commit();
        return ScenarioSaved::Erased;
    }
    cnf.WriteInteger(section, "РЕЖИМ"_cp, d.mode);
    switch (d.targetKind()) {
    case ScenarioTarget::Zone:
        cnf.WriteInteger(section, "ЗОНА"_cp, d.target);
        break;
    case ScenarioTarget::Group:
        cnf.WriteInteger(section, "ЗОНА"_cp, d.target * 32);
        break;
    case ScenarioTarget::None:
        cnf.DeleteKey(section, "ЗОНА"_cp);
        break;
    }
    if (d.note.empty())
        cnf.DeleteKey(section, "ПРИМЕЧАНИЕ"_cp);
    else
        cnf.WriteString(section, "ПРИМЕЧАНИЕ"_cp, d.note);
    for (int k = 1; k <= kStepCount; ++k) {
        if (k <= static_cast<int>(d.steps.size())) {
            const StepDraft& s = d.steps[k - 1];
            cnf.WriteString(section, StepKey(k),
                            StoredOutputDevice(s.device) + "/" + s.number + "/" + s.state + "/" +
                                text::Format("%3.3d", {ClampStepDelay(s.delay)}));
        } else {
            cnf.DeleteKey(section, StepKey(k));
        }
    }
    batch.commit();
    return ScenarioSaved::Written;
}

void DeleteScenario(IniStore& cnf, int scenario) {
    cnf.EraseSection(ScenarioSection(scenario));
}

} // namespace kvort
