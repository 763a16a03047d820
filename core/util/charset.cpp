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
