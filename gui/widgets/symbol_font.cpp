#include "gui/widgets/symbol_font.h"

#include <QFontDatabase>
#include <QRawFont>

#include "core/util/wingdings.h"

namespace mervane::gui {
namespace {

bool covers(const QRawFont& raw, char32_t base, int first, int last) {
  for (int code = first; code <= last; ++code)
    if (!raw.supportsCharacter(base + static_cast<char32_t>(code))) return false;
  return true;
}

}  // namespace

SymbolFont choose_symbol_font(const QStringList& families, const QString& name, int first,
                              int last) {
  if (families.contains(name, Qt::CaseInsensitive)) {
    QFont f(name);
    f.setStyleStrategy(QFont::NoFontMerging);
    const QRawFont raw = QRawFont::fromFont(f);
    if (raw.isValid() && raw.familyName().compare(name, Qt::CaseInsensitive) == 0) {
      for (char32_t base : {char32_t{0}, char32_t{0xF000}})
        if (covers(raw, base, first, last)) return {f, true, base};
    }
  }
  QFont symbola(QStringLiteral("Symbola"));
  symbola.setStyleStrategy(QFont::NoFontMerging);
  return {symbola, false, 0};
}

const SymbolFont& wingdings_font() {
  static const SymbolFont f = choose_symbol_font(QFontDatabase::families(),
                                                 QStringLiteral("Wingdings"), kFirstWingding, 254);
  return f;
}

const SymbolFont& webdings_font() {
  static const SymbolFont f =
      choose_symbol_font(QFontDatabase::families(), QStringLiteral("Webdings"), 0x33, 0x3A);
  return f;
}

QString symbol_glyph(const SymbolFont& f, std::string_view font_name, int code) {
  if (f.native) {
    const char32_t c = f.base + static_cast<char32_t>(code);
    return QString::fromUcs4(&c, 1);
  }
  const char32_t c = font_name == "Webdings" ? webdings_unicode(code) : wingdings_unicode(code);
  return c == 0 ? QString() : QString::fromUcs4(&c, 1);
}

QString symbol_or_code(const SymbolFont& f, std::string_view font_name, int code) {
  const QString g = symbol_glyph(f, font_name, code);
  return g.isEmpty() && code > 0 ? QString::number(code) : g;
}

const SymbolFont& symbol_font_named(std::string_view name) {
  return name == "Webdings" ? webdings_font() : wingdings_font();
}

}  // namespace mervane::gui
