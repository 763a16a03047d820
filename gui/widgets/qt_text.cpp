#include "gui/widgets/qt_text.h"

#include <QList>

#include "core/util/charset.h"

namespace mervane::gui {

QString qtext(std::string_view cp1252) {
  const std::string utf8 = utf8_from_cp1252(cp1252);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string cptext(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return cp1252_from_utf8(
      std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

bool fits_cp1252(const QString& text) {
  for (const uint c : text.toUcs4())
    if (!cp1252_char(static_cast<char32_t>(c))) return false;
  return true;
}

}  // namespace mervane::gui
