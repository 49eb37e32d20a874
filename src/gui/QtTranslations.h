#pragma once
// Qt's own texts (the buttons and labels of the standard file, print and
// page-setup dialogs, the context menus of the text fields) in Russian, as
// the rest of the window is.
#include <memory>

class QTranslator;

namespace kvort::gui {

// Loads the toolkit's Russian translations from where Qt keeps them and
// installs them on the application. Null when they are not installed (the
// dialogs then stay in English; the program goes on). Keep the translator
// alive for as long as the texts are wanted.
std::unique_ptr<QTranslator> installQtTranslations();

} // namespace kvort::gui
