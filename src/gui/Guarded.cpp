#include "gui/Guarded.h"

#include "text/Cp1251.h"
#include "text/Error.h"
#include "text/Literals.h"

#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <exception>
#include <memory>
#include <typeinfo>

namespace kvort::gui {

using namespace text::literals;

namespace {

std::string demangled(const char* name) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> readable(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), std::free);
    return status == 0 && readable ? std::string(readable.get()) : std::string(name);
}

// What the log says about a fault: its type and, for a standard exception,
// its own text.
void logFault(const std::exception* e) {
    const std::type_info* type = e ? &typeid(*e) : abi::__cxa_current_exception_type();
    const std::string name = type ? demangled(type->name()) : std::string("unknown");
    std::fprintf(stderr, "kvort-config: internal error: %s%s%s\n", name.c_str(), e ? ": " : "",
                 e ? e->what() : "");
    std::fflush(stderr);
}

} // namespace

const std::string_view kInternalErrorCaption = "ВНУТРЕННЯЯ ОШИБКА"_cp;
const std::string_view kInternalErrorText =
    "ДЕЙСТВИЕ ПРЕРВАНО ИЗ-ЗА ОШИБКИ В САМОЙ ПРОГРАММЕ. ЗАПИСАННОЕ ДО НЕЕ СОХРАНЕНО. "
    "ПОДРОБНОСТИ ВЫВЕДЕНЫ В ПОТОК ОШИБОК (STDERR)."_cp;

void showError(UserPrompts& prompts, const std::string& utf8Message) {
    prompts.message("ОШИБКА"_cp, text::fromUtf8Lossy(utf8Message), MsgIcon::Error, MsgButtons::Ok);
}

void showInternalError(UserPrompts& prompts) {
    prompts.message(kInternalErrorCaption, kInternalErrorText, MsgIcon::Error, MsgButtons::Ok);
}

void notAvailable(UserPrompts& prompts, std::string_view what) {
    prompts.message("ИНФОРМАЦИЯ"_cp,
                    std::string(what) + ": " +
                        std::string("ФУНКЦИЯ ЕЩЕ НЕ ДОСТУПНА В ЭТОЙ ВЕРСИИ"_cp),
                    MsgIcon::Information, MsgButtons::Ok);
}

bool guarded(UserPrompts& prompts, ProgressSink& progress, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const Error& e) {
        progress.setBusy(false);
        showError(prompts, e.what());
    } catch (const std::exception& e) {
        progress.setBusy(false);
        logFault(&e);
        showInternalError(prompts);
    } catch (...) {
        progress.setBusy(false);
        logFault(nullptr);
        showInternalError(prompts);
    }
    return false;
}

} // namespace kvort::gui
