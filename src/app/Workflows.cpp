#include "Workflows.h"

#include "ConfigCheck.h"
#include "ReadCompletion.h"

#include "document/ConfigFileSet.h"
#include "document/ConfigHistory.h"
#include "image/Encoder.h"

namespace kvort {

// Keeps the stage in mind (to put the window back after a read that threw)
// and passes it on.
class Workflows::Gate : public ActionGate {
  public:
    Gate(Workflows& owner, ActionGate& outer) : m_owner(owner), m_outer(outer) {}
    void enter(WorkflowStage stage) override {
        m_owner.m_stage = stage;
        m_outer.enter(stage);
    }

  private:
    Workflows& m_owner;
    ActionGate& m_outer;
};

// A saved read is the session's configuration before anyone is told.
class Workflows::Adopter : public ReadObserver {
  public:
    Adopter(ConfigSession& session, ActionGate& gate, ReadObserver& outer, SavedRead savedRead)
        : m_session(session), m_gate(gate), m_outer(outer), m_savedRead(savedRead) {}
    void configurationRead(const std::filesystem::path& cnf) override {
        m_gate.enter(WorkflowStage::ReadSaved);
        if (m_savedRead == SavedRead::OpenInSession)
            m_session.adoptRead(cnf);
        m_outer.configurationRead(cnf);
    }

  private:
    ConfigSession& m_session;
    ActionGate& m_gate;
    ReadObserver& m_outer;
    SavedRead m_savedRead;
};

Workflows::Workflows(ConfigSession& session, const Ports& ports, SavedRead savedRead)
    : m_session(session), m_outer(ports), m_gate(std::make_unique<Gate>(*this, ports.gate)),
      m_adopter(std::make_unique<Adopter>(session, *m_gate, ports.reads, savedRead)),
      m_inner{ports.prompts, ports.progress, *m_gate, *m_adopter},
      m_link(std::make_unique<PanelLink>(m_port, session.panel().image.data(), m_blockSize,
                                         session.panel().linkSeries)) {}

Workflows::~Workflows() {
    if (m_port.isOpen())
        m_port.setOpen(false);
}

template <typename Body> auto Workflows::asRead(Body body) {
    // A read that failed half-way has put the configuration away and
    // disabled the actions; the window must not stay locked.
    try {
        return body();
    } catch (...) {
        if (m_stage == WorkflowStage::ReadRunning)
            m_gate->enter(WorkflowStage::ReadNotSaved);
        throw;
    }
}

TransferOutcome Workflows::writePanel() {
    m_port.setPortMap(m_ports ? *m_ports : PortMap::fromEnvironment());
    PanelSession& panel = m_session.panel();
    WriteSteps steps;
    steps.buildImage = [&] { buildImage(); };
    steps.check = [&] {
        panel.DeviceSeries = SeriesFromCode(panel.linkSeries);
        return CheckConfiguration(panel, m_inner.prompts, m_inner.progress, checkNotes());
    };
    const TransferOutcome outcome = WriteConfig(*m_link, m_port, m_inner, steps);
    if (outcome == TransferOutcome::Completed)
        keepImage(ConfigFileSet(panel.CurrentConfigPath), reason::kWritePanel, panel.image.bytes(),
                  ImageDirection::Written, ImageMedium::Panel, HistorySeries(panel.DeviceSeries));
    return outcome;
}

TransferOutcome Workflows::readPanel() {
    m_port.setPortMap(m_ports ? *m_ports : PortMap::fromEnvironment());
    ReadSteps steps;
    steps.complete = [&] { CompleteRead(m_session.panel(), ReadSource::Panel, m_inner); };
    return asRead([&] { return ReadConfigPU(*m_link, m_port, m_inner, steps); });
}

TransferOutcome Workflows::readPanelImage() {
    // To the window this is a transfer like a write: the configuration stays
    // open, so the stages of a read that replaces it are not passed on.
    struct KeepOpen : ActionGate {
        ActionGate& outer;
        explicit KeepOpen(ActionGate& o) : outer(o) {}
        void enter(WorkflowStage stage) override {
            outer.enter(stage == WorkflowStage::ReadRunning ? WorkflowStage::TransferRunning
                                                            : WorkflowStage::TransferEnded);
        }
    } gate(*m_gate);
    const Ports ports{m_inner.prompts, m_inner.progress, gate, m_inner.reads};
    m_port.setPortMap(m_ports ? *m_ports : PortMap::fromEnvironment());
    ReadSteps steps;
    steps.complete = [&] {
        // What the panel held, on record beside the configuration it was
        // compared with.
        const PanelSession& panel = m_session.panel();
        if (!panel.CurrentConfigPath.empty())
            keepImage(ConfigFileSet(panel.CurrentConfigPath), reason::kVerifyPanel,
                      panel.image.bytes(), ImageDirection::Read, ImageMedium::Panel,
                      SeriesOfImage(panel.image));
        ports.progress.playNotify();
        ports.progress.setProgress(0, 0);
        ports.progress.setStatus("");
        gate.enter(WorkflowStage::TransferEnded);
    };
    return ReadConfigPU(*m_link, m_port, ports, steps);
}

CardWriteOutcome Workflows::writeCard() {
    return WriteConfigCard(m_session.panel(), m_session.zoneNames(), m_inner, checkNotes());
}

std::optional<std::filesystem::path> Workflows::readCard() {
    return asRead([&] { return ReadConfigCard(m_session.panel(), m_inner); });
}

CheckResult Workflows::check() {
    buildImage();
    return CheckConfiguration(m_session.panel(), m_inner.prompts, m_inner.progress, checkNotes());
}

std::vector<std::string> Workflows::checkNotes() const {
    return CompletionReport(m_session.completion());
}

void Workflows::buildImage() {
    PanelSession& panel = m_session.panel();
    SinkProgress progress(m_inner.progress);
    try {
        BuildPanelImage(panel.image, panel.CurrentConfigPath, m_session.zoneNames(), &progress);
    } catch (const Error& e) {
        WriteFailedCheckReport(panel, checkNotes(), e);
        throw;
    }
}

} // namespace kvort
