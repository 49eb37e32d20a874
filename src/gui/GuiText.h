#pragma once
// The window's edge between CP1251 (everything the core holds) and QString.
#include "text/Cp1251.h"

#include <QString>
#include <string>
#include <string_view>

namespace kvort::gui {

inline QString qs(std::string_view cp1251) {
    return QString::fromStdString(text::toUtf8(cp1251));
}

// What a person typed never fails to convert: a character without a CP1251
// form becomes "?", which the panel can show.
inline std::string cp(const QString& s) {
    return text::fromUtf8Lossy(s.toStdString());
}

} // namespace kvort::gui
