#pragma once
// What the two serial commands share: the port map they search, the port
// set up as the window keeps it, and a progress bar on the terminal.
#include "CliPrompts.h"

#include "link/CommPort.h"
#include "link/PanelLink.h"

#include <optional>
#include <string>

namespace kvort::cli {

// --ports LIST, else KVORT_PORTS, else the serial devices present.
PortMap chosenPorts(const std::optional<std::string>& portsOption);

// The panel's waits and pauses. KVORT_LINK_PAUSES_MS replaces the two
// pauses between blocks (50 ms after a written block, 100 ms after a read
// one) for demonstrations and the end-to-end tests against the simulator;
// a real panel needs them as they are.
LinkTimings linkTimings();

// After a search that found nothing: what kept the ports from the panel
// (permission, another program, ModemManager, brltty) and the remedies.
void hintUnusablePorts(const PortMap& map);

// The settings the window gives its one port.
void setUpPanelPort(TCommPort& port, PortMap map);

// Status texts (from TerminalView) plus a bar drawn on stderr while a
// transfer runs.
class TransferView : public TerminalView {
  public:
    ~TransferView() override;
    void setProgress(int position, int max) override;
    void setStatus(std::string_view text) override;
    // Ends the bar's line so that other output starts on a line of its own.
    void breakLine();

  private:
    int m_shown = -1;
};

// Message boxes start on a fresh line below the bar.
class TransferPrompts : public CliPrompts {
  public:
    explicit TransferPrompts(TransferView& view) : m_view(view) {}
    MsgResult message(std::string_view caption, std::string_view text, MsgIcon icon,
                      MsgButtons buttons) override {
        m_view.breakLine();
        return CliPrompts::message(caption, text, icon, buttons);
    }

  private:
    TransferView& m_view;
};

} // namespace kvort::cli
