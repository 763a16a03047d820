#include "core/util/charset.h"

#include <cstdint>

namespace mervane {
namespace {

// Code points of the bytes 0x80-0x9F; the rest of the upper half equals Latin-1.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char32_t code_point_of(unsigned char b) {
  return b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char32_t{b};
}

struct Decoded {
  std::size_t length = 1;      // bytes taken; at least 1
  std::optional<char32_t> cp;  // nothing for an ill-formed subsequence
};

// The character at the front of s, or the maximal ill-formed subsequence there (the longest
// start of a well-formed sequence, at least one byte).
Decoded decode(std::string_view s) {
  const auto b0 = static_cast<unsigned char>(s[0]);
  if (b0 < 0x80) return {1, b0};
  int need = 0;
  char32_t cp = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;  // overlong below
    if (b0 == 0xED) hi = 0x9F;  // surrogates above
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;  // overlong below
    if (b0 == 0xF4) hi = 0x8F;  // past U+10FFFF above
  } else {
    return {1, std::nullopt};
  }
  std::size_t i = 1;
  for (int k = 0; k < need; ++k, ++i) {
    if (i >= s.size()) return {i, std::nullopt};
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < (k == 0 ? lo : 0x80) || b > (k == 0 ? hi : 0xBF)) return {i, std::nullopt};
    cp = (cp << 6) | (b & 0x3F);
  }
  return {i, cp};
}

// Windows' upper case of a character as its file names compare: ASCII, Latin-1, Latin
// Extended-A, Greek and Cyrillic letters; everything else stands as it is.
char32_t windows_upper_char(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x137) return c & ~char32_t{1};
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c % 2 == 0 ? c - 1 : c;
  if (c >= 0x14A && c <= 0x177) return c & ~char32_t{1};
  if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3CB)) return c - 0x20;
  if (c == 0x3C2) return 0x3A3;  // final sigma
  if (c == 0x3AC) return 0x386;
  if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

// Each character of UTF-8 text in turn, U+FFFD for every ill-formed piece.
template <class F>
void for_each_char(std::string_view utf8, F f) {
  while (!utf8.empty()) {
    const Decoded d = decode(utf8);
    f(d.cp.value_or(0xFFFD));
    utf8.remove_prefix(d.length);
  }
}

}  // namespace

void append_utf8(std::string& out, char32_t cp) {
  const auto byte = [&](std::uint32_t v) { out.push_back(static_cast<char>(v)); };
  if (cp < 0x80) {
    byte(cp);
  } else if (cp < 0x800) {
    byte(0xC0 | (cp >> 6));
    byte(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    byte(0xE0 | (cp >> 12));
    byte(0x80 | ((cp >> 6) & 0x3F));
    byte(0x80 | (cp & 0x3F));
  } else {
    byte(0xF0 | (cp >> 18));
    byte(0x80 | ((cp >> 12) & 0x3F));
    byte(0x80 | ((cp >> 6) & 0x3F));
    byte(0x80 | (cp & 0x3F));
  }
}

std::string utf8_from_utf16(std::string_view bytes, bool big_endian) {
  std::string out;
  out.reserve(bytes.size());
  const auto unit = [&](std::size_t i) {
    const auto hi = static_cast<unsigned char>(bytes[big_endian ? i : i + 1]);
    const auto lo = static_cast<unsigned char>(bytes[big_endian ? i + 1 : i]);
    return static_cast<char32_t>(hi << 8 | lo);
  };
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    append_utf8(out, c >= 0xD800 && c <= 0xDFFF ? char32_t{0xFFFD} : c);
  }
  if (i < bytes.size()) append_utf8(out, 0xFFFD);
  return out;
}

std::string utf16le_from_utf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  const auto unit = [&](char32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  };
  for_each_char(utf8, [&](char32_t c) {
    if (c < 0x10000) {
      unit(c);
    } else {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  });
  return out;
}

std::string windows_upper(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for_each_char(utf8, [&](char32_t c) { append_utf8(out, windows_upper_char(c)); });
  return out;
}

std::optional<char> cp1252_char(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (unsigned char b = 0x80; b < 0xA0; ++b)
    if (kHigh[b - 0x80] == cp) return static_cast<char>(b);
  return std::nullopt;
}

std::string utf8_from_cp1252(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (const char c : cp1252) append_utf8(out, code_point_of(static_cast<unsigned char>(c)));
  return out;
}

std::string cp1252_from_utf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const Decoded d = decode(utf8);
    out.push_back(d.cp ? cp1252_char(*d.cp).value_or('?') : '?');
    utf8.remove_prefix(d.length);
  }
  return out;
}

bool is_valid_utf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const Decoded d = decode(bytes);
    if (!d.cp) return false;
    bytes.remove_prefix(d.length);
  }
  return true;
}

}  // namespace mervane
