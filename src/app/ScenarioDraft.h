#pragma once
// The relay scenario editor without its widgets: the list of the 128
// scenarios as the file holds them, and one scenario being edited, with the
// rules its mode and its step devices impose and how it is saved. Every
// text is CP1251 bytes.
#include "document/Config.h"

#include <string>
#include <string_view>
#include <vector>

namespace kvort {

inline constexpr int kScenarioGroupCount = 8;
inline constexpr int kMaxStepDelay = 255;

// The mode of a name as the mode list shows it; 0 (no mode) for "" or an
// unknown text.
int ScenarioModeByName(std::string_view name);

// "01" .. "96", "097" .. "128".
std::string ScenarioLabel(int scenario);

// One row of the scenario list: its label and the three columns shown.
struct ScenarioRow {
    std::string label;
    std::string mode; // the mode's name; "" without a mode
    std::string zone; // zone name, "В ЛЮБОЙ" or the group number
    std::string note;
    int zoneValue = -1; // ЗОНА as read, -1 when missing
};
// Reads [СЦЕНАРИЙ nnn] when it exists, else [СЦЕНАРИЙ nn] (the list takes
// either width). Zone names come from [ЗОНА] of the file.
ScenarioRow ReadScenarioRow(const IniStore& cnf, int scenario);

struct StepDraft {
    std::string device; // as the device list shows it (a ПИУ as "ПИУ")
    std::string number; // "01" .. "128"
    std::string state;  // "ВКЛ " or "ВЫКЛ"
    int delay = 0;      // seconds before the step, 0..255
};

// One scenario as the editor panel holds it.
struct ScenarioDraft {
    int scenario = 1;
    int mode = 0; // 0 = the empty entry, 1..13
    // Zone entry 0..254 (zones 1..255) or 255 (any zone), or group entry
    // 0..7; -1 when no entry is chosen.
    int target = -1;
    std::string note;             // upper case, at most 20 characters
    std::vector<StepDraft> steps; // steps 1..n without gaps, n <= 10

    ScenarioTarget targetKind() const { return TargetOfMode(mode); }
    // The mode rules: no mode or a mode without a zone empties the steps and
    // the zone field; a zone or group mode chooses its first entry.
    void setMode(int newMode);
    // The device rules: the step (0-based, at most one past the last) takes
    // the device with number "01", "ВКЛ " and no delay, and every later step
    // is emptied; no device empties the step and every later one.
    void setDevice(int step, std::string_view device);
    void setNote(std::string_view text); // upper case, cut at 20 characters
};

// Delays outside 0..255 (an image may hold up to 510) are brought inside.
int ClampStepDelay(int seconds);

// Opens a scenario: mode and zone from its list row, the steps from the
// section named with its label, up to the first missing one. A ПИУ's
// module line is shown as "ПИУ" again. The zone is chosen by the number
// the scenario holds, not by its name: names may repeat or have been
// changed since, and the scenario must not move to another zone by being
// opened and saved again.
ScenarioDraft OpenScenario(const IniStore& cnf, const ScenarioRow& row, int scenario);

// Why the draft must not be saved (CP1251), or "" when it may be: a zone or
// group mode with no entry chosen would reach the panel as "any zone".
std::string ScenarioSaveProblem(const ScenarioDraft& draft);

enum class ScenarioSaved { Written, Erased };
// Writes the draft into its section in one step: no mode erases the
// section; otherwise РЕЖИМ, ЗОНА (the zone entry, the group entry × 32, or
// none), ПРИМЕЧАНИЕ when not empty and the steps (a ПИУ stored as БКА),
// every key the draft does not fill deleted. The caller checks
// ScenarioSaveProblem first.
ScenarioSaved SaveScenario(IniStore& cnf, const ScenarioDraft& draft);
void DeleteScenario(IniStore& cnf, int scenario);

} // namespace kvort
