#pragma once
// The two serial transfers as the person sees them: status texts, progress,
// the messages of every way they can end, and which actions are available
// meanwhile. The byte exchange itself is PanelLink's; what happens before a
// write goes out (encoding, the check) and after a read came in (saving,
// decoding) comes in as steps, so this file knows neither.
#include "app/ConfigCheck.h"
#include "app/Ports.h"
#include "link/PanelLink.h"

#include <functional>

namespace kvort {

enum class TransferOutcome {
    Completed, ///< every block moved (a read then went on to its completion)
    NotFound,  ///< no port answered
    Stopped,   ///< the check said stop
    LinkLost,  ///< a block went unanswered
};

struct WriteSteps {
    std::function<void()> buildImage; // BuildPanelImage into the link's image
    // CheckConfiguration with the series the search reported.
    std::function<CheckResult()> check;
};

struct ReadSteps {
    // From the sound and the question "save?" onwards, shared with the card
    // read. Runs after the last block arrived.
    std::function<void()> complete;
};

// WriteConfig: the image is built, the panel found, the configuration
// checked, and the remaining blocks written.
TransferOutcome WriteConfig(PanelLink& link, TCommPort& port, const Ports& ports,
                            const WriteSteps& steps);

// ReadConfig from the panel (tag 0). A lost link leaves the first 65535
// bytes of the image in "input.bin" in the working directory.
TransferOutcome ReadConfigPU(PanelLink& link, TCommPort& port, const Ports& ports,
                             const ReadSteps& steps);

// File name of the partial image a lost read leaves behind.
inline constexpr const char* kLostReadFile = "input.bin";

} // namespace kvort
