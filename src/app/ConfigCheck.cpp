#include "ConfigCheck.h"

#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "image/Encoder.h"
#include "text/Cp1251.h"
#include "text/Error.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <algorithm>
#include <vector>

namespace kvort {

using namespace text::literals;
using text::Format;

namespace {

// The report is built in memory and written once, CP1251 with CR LF: a
// section title, then " OK" or its findings, each on a line of its own.
class Report {
  public:
    void write(std::string_view s) { m_text += s; }
    void endLine() { m_text += "\r\n"; }
    void finding(const std::string& line) {
        endLine();
        write(line);
        m_findings = true;
    }
    void title(std::string_view t) {
        write(t);
        m_findings = false;
    }
    void closeSection() {
        if (!m_findings)
            write(" OK"_cp);
        endLine();
    }
    const std::string& text() const { return m_text; }

  private:
    std::string m_text;
    bool m_findings = false;
};

// Delphi's StrToInt accepts what StrToIntDef converts; two different
// defaults tell a converted value from a failed conversion.
bool isInteger(std::string_view s) {
    return text::StrToIntDef(s, 0) == text::StrToIntDef(s, 1);
}

// [ЗОНА] read once: the check changes nothing there. A missing key is a
// zone with the empty name, as the zone grid and the encoder take it, so the
// check accepts exactly the zone names the encoder finds.
class ZoneIndex {
  public:
    explicit ZoneIndex(const IniStore& cnf) {
        for (int k = 1; k <= kZoneCount; ++k)
            m_names.emplace_back(k, ZoneName(cnf, k));
    }
    int find(std::string_view name) const {
        for (const auto& [k, value] : m_names)
            if (value == name)
                return k;
        return -1;
    }

  private:
    std::vector<std::pair<int, std::string>> m_names;
};

class Checker {
  public:
    Checker(PanelSession& session, Report& report)
        : m_session(session), m_report(report),
          m_cnfPath(ChangeFileExt(session.CurrentConfigPath, ".cnf")), m_cnf(m_cnfPath) {}

    void composition();
    void zones();
    void scenarios();
    void directions();
    void encodingPasses();

    CheckResult result() const { return m_result; }
    void raise(CheckResult r) { m_result = std::max(m_result, r); }

  private:
    std::filesystem::path member(const std::string& ext) {
        m_session.CurrentConfigPath = ChangeFileExt(m_session.CurrentConfigPath, ext);
        return m_session.CurrentConfigPath;
    }
    static std::string tbExt(int slot) { return ".tb" + std::to_string(slot); }

    PanelSession& m_session;
    Report& m_report;
    std::filesystem::path m_cnfPath;
    IniStore m_cnf;
    CheckResult m_result = CheckResult::Ok;
};

void Checker::composition() {
    m_report.title("СОСТАВ"_cp);
    int highest = 0;
    int occupied = 0;
    for (int s = 0; s < kSlotCount; ++s) {
        const std::string slotKey = SlotKey(s);
        const std::string v = SlotKind(m_cnf, s, "");
        std::string finding;
        if (s == 0) {
            const std::string p = SlotLinesValue(m_cnf, 0, "");
            if (IsPuKind(v)) {
                WriteSlotLines(m_cnf, 0, word::kLines8);
            } else if (p == word::kLines8 || p == word::kLines4) {
                WriteSlotKind(m_cnf, 0, word::kKindPu8);
            } else {
                WriteSlotLines(m_cnf, 0, word::kLines8);
                WriteSlotKind(m_cnf, 0, word::kKindPu8);
                finding = "В СОСТАВЕ НЕТ ПУ. ДОБАВЛЕН ПУ-П"_cp;
                raise(CheckResult::AcceptedWithFindings);
            }
        } else {
            const bool current = IsPpkpKind(v) || v == word::kKindBrit || v == word::kKindPiu;
            if (current || v == word::kKindBdu)
                WriteSlotLines(m_cnf, s, word::kLines8);
            if (!v.empty() && v != word::kNone) {
                highest = s;
                ++occupied;
                if (!current) {
                    if (v == word::kKindBdu) {
                        finding = "УСТАРЕВШЕЕ НАИМЕНОВАНИЕ ПРИБОРА. ИСПРАВЛЕНО НА БРИТ"_cp;
                        WriteSlotKind(m_cnf, s, word::kKindBrit);
                        raise(CheckResult::AcceptedWithFindings);
                    } else {
                        finding = "НЕПРАВИЛЬНОЕ НАИМЕНОВАНИЕ ПРИБОРА. НЕОБХОДИМО ВЫБРАТЬ В "
                                  "СОСТАВЕ ТРЕБУЕМЫЙ ПРИБОР"_cp;
                        raise(CheckResult::Stopped);
                    }
                }
            }
        }
        if (s == 0 || (!v.empty() && v != word::kNone)) {
            std::error_code ec;
            const std::filesystem::path tb = member(tbExt(s));
            if (!std::filesystem::exists(tb, ec)) {
                finding = std::string("НЕ ОБНАРУЖЕН ФАЙЛ \""_cp) +
                          text::fromUtf8Lossy(tb.filename().string()) +
                          std::string("\" С ТЕКСТОВОЙ ИНФОРМАЦИЕЙ ДЛЯ ИЗВЕЩАТЕЛЕЙ "_cp);
                raise(CheckResult::Stopped);
            }
        }
        if (!finding.empty()) {
            m_report.finding(
                Format("%-15s%-20s%s", {std::string("АДРЕС "_cp) + slotKey, v, finding}));
            m_report.endLine();
        }
    }
    if (highest != occupied) {
        m_report.finding(std::string("НАРУШЕНА ПОСЛЕДОВАТЕЛЬНОСТЬ АДРЕСОВ"_cp));
        m_report.endLine();
        raise(CheckResult::Stopped);
    }
    m_report.closeSection();
    m_report.endLine();
}

void Checker::zones() {
    m_report.title("ЗОНЫ"_cp);
    const ZoneIndex zoneIndex(m_cnf);
    for (int s = 0; s < kSlotCount; ++s) {
        const std::filesystem::path tbPath = member(tbExt(s));
        std::error_code ec;
        if (!std::filesystem::exists(tbPath, ec))
            continue;
        const IniStore tb(tbPath);
        for (int l = 1; l <= kLinesPerDevice; ++l) {
            for (int a = 1; a <= kAddressesPerLine; ++a) {
                const std::string section = SensorAddress(s, l, a);
                const std::string zone = ReadDetector(tb, s, l, a).zone;
                if (!zone.empty() && zoneIndex.find(zone) == -1) {
                    m_report.finding(Format("%-15sЗОНА %-15sНЕТ В СПИСКЕ ЗОН"_cp, {section, zone}));
                    raise(CheckResult::Stopped);
                }
            }
        }
    }
    m_report.closeSection();
    m_report.endLine();
}

void Checker::scenarios() {
    m_report.title("СЦЕНАРИИ"_cp);
    for (int k = 1; k <= kScenarioCount; ++k) {
        const Scenario sc = ReadScenario(m_cnf, k);
        if (sc.modeText.empty())
            continue;
        bool wrong = !isInteger(sc.modeText) || (!sc.zoneText.empty() && !isInteger(sc.zoneText));
        for (const std::string& step : sc.steps)
            wrong = wrong || (!step.empty() && !ScenarioStep::parse(step));
        if (wrong) {
            m_report.finding(Format("%-15sОШИБКА"_cp, {ScenarioSection(k)}));
            raise(CheckResult::Stopped);
        }
    }
    m_report.closeSection();
    m_report.endLine();
}

void Checker::directions() {
    m_report.title("ПОЖАРОТУШЕНИЕ"_cp);
    const ZoneIndex zoneIndex(m_cnf);
    for (int n = 1; n <= kDirectionCount; ++n) {
        const std::string section = DirectionSection(n);
        const std::string zone = DirectionZone(m_cnf, n, word::kNone);
        if (zone != word::kNone && zoneIndex.find(zone) == -1) {
            m_report.finding(Format("%-15sЗОНЫ %-15sНЕТ В СПИСКЕ ЗОН"_cp, {section, zone}));
            raise(CheckResult::Stopped);
        }
    }
    m_report.closeSection();
}

void Checker::encodingPasses() {
    const Series series = m_session.DeviceSeries;
    const std::string_view noSeries = "ОШИБКА. НЕ ОПРЕДЕЛЕНА СЕРИЯ ПРИБОРА"_cp;
    auto line = [this](std::string_view text) {
        m_report.endLine();
        m_report.write(text);
        m_report.endLine();
    };

    m_report.write("ОПИСАНИЕ ФУНКЦИЙ РЕЛЕ"_cp);
    switch (EncodeOutputTexts(m_session.image, m_cnf, series)) {
    case OutputTextsResult::Done:
        m_report.write(" OK"_cp);
        m_report.endLine();
        break;
    case OutputTextsResult::NoSeries:
        line(noSeries);
        raise(CheckResult::Stopped);
        break;
    case OutputTextsResult::NotStored:
        line("ВНИМАНИЕ. ОПИСАНИЯ ФУНКЦИЙ РЕЛЕ НЕ БУДУТ СОХРАНЕНЫ В ПРИБОРЕ ПУ"_cp);
        raise(CheckResult::AcceptedWithFindings);
        break;
    case OutputTextsResult::NotAllFit:
        line("ВНИМАНИЕ. НЕ ВСЕ ОПИСАНИЯ ФУНКЦИЙ РЕЛЕ БУДУТ СОХРАНЕНЫ В ПРИБОРЕ ПУ"_cp);
        raise(CheckResult::AcceptedWithFindings);
        break;
    }

    m_report.write("СВЯЗАННЫЕ ВЫХОДЫ"_cp);
    switch (EncodeLinkedOutputs(m_session.image, m_cnf, series)) {
    case LinkedOutputsResult::Done:
        m_report.write(" OK"_cp);
        m_report.endLine();
        break;
    case LinkedOutputsResult::NoSeries:
        line(noSeries);
        raise(CheckResult::Stopped);
        break;
    case LinkedOutputsResult::TextSpace:
        line("ОШИБКА. НЕОБХОДИМО СОКРАТИТЬ ОБЪЕМ ТЕКСТОВОЙ ИНФОРМАЦИИ В СООБЩЕНИЯХ ДАТЧИКОВ. "
             "ИСПОЛЬЗУЙТЕ СОКРАЩЕНИЯ ЧАСТО УПОТРЕБЛЯЕМЫХ СЛОВ"_cp);
        raise(CheckResult::Stopped);
        break;
    case LinkedOutputsResult::TableFull:
        m_report.endLine();
        if (series == Series::FH)
            m_report.write("ОШИБКА. ПРЕВЫШЕНО СУММАРНОЕ КОЛИЧЕСТВО \"СВЯЗАННЫХ ВЫХОДОВ\" И "
                           "ДАТЧИКОВ БЕЗ ФИКСАЦИИ(>256)"_cp);
        else
            m_report.write("ОШИБКА. ПРЕВЫШЕНО КОЛИЧЕСТВО \"СВЯЗАННЫХ ВЫХОДОВ\"(>256)"_cp);
        m_report.endLine();
        raise(CheckResult::Stopped);
        break;
    }

    EncodeScenarios(m_session.image, m_cnf, series);
}

std::string errorLine(const Error& error) {
    const bool conversion = dynamic_cast<const ConvertError*>(&error) != nullptr;
    return std::string(conversion ? "ОШИБКА ПРЕОБРАЗОВАНИЯ: "_cp : "ОШИБКА: "_cp) +
           text::fromUtf8Lossy(error.what());
}

void openWith(Report& report, const std::vector<std::string>& notes) {
    for (const std::string& n : notes) {
        report.write(n);
        report.endLine();
    }
    if (!notes.empty())
        report.endLine();
}

std::filesystem::path reportPathOf(const PanelSession& session) {
    return ChangeFileExt(session.CurrentConfigPath, "_ConfigReport.txt");
}

} // namespace

void WriteFailedCheckReport(const PanelSession& session, const std::vector<std::string>& notes,
                            const Error& error) {
    if (session.CurrentConfigPath.empty())
        return;
    Report report;
    openWith(report, notes);
    report.write(errorLine(error));
    report.endLine();
    writeFile(reportPathOf(session), report.text());
}

std::string CheckStartQuestion() {
    return std::string("ЗАПУСТИТЬ ПРОЦЕДУРУ ПРОВЕРКИ КОНФИГУРАЦИИ? "_cp);
}

std::string CheckContinueQuestion() {
    // Two lines, parted by LF CR as the panel software has always shown them.
    return std::string("НЕ КРИТИЧНАЯ ОШИБКА КОНФИГУРАЦИИ(CM. ФАЙЛ ОТЧЕТА)"_cp) + "\n\r" +
           std::string("ПРОДОЛЖИТЬ ПРОЦЕДУРУ ЗАПИСИ КОНФИГУРАЦИИ"_cp);
}

int FindZone(const IniStore& cnf, std::string_view name) {
    return ZoneIndex(cnf).find(name);
}

CheckResult CheckConfiguration(PanelSession& session, UserPrompts& prompts, ProgressSink& view,
                               const std::vector<std::string>& notes) {
    if (session.CurrentConfigPath.empty())
        throw Error("Нет открытой конфигурации для проверки");

    const std::filesystem::path reportPath = reportPathOf(session);
    Report report;
    openWith(report, notes);
    Checker checker(session, report);

    try {
        if (prompts.message("ИНФОРМАЦИЯ"_cp, CheckStartQuestion(), MsgIcon::Question,
                            MsgButtons::YesNo) == MsgResult::Yes) {
            view.setStatus("     ИДЕТ ПРОЦЕДУРА ПРОВЕРКИ КОНФИГУРАЦИИ"_cp);
            view.processEvents();
            checker.composition();
            checker.zones();
            checker.scenarios();
            checker.directions();
        }
        if (checker.result() < CheckResult::Stopped)
            checker.encodingPasses();
    } catch (const Error& e) {
        // The report of this run ends where the run did; one of an earlier
        // run must not stay behind looking like this one's.
        report.endLine();
        report.write(errorLine(e));
        report.endLine();
        writeFile(reportPath, report.text());
        throw;
    }
    report.endLine();

    writeFile(reportPath, report.text());

    CheckResult result = checker.result();
    if (result == CheckResult::AcceptedWithFindings) {
        if (prompts.message("ИНФОРМАЦИЯ"_cp, CheckContinueQuestion(), MsgIcon::Question,
                            MsgButtons::YesNo) != MsgResult::Yes) {
            result = CheckResult::Stopped;
            prompts.openDocument(reportPath);
        }
    } else if (result == CheckResult::Stopped) {
        prompts.message("ПРЕДУПРЕЖДЕНИЕ"_cp, "ОШИБКА КОНФИГУРАЦИИ. ПРОЦЕДУРА ЗАПИСЬ ОСТАНОВЛЕНА"_cp,
                        MsgIcon::Error, MsgButtons::Ok);
        prompts.openDocument(reportPath);
    }

    writeFile(ChangeFileExt(session.CurrentConfigPath, ".bin"), session.image.bytes());
    view.setStatus("");
    view.processEvents();
    return result;
}

} // namespace kvort
