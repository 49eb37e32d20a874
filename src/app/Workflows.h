#pragma once
// The four transfers of a configuration (write to and read from the panel,
// write and read a card file), wired once over the session for both front
// ends. Owns the serial port and the exchange over it; the port stays open
// after a transfer until the next search or the end of the run.
#include "CardFiles.h"
#include "ConfigSession.h"
#include "PanelTransfer.h"
#include "Ports.h"

#include "link/CommPort.h"
#include "link/PanelLink.h"
#include "link/PortMap.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kvort {

class Workflows {
  public:
    // What becomes of a saved read: the window opens it in the session (it
    // is completed as on opening and the editors load it); the command line
    // leaves the decoded files exactly as written.
    enum class SavedRead { OpenInSession, LeaveOnDisk };
    Workflows(ConfigSession& session, const Ports& ports,
              SavedRead savedRead = SavedRead::OpenInSession);
    ~Workflows();
    Workflows(const Workflows&) = delete;
    Workflows& operator=(const Workflows&) = delete;

    TCommPort& port() { return m_port; }
    // The exchange, for its waits to be set (the command line's pauses, a
    // simulated panel that answers at once).
    PanelLink& link() { return *m_link; }
    // The ports the searches try; without it each transfer takes the
    // environment's map anew.
    void usePortMap(PortMap map) { m_ports = std::move(map); }
    // A read (or a write) waits in its own event loop: nothing may close
    // the port or replace the configuration meanwhile.
    bool running() const {
        return m_stage == WorkflowStage::TransferRunning || m_stage == WorkflowStage::ReadRunning;
    }

    // WriteConfig: encodes the session's configuration with its zone names,
    // finds the panel, checks for the series it reports, writes the blocks.
    TransferOutcome writePanel();
    // ReadConfig from the panel; a saved read becomes the session's
    // configuration before the read observer hears of it.
    TransferOutcome readPanel();
    // The panel's image into the session's image, to compare it: the read's
    // messages, but the open configuration stays as it is and nothing is
    // saved or asked.
    TransferOutcome readPanelImage();
    // WriteConfigCard for the series the person chooses.
    CardWriteOutcome writeCard();
    // ReadConfigCard: nullopt when cancelled or not saved.
    std::optional<std::filesystem::path> readCard();
    // CheckConfiguration after BuildPanelImage, for the session's series.
    CheckResult check();

  private:
    // BuildPanelImage for the session; an image that cannot be built leaves
    // a report saying why.
    void buildImage();
    std::vector<std::string> checkNotes() const;

    class Gate;
    class Adopter;
    template <typename Body> auto asRead(Body body);

    ConfigSession& m_session;
    const Ports m_outer;
    std::unique_ptr<Gate> m_gate;
    std::unique_ptr<Adopter> m_adopter;
    Ports m_inner;
    std::optional<PortMap> m_ports;
    WorkflowStage m_stage = WorkflowStage::TransferEnded;
    TCommPort m_port;
    int m_blockSize = 64;
    std::unique_ptr<PanelLink> m_link;
};

} // namespace kvort
