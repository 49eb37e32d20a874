#pragma once
// The action boundary: every handler of the window runs its body through
// guarded(), so nothing thrown crosses a Qt slot. The project's own errors
// (kvort::Error: a file, a number, an image) are shown as they are in an
// "ОШИБКА" box; anything else is a fault of the program, logged with its
// type on stderr and shown as an internal error, never as the person's.
#include "app/Ports.h"

#include <functional>
#include <string>
#include <string_view>

namespace kvort::gui {

// Returns whether the body ran to its end. The busy cursor is put back.
bool guarded(UserPrompts& prompts, ProgressSink& progress, const std::function<void()>& body);

// The internal-error box: caption and text (CP1251).
extern const std::string_view kInternalErrorCaption;
extern const std::string_view kInternalErrorText;

// The boxes guarded() shows.
void showError(UserPrompts& prompts, const std::string& utf8Message);
void showInternalError(UserPrompts& prompts);

// "<what>: ФУНКЦИЯ ЕЩЕ НЕ ДОСТУПНА В ЭТОЙ ВЕРСИИ" for what is not built yet.
void notAvailable(UserPrompts& prompts, std::string_view what);

} // namespace kvort::gui
