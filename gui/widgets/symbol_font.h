// Drawing Wingdings (and the few Webdings arrows the windows use) on a system that may lack the
// fonts: a font of that name is used only when it covers the codes (the Wine font named
// Wingdings covers 48 of them); otherwise each code is drawn as its Unicode character with
// Symbola, which has them all.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <string_view>

namespace mervane::gui {

struct SymbolFont {
  QFont font;
  bool native = false;  // the font of the name itself; codes drawn as themselves
  char32_t base = 0;    // native fonts: 0 or 0xF000 (symbol fonts keep their codes there)
};

// The font that draws Wingdings codes 33 to 254 (on first use; then kept).
const SymbolFont& wingdings_font();
// The font that draws Webdings arrow codes.
const SymbolFont& webdings_font();
// The choice among installed families, for a font of this name: a family of exactly that name
// that covers every code of [first, last], directly or from 0xF000; else Symbola.
SymbolFont choose_symbol_font(const QStringList& families, const QString& name, int first,
                              int last);

// The text that draws a code in the font (empty for a code it has no character for).
QString symbol_glyph(const SymbolFont& f, std::string_view font_name, int code);
// The same, or the code's number where the font has no character for it.
QString symbol_or_code(const SymbolFont& f, std::string_view font_name, int code);
// The font of a symbol font's name: "Webdings" or (any other) "Wingdings".
const SymbolFont& symbol_font_named(std::string_view name);

}  // namespace mervane::gui
