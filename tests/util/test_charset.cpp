#include "core/util/charset.h"

#include <gtest/gtest.h>

#include <string>

namespace mervane {
namespace {

struct Pair {
  const char* cp1252;
  const char* utf8;
};

TEST(Charset, ConvertsBothWays) {
  for (const Pair& p : {Pair{"abc", "abc"},
                        {"\x80", "\xE2\x82\xAC"},            // euro sign
                        {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},  // e acute
                        {"\x92", "\xE2\x80\x99"},            // right single quote
                        {"\x9F", "\xC5\xB8"},                // Y diaeresis
                        {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},    // Latin-1 half
                        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"}}) {
    EXPECT_EQ(utf8_from_cp1252(p.cp1252), p.utf8) << p.cp1252;
    EXPECT_EQ(cp1252_from_utf8(p.utf8), p.cp1252) << p.utf8;
  }
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = utf8_from_cp1252(all);
  EXPECT_TRUE(is_valid_utf8(utf8));
  EXPECT_EQ(cp1252_from_utf8(utf8), all);
}

TEST(Charset, UnmappableAndIllFormedBecomeQuestionMarks) {
  for (const Pair& p : {Pair{"?", "\xE4\xB8\xAD"},  // CJK character
                        {"a?b",
                         "a\xF0\x9F\x98\x80"
                         "b"},              // emoji: one mark
                        {"?", "\xC2\x80"},  // U+0080: not in the set
                        {"?", "\x80"},      // lone continuation byte
                        {"?", "\xC3"},      // cut off at the end
                        {"?A",
                         "\xE2\x82"
                         "A"},                         // cut off before a letter
                        {"??", "\xC0\xAF"},            // overlong slash
                        {"???", "\xE0\x80\x80"},       // overlong, three bytes
                        {"???", "\xED\xA0\x80"},       // surrogate
                        {"????", "\xF4\x90\x80\x80"},  // past U+10FFFF
                        {"?", "\xFF"}}) {
    EXPECT_EQ(cp1252_from_utf8(p.utf8), p.cp1252) << p.utf8;
  }
}

TEST(Charset, RecognisesWellFormedUtf8) {
  for (const char* ok :
       {"", "plain", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"})
    EXPECT_TRUE(is_valid_utf8(ok)) << ok;
  for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xE0\x80\x80", "\xED\xA0\x80",
                          "\xF4\x90\x80\x80", "\xFF", "caf\xE9"})
    EXPECT_FALSE(is_valid_utf8(bad)) << bad;
  EXPECT_EQ(cp1252_char(U'\u20AC'), '\x80');
  EXPECT_EQ(cp1252_char(U'\u4E2D'), std::nullopt);
}

TEST(Charset, Utf16AndWindowsUpperCase) {
  using namespace std::string_literals;
  const struct {
    std::string utf8, utf16le, upper;
  } cases[] = {
      {"a:\\b"s, "a\0:\0\\\0b\0"s, "A:\\B"s},
      // Latin-1, Latin Extended-A, Greek (final sigma), Cyrillic; the sign of division and a
      // Chinese character stay.
      {"\xC3\xA9\xC3\xBF\xC3\xB7\xC5\x93"s, "\xE9\0\xFF\0\xF7\0\x53\x01"s,
       "\xC3\x89\xC5\xB8\xC3\xB7\xC5\x92"s},
      {"\xCF\x82\xCE\xAC\xD0\xB0\xD1\x91\xE4\xB8\xAD"s, "\xC2\x03\xAC\x03\x30\x04\x51\x04\x2D\x4E"s,
       "\xCE\xA3\xCE\x86\xD0\x90\xD0\x81\xE4\xB8\xAD"s},
      {"\xF0\x9F\x98\x80"s, "\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80"s},  // a surrogate pair
      {"\xFF"s, "\xFD\xFF"s, "\xEF\xBF\xBD"s},                          // ill-formed: U+FFFD
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utf16le_from_utf8(c.utf8), c.utf16le) << c.utf8;
    EXPECT_EQ(windows_upper(c.utf8), c.upper) << c.utf8;
    if (is_valid_utf8(c.utf8)) {
      EXPECT_EQ(utf8_from_utf16(c.utf16le, false), c.utf8) << c.utf8;
    }
  }
  EXPECT_EQ(utf8_from_utf16("\0A\xD8\x3D"s, true), "A\xEF\xBF\xBD");
}

}  // namespace
}  // namespace mervane
