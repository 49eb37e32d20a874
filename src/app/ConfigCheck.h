#pragma once
// The check that precedes every write: it looks for what the panel cannot
// take, repairs outdated composition entries, runs the remaining encoding
// passes for the session's series, writes NAME_ConfigReport.txt and NAME.bin
// and asks or tells the person the outcome.
#include "ConfigSession.h"
#include "Ports.h"
#include "UserPrompts.h"

#include "document/IniStore.h"
#include "text/Error.h"

#include <string>
#include <string_view>
#include <vector>

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
// checks ran. `notes` (CP1251 lines, such as what the completion of an old
// file changed) open the report. An error of the checks or the encoding
// passes (ConvertError) ends the report as a line of its own, the report is
// written, and the error propagates; so do file errors on the report or
// NAME.bin (FileError).
CheckResult CheckConfiguration(PanelSession& session, UserPrompts& prompts, ProgressSink& view,
                               const std::vector<std::string>& notes = {});

// The report of a check that could not start because the image could not
// be built (a conversion error): the notes and the error's line, so that no
// report of an earlier run stays. Throws FileError.
void WriteFailedCheckReport(const PanelSession& session, const std::vector<std::string>& notes,
                            const Error& error);

// The number (1..256) of the first [ЗОНА] key whose value is exactly `name`
// (a missing key reads as the empty name), or -1.
int FindZone(const IniStore& cnf, std::string_view name);

} // namespace kvort
