#include "gui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kvort::gui {

std::unique_ptr<QTranslator> installQtTranslations() {
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    auto translator = std::make_unique<QTranslator>();
    // "qtbase" holds the widgets' texts.
    if (!translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    if (!QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    // Dates and sizes in the file dialogs, paper names in the print dialogs.
    QLocale::setDefault(russian);
    return translator;
}

} // namespace kvort::gui
