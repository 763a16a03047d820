// The Wingdings symbol font by character code, as MT4 draws chart arrows: codes 33 to 255.
//
// Where no font named Wingdings that covers these codes is installed, each code is drawn as the
// Unicode character that stands for it (the correspondences added with Unicode 7.0), with a
// font that has them. Code 255 (the Windows logo) has none; a window shows its number instead.
#pragma once

#include <string>
#include <string_view>

namespace mervane {

constexpr int kFirstWingding = 33;
constexpr int kLastWingding = 255;

// The Unicode character of a Wingdings code; 0 for 255 and for codes outside 33 to 255.
char32_t wingdings_unicode(int code);

// The Unicode character of a Webdings code for the media arrows "3" to ":" (0x33 to 0x3A),
// which the windows use on their buttons; 0 for every other code.
char32_t webdings_unicode(int code);

// A text in a symbol font ("Wingdings" or "Webdings") as Unicode characters, code by code; a
// code without a character (and every code of another font) stays the character of its number.
std::u32string symbol_text(std::string_view font, std::string_view text);

}  // namespace mervane
