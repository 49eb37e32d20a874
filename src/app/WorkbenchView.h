#pragma once
// The check still names the progress port by its former name.
#include "Ports.h"

namespace kvort {
using WorkbenchView = ProgressSink;
} // namespace kvort
