#pragma once
// The check that precedes every write: it looks for what the panel cannot
// take, repairs outdated composition entries, runs the remaining encoding
// passes for the session's series, writes NAME_ConfigReport.txt and NAME.bin
// and asks or tells the person the outcome.
#include "ConfigSession.h"
#include "Ports.h"
#include "UserPrompts.h"

#include "document/IniStore.h"

#include <string>
#include <string_view>

namespace kvort {

// The outcome: the write goes on, goes on after non-critical findings the
// person accepted, or stops. The numbers are the ones the check has always
// returned (and the command line's exit codes).
enum class CheckResult : int { Ok = 0, AcceptedWithFindings = 1, Stopped = 2 };

// The two questions of the check (CP1251): whether to run it, and whether
// to go on after non-critical findings.
std::string CheckStartQuestion();
std::string CheckContinueQuestion();

// Expects BuildPanelImage to have filled session.image from the configuration
// at session.CurrentConfigPath. Leaves CurrentConfigPath at NAME.tb8 when the
// checks ran. Conversion errors of the encoding passes and file errors on
// the report or NAME.bin propagate (FileError, ConvertError).
CheckResult CheckConfiguration(PanelSession& session, UserPrompts& prompts, ProgressSink& view);

// The number (1..256) of the first [ЗОНА] key whose value is exactly `name`
// (a missing key reads as the empty name), or -1.
int FindZone(const IniStore& cnf, std::string_view name);

} // namespace kvort
