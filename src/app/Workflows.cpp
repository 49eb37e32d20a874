#include "Workflows.h"

#include "ConfigCheck.h"
#include "ReadCompletion.h"

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
    steps.buildImage = [&] {
        SinkProgress progress(m_inner.progress);
        BuildPanelImage(panel.image, panel.CurrentConfigPath, m_session.zoneNames(), &progress);
    };
    steps.check = [&] {
        panel.DeviceSeries = SeriesFromCode(panel.linkSeries);
        return CheckConfiguration(panel, m_inner.prompts, m_inner.progress);
    };
    return WriteConfig(*m_link, m_port, m_inner, steps);
}

TransferOutcome Workflows::readPanel() {
    m_port.setPortMap(m_ports ? *m_ports : PortMap::fromEnvironment());
    ReadSteps steps;
    steps.complete = [&] { CompleteRead(m_session.panel(), ReadSource::Panel, m_inner); };
    return asRead([&] { return ReadConfigPU(*m_link, m_port, m_inner, steps); });
}

CardWriteOutcome Workflows::writeCard() {
    return WriteConfigCard(m_session.panel(), m_session.zoneNames(), m_inner);
}

std::optional<std::filesystem::path> Workflows::readCard() {
    return asRead([&] { return ReadConfigCard(m_session.panel(), m_inner); });
}

CheckResult Workflows::check() {
    PanelSession& panel = m_session.panel();
    SinkProgress progress(m_inner.progress);
    BuildPanelImage(panel.image, panel.CurrentConfigPath, m_session.zoneNames(), &progress);
    return CheckConfiguration(panel, m_inner.prompts, m_inner.progress);
}

} // namespace kvort
