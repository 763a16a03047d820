// The Wingdings table against the published correspondence (tests/data/util, the Unicode
// proposal's table as shared data) and the symbol texts the windows draw.
#include "core/util/wingdings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace mervane {
namespace {

TEST(WingdingsTest, EveryCodeMatchesThePublishedTable) {
  std::ifstream in(std::string(MERVANE_TEST_DATA) + "/util/wingdings-unicode.tsv");
  ASSERT_TRUE(in) << "table missing";
  std::string line;
  int rows = 0, expect = kFirstWingding;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int code = 0;
    std::string unicode;
    fields >> code >> unicode;
    ASSERT_EQ(code, expect++) << "codes out of order";
    const char32_t want =
        unicode == "-" ? 0 : static_cast<char32_t>(std::stoul(unicode.substr(2), nullptr, 16));
    EXPECT_EQ(wingdings_unicode(code), want) << code;
    ++rows;
  }
  EXPECT_EQ(rows, 223);
}

TEST(WingdingsTest, CodesOutsideTheFontHaveNoCharacter) {
  for (int code : {-1, 0, 32, 255, 256, 1000}) EXPECT_EQ(wingdings_unicode(code), 0u) << code;
  EXPECT_EQ(wingdings_unicode(140), U'\u278A');  // USD's default symbol: a circled 1
}

TEST(WingdingsTest, SymbolTextsBecomeTheirCharacters) {
  const struct {
    const char* font;
    std::string text;
    std::u32string want;
  } cases[] = {
      {"Webdings", "7348", U"\u23EA\u23F4\u23F5\u23E9"},
      {"Wingdings", "\x8C", U"\u278A"},
      {"Wingdings", "\xFF", U"\u00FF"},  // no character: stays its code
      {"Webdings", "A", U"A"},
      {"", "\x8C", U"\u008C"},
  };
  for (const auto& t : cases) EXPECT_EQ(symbol_text(t.font, t.text), t.want) << t.font;
}

}  // namespace
}  // namespace mervane
