// One table row of the calendar page while it is read: the captured cell texts (INIT_VARS gives
// their reset values), the row finish that normalises them into a finished event, and the
// entity decoder STRIP_TOKENS. Used by the page reader; plain values and functions, no state of
// their own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/import/page_reader.h"
#include "core/util/text.h"

namespace mervane {

// The row fields, at their reset values (every field blank, the impact code "0").
struct RowFields {
  Text<20> stime;
  Text<20> sccy;
  Text<60> sdescr;
  Text<20> simpct = "0";
  Text<20> sact;
  Text<20> sfcast;
  Text<20> sprev;
  Text<20> srevfrm;
  Text<6> skxid;
};

// Whether the row's texts still hold the page's character entities (decoded by finish_row) or
// are plain text already (the feed's, which its XML parser decoded).
enum class RowTexts { Entities, Plain };

// Whether the time field is a cell to read (a clock time when it starts with a digit, untimed
// otherwise) or the label of an event its source marks untimed, whatever the label starts with.
enum class RowTime { Cell, UntimedLabel };

// Finishes a row of the day dated `date`: normalises time, currency and impact, decodes the
// texts, and fills `out` when the row makes an event (it carries an impact letter). The row
// fields are left normalised; the caller resets them.
[[nodiscard]] bool finish_row(RowFields& row, const PageOptions& options, std::int32_t date,
                              PageEvent& out, RowTexts texts = RowTexts::Entities,
                              RowTime time = RowTime::Cell);

// STRIP_TOKENS: the named entities the page uses replaced ("&amp;" by "+", "&lt;", "&gt;",
// "&quot;", "&circ;", "&tilde;" by their characters, one kind after the other), every other
// "&...;" removed (an "&" without ";" after it drops the rest), and underscores turned into
// blanks. Works on the first 60 characters; the result is at most 60, clipped.
std::string strip_tokens(std::string_view tmp2);

// The impact code of an impact word of the feed or of today's pages: "3" high, "2" medium,
// "1" low, and for holidays and non-economic items "1" while NONECON is on, "0" otherwise; "0"
// for anything else. Letter case is ignored.
std::string_view impact_code(std::string_view word, bool nonecon);

// A value of the feed or of today's pages as the old page's decoded texts read: outer white
// space trimmed, in Windows-1252 (converted when `utf8`), "&" as "+", and "_" and every control
// character as a blank, so that no value can break a line of the files written from it.
std::string page_text(std::string_view value, bool utf8);

// The Wingdings symbol code of a currency: ALL 139, USD 140, ..., NZD 147, any other
// three-character code 148, anything else 0.
int currency_symbol(std::string_view currency);

}  // namespace mervane
