#include "app/PanelTransfer.h"

#include "document/IniStore.h"
#include "text/Literals.h"

#include <string_view>

namespace kvort {

using namespace text::literals;

namespace {

constexpr std::string_view kSearching = "     ПОДОЖДИТЕ, ИДЕТ ПОИСК ПОДКЛЮЧЕННОГО ПУ-П"_cp;
constexpr std::string_view kWriting = "     ВНИМАНИЕ ! ИДЕТ ЗАПИСЬ КОНФИГУРАЦИИ В ПУ-П"_cp;
constexpr std::string_view kReading = "     ВНИМАНИЕ ! ИДЕТ ЧТЕНИЕ КОНФИГУРАЦИИ ИЗ ПУ-П"_cp;
constexpr std::string_view kWriteNotFound =
    "НЕ ПОДКЛЮЧЕН ИЛИ НЕ ПЕРЕВЕДЕН В РЕЖИМ \"ЗАПИСИ КОНФИГУРАЦИИ\" ПРИБОР ПУ-П"_cp;
constexpr std::string_view kReadNotFound =
    "НЕ ПОДКЛЮЧЕН ИЛИ НЕ ПЕРЕВЕДЕН В РЕЖИМ \"СЧИТЫВАНИЯ КОНФИГУРАЦИИ\" ПРИБОР ПУ-П"_cp;
constexpr std::string_view kNoLink = "НЕТ СВЯЗИ С ПУ-П "_cp; // the blank is the panel's own
constexpr std::string_view kWriteDone = "ЗАПИСЬ КОНФИГУРАЦИИ В ПУ-П ЗАКОНЧЕНА"_cp;
constexpr std::string_view kError = "ОШИБКА"_cp;
constexpr std::string_view kInformation = "ИНФОРМАЦИЯ"_cp;

constexpr int kProgressMax = 100;

// The last blocks compute 102: the bar simply shows full.
int barPosition(int b, int blockSize) {
    int p = PanelLink::progressPosition(b, blockSize);
    return p > kProgressMax ? kProgressMax : p;
}

// Puts the window back however a write ends, an exception included.
class WriteScope {
  public:
    explicit WriteScope(const Ports& ports) : m_ports(ports) {}
    ~WriteScope() {
        m_ports.progress.setStatus("");
        m_ports.gate.enter(WorkflowStage::TransferEnded);
        m_ports.progress.setBusy(false);
    }

  private:
    const Ports& m_ports;
};

} // namespace

TransferOutcome WriteConfig(PanelLink& link, TCommPort& port, const Ports& ports,
                            const WriteSteps& steps) {
    UserPrompts& prompts = ports.prompts;
    ProgressSink& view = ports.progress;
    link.setDirection(TransferDirection::Write);
    steps.buildImage();
    port.setBaudRate(cbr38400);
    ports.gate.enter(WorkflowStage::TransferRunning);
    WriteScope restore(ports);
    port.PurgeInput();
    view.setBusy(true);
    view.setStatus(kSearching);
    link.setDeviceSeries(-1);
    if (!link.search(TransferDirection::Write)) {
        prompts.message(kError, kWriteNotFound, MsgIcon::Error, MsgButtons::Ok);
        return TransferOutcome::NotFound;
    }
    // Block 0 is already with the panel; a stop here leaves it waiting.
    if (steps.check() == CheckResult::Stopped)
        return TransferOutcome::Stopped;
    view.setStatus(kWriting);
    const int blockSize = link.blockSize();
    for (int b = 1; b < link.blockCount(); ++b) {
        if (!link.writeBlock(b)) {
            view.setProgress(0, 0);
            prompts.message(kError, kNoLink, MsgIcon::Error, MsgButtons::Ok);
            return TransferOutcome::LinkLost;
        }
        view.setProgress(barPosition(b, blockSize), kProgressMax);
        link.pause(link.timings().writePause);
    }
    view.playNotify();
    prompts.message(kInformation, kWriteDone, MsgIcon::Information, MsgButtons::Ok);
    view.setProgress(0, 0);
    return TransferOutcome::Completed;
}

TransferOutcome ReadConfigPU(PanelLink& link, TCommPort& port, const Ports& ports,
                             const ReadSteps& steps) {
    UserPrompts& prompts = ports.prompts;
    ProgressSink& view = ports.progress;
    link.setDirection(TransferDirection::Read);
    ports.gate.enter(WorkflowStage::ReadRunning);
    port.setBaudRate(cbr38400);
    view.setBusy(true);
    view.setStatus(kSearching);
    auto giveUp = [&](std::string_view text) {
        view.setProgress(0, 0);
        prompts.message(kError, text, MsgIcon::Error, MsgButtons::Ok);
        view.setStatus("");
        ports.gate.enter(WorkflowStage::ReadFailed); // no image came: open, create or read again
        view.setBusy(false);
    };
    if (!link.search(TransferDirection::Read)) {
        giveUp(kReadNotFound);
        return TransferOutcome::NotFound;
    }
    view.setBusy(false);
    view.setStatus(kReading);
    const int blockSize = link.blockSize();
    for (int b = 1; b < link.blockCount(); ++b) {
        bool got = link.readBlock(b);
        if (got) {
            view.setProgress(barPosition(b, blockSize), kProgressMax);
            link.pause(link.timings().readPause);
        }
        // Bytes beyond the block mean it was longer than the panel's block
        // size: the image can no longer be trusted, as after a time-out.
        if (!got || link.strayBytes()) {
            try {
                writeFile(kLostReadFile,
                          std::string_view(reinterpret_cast<const char*>(link.image()),
                                           kPanelImageBytes - 1));
            } catch (...) {
                giveUp(kNoLink);
                throw;
            }
            giveUp(kNoLink);
            return TransferOutcome::LinkLost;
        }
    }
    if (steps.complete)
        steps.complete();
    return TransferOutcome::Completed;
}

} // namespace kvort
