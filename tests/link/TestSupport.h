#pragma once
#include "TempDir.h"
#include "link/PanelLink.h"
#include "sim/PanelSimulator.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace kvort::test {

// Processes events until pred holds or ms pass; returns pred().
bool pumpUntil(const std::function<bool()>& pred, int ms);
// Processes events for ms (for "nothing may happen meanwhile" checks).
void pumpFor(int ms);

// A pseudo-terminal whose slave side is raw and kept open by the test.
class Pty {
  public:
    Pty();
    ~Pty();
    const std::string& path() const { return m_path; }
    int master() const { return m_master; }
    int slave() const { return m_slave; }
    void write(const std::vector<std::uint8_t>& bytes);
    // Reads until n bytes came or ms passed.
    std::vector<std::uint8_t> read(size_t n, int ms);
    void hangUp(); // closes both sides: every other open of the slave is hung up

  private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

// A simulated panel answering on its own thread until the test ends.
class SimRunner {
  public:
    explicit SimRunner(sim::SimOptions options);
    ~SimRunner();
    sim::PanelSimulator& sim() { return m_sim; }
    std::string path() const { return m_sim.devicePath(); }
    bool finished() const { return m_finished; }

  private:
    sim::PanelSimulator m_sim;
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};

// The panel's waits, shortened so that failures end quickly; the pauses
// only need to exist.
LinkTimings fastTimings();

// 65536 bytes that differ from block to block and from seed to seed.
std::vector<std::uint8_t> patternImage(unsigned seed);

} // namespace kvort::test
