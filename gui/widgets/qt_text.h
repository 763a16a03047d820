// The one crossing of texts between the core (Windows-1252 bytes) and Qt (UTF-16).
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace mervane::gui {

QString qtext(std::string_view cp1252);
// A character Windows-1252 lacks becomes "?".
std::string cptext(const QString& text);
// Whether every character of the text has a Windows-1252 byte.
bool fits_cp1252(const QString& text);

}  // namespace mervane::gui
