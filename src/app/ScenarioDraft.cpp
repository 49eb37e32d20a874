#include "ScenarioDraft.h"

#include "document/Detectors.h"
#include "text/Cp1251.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <algorithm>

namespace kvort {

using namespace text::literals;

namespace {

constexpr std::size_t kNoteCapacity = 20;
constexpr int kGroupStride = 32; // a group is stored as the index of its first zone

} // namespace

int ScenarioModeByName(std::string_view name) {
    for (int m = 1; m <= kModeCount; ++m)
        if (ScenarioModeName(m) == name)
            return m;
    return 0;
}

std::string ScenarioLabel(int scenario) {
    return text::Format(scenario <= 96 ? "%2.2d" : "%3.3d", {scenario});
}

ScenarioRow ReadScenarioRow(const IniStore& cnf, int scenario) {
    ScenarioRow row;
    row.label = ScenarioLabel(scenario);
    // The list alone takes either width, the three digits first.
    std::string section = text::Format("%s%3.3d", {"СЦЕНАРИЙ "_cp, scenario});
    if (!cnf.SectionExists(section)) {
        section = text::Format("%s%2.2d", {"СЦЕНАРИЙ "_cp, scenario});
        if (!cnf.SectionExists(section))
            return row;
    }
    const Scenario s = ReadScenarioSection(cnf, section);
    row.note = s.note;
    row.mode = std::string(ScenarioModeName(s.mode));
    row.zoneValue = s.zone;
    switch (TargetOfMode(s.mode)) {
    case ScenarioTarget::Zone:
        row.zone = s.zone == kAnyZoneIndex ? std::string(AnyZoneText()) : ZoneName(cnf, s.zone + 1);
        break;
    case ScenarioTarget::Group:
        row.zone = std::to_string(s.zone / kGroupStride + 1);
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
        d.target = row.zoneValue >= 0 && row.zoneValue <= kAnyZoneIndex ? row.zoneValue : -1;
        break;
    case ScenarioTarget::Group: {
        const int group = row.zoneValue / kGroupStride;
        d.target = group >= 0 && group < kScenarioGroupCount ? group : -1;
        break;
    }
    case ScenarioTarget::None:
        break;
    }
    d.note = row.note;
    const Scenario stored = ReadScenario(cnf, scenario);
    for (const std::string& value : stored.steps) {
        if (value.empty())
            break;
        const ScenarioStep step = ScenarioStep::split(value);
        d.steps.push_back({ShownOutputDevice(step.device, cnf), step.output, step.state,
                           ClampStepDelay(text::StrToIntDef(step.delay, 0))});
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
    Scenario s;
    s.mode = d.mode >= 1 ? d.mode : -1;
    switch (d.targetKind()) {
    case ScenarioTarget::Zone:
        s.zone = d.target;
        break;
    case ScenarioTarget::Group:
        s.zone = d.target * kGroupStride;
        break;
    case ScenarioTarget::None:
        break;
    }
    s.note = d.note;
    for (std::size_t k = 0; k < d.steps.size() && k < s.steps.size(); ++k) {
        const StepDraft& step = d.steps[k];
        s.steps[k] = ScenarioStep{StoredOutputDevice(step.device), step.number, step.state,
                                  text::Format("%3.3d", {ClampStepDelay(step.delay)})}
                         .join();
    }
    // One persist for the whole scenario: a failed write leaves the file as
    // it was, never half a scenario.
    IniStore::Batch batch(cnf);
    WriteScenario(cnf, d.scenario, s, ScenarioKeys::Replace);
    batch.commit();
    return s.mode >= 1 ? ScenarioSaved::Written : ScenarioSaved::Erased;
}

void DeleteScenario(IniStore& cnf, int scenario) {
    cnf.EraseSection(ScenarioSection(scenario));
}

} // namespace kvort
