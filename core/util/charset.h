// Windows-1252, UTF-8 and UTF-16.
//
// The program keeps its texts as single-byte Windows-1252, the character set of its files and of
// the MT4 terminal. Text arriving as UTF-8 (calendar pages, the command line) is converted on the
// way in, and listings for a UTF-8 terminal on the way out.
//
// The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the
// control characters U+0081 ... U+009D of the same number, as Windows itself converts them, so
// every byte string survives the round trip cp1252 -> UTF-8 -> cp1252 unchanged.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mervane {

// The Windows-1252 byte of a Unicode code point; nothing when the set has no such character.
std::optional<char> cp1252_char(char32_t code_point);

// One code point (up to U+10FFFF) appended as UTF-8.
void append_utf8(std::string& out, char32_t code_point);

// Every byte as its character in UTF-8.
std::string utf8_from_cp1252(std::string_view cp1252);

// UTF-8 text as Windows-1252. A character the set lacks becomes "?", and so does every
// ill-formed piece of UTF-8 (each maximal ill-formed subsequence, as Unicode recommends: a lone
// continuation byte, a cut-off sequence, an overlong form, a surrogate, a value past U+10FFFF).
std::string cp1252_from_utf8(std::string_view utf8);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF). The empty text and plain ASCII are.
bool is_valid_utf8(std::string_view bytes);

// A code point appended to UTF-8 text.
void append_utf8(std::string& out, char32_t code_point);

// UTF-16 (without its byte order mark) as UTF-8; a lone surrogate or an odd last byte becomes
// U+FFFD.
std::string utf8_from_utf16(std::string_view bytes, bool big_endian);
// UTF-8 as UTF-16LE; every ill-formed piece becomes U+FFFD.
std::string utf16le_from_utf8(std::string_view utf8);

// UTF-8 text in upper case as Windows compares file names: the letters of ASCII, Latin-1, Latin
// Extended-A, Greek and Cyrillic are raised, every other character stays; ill-formed pieces
// become U+FFFD.
std::string windows_upper(std::string_view utf8);

}  // namespace mervane
