// kvort-panel-sim: a ПУ-П in configuration-write or configuration-read mode
// on a pseudo-terminal. Prints the device path, then answers one transfer
// (or, with --serve, transfers until it is stopped).
#include "sim/PanelSimulator.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

using namespace kvort::sim;

namespace {

PanelSimulator* g_sim = nullptr;

void onSignal(int) {
    if (g_sim != nullptr)
        g_sim->stop();
}

const char kUsage[] =
    "usage: kvort-panel-sim --mode write|read [--series fh|i] [--block 64|256]\n"
    "         [--image IN.bin] [--save OUT.bin] [--link PATH] [--no-pacing] [--serve]\n"
    "         [--fault none|silent|garbage|short|long|hangup|slow|noise] [--fault-block N]\n"
    "         [--slow-ms M]\n"
    "       shorthands: --silent-from N, --garbage-at N, --short-block N,\n"
    "         --long-block N, --hangup-at N, --noise-from N, --slow-reply M (at --fault-block)\n";

struct Usage {
    std::string message;
};

int number(const std::string& option, const char* text) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 0 || v > 1000000)
        throw Usage{option + ": a number expected, got \"" + text + "\""};
    return static_cast<int>(v);
}

std::vector<std::uint8_t> readImage(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read image file " + path);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (bytes.size() < static_cast<size_t>(kImageBytes))
        throw std::runtime_error("image file " + path + " holds " + std::to_string(bytes.size()) +
                                 " bytes, 65536 needed");
    bytes.resize(kImageBytes);
    return bytes;
}

void saveImage(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
            throw std::runtime_error("cannot write " + tmp);
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

int main(int argc, char** argv) {
    SimOptions opt;
    std::string imagePath, savePath;
    bool modeGiven = false;
    try {
        for (int i = 1; i < argc; ++i) {
            std::string a = argv[i];
            auto value = [&]() -> const char* {
                if (i + 1 >= argc)
                    throw Usage{a + " needs a value"};
                return argv[++i];
            };
            auto shorthand = [&](SimFault f) {
                opt.fault = f;
                opt.faultBlock = number(a, value());
            };
            if (a == "--mode") {
                std::string m = value();
                if (m != "write" && m != "read")
                    throw Usage{"--mode is write or read"};
                opt.mode = m == "write" ? SimMode::Write : SimMode::Read;
                modeGiven = true;
            } else if (a == "--series") {
                std::string s = value();
                if (s != "fh" && s != "i")
                    throw Usage{"--series is fh or i"};
                opt.series = s == "i" ? SimSeries::I : SimSeries::FH;
            } else if (a == "--block") {
                opt.blockSize = number(a, value());
            } else if (a == "--image") {
                imagePath = value();
            } else if (a == "--save") {
                savePath = value();
            } else if (a == "--link") {
                opt.linkPath = value();
            } else if (a == "--no-pacing") {
                opt.pacing = false;
            } else if (a == "--serve") {
                opt.serve = true;
            } else if (a == "--fault") {
                std::string name = value();
                auto f = faultFromName(name);
                if (!f)
                    throw Usage{"unknown fault \"" + name + "\""};
                opt.fault = *f;
            } else if (a == "--fault-block") {
                opt.faultBlock = number(a, value());
            } else if (a == "--slow-ms") {
                opt.slowMs = number(a, value());
            } else if (a == "--silent-from") {
                shorthand(SimFault::Silent);
            } else if (a == "--garbage-at") {
                shorthand(SimFault::Garbage);
            } else if (a == "--short-block") {
                shorthand(SimFault::ShortBlock);
            } else if (a == "--long-block") {
                shorthand(SimFault::LongBlock);
            } else if (a == "--hangup-at") {
                shorthand(SimFault::HangUp);
            } else if (a == "--noise-from") {
                shorthand(SimFault::Noise);
            } else if (a == "--slow-reply") {
                opt.fault = SimFault::SlowReply;
                opt.slowMs = number(a, value());
            } else if (a == "--help" || a == "-h") {
                std::cout << kUsage;
                return 0;
            } else {
                throw Usage{"unknown option " + a};
            }
        }
        if (!modeGiven)
            throw Usage{"--mode is required"};
        if (opt.mode == SimMode::Read && imagePath.empty())
            throw Usage{"read mode serves an image: give --image"};
    } catch (const Usage& u) {
        std::cerr << "kvort-panel-sim: " << u.message << "\n" << kUsage;
        return 2;
    }

    try {
        if (!imagePath.empty())
            opt.image = readImage(imagePath);
        if (!savePath.empty())
            opt.onTransfer = [&](const PanelSimulator& s) { saveImage(savePath, s.received()); };
        PanelSimulator sim(std::move(opt));
        g_sim = &sim;
        std::signal(SIGTERM, onSignal);
        std::signal(SIGINT, onSignal);
        std::cout << sim.devicePath() << std::endl;
        SimOutcome outcome = sim.run();
        g_sim = nullptr;
        if (outcome != SimOutcome::Completed && !savePath.empty() && !sim.received().empty())
            saveImage(savePath, sim.received());
        std::cerr << "kvort-panel-sim: " << sim.blocksDone() << " blocks, "
                  << (outcome == SimOutcome::Completed ? "transfer completed"
                      : outcome == SimOutcome::HungUp  ? "line hung up"
                                                       : "stopped")
                  << "\n";
        bool served = sim.transfersDone() > 0 && outcome == SimOutcome::Stopped;
        return outcome == SimOutcome::Completed || served ? 0 : 3;
    } catch (const std::exception& e) {
        std::cerr << "kvort-panel-sim: " << e.what() << "\n";
        return 1;
    }
}
