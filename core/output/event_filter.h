// Which events of the history go into News.CSV and the export, and the symbol and colour each
// one gets there.
//
// A setting of 0 for a currency or an impact level leaves those events out, a positive setting
// gives them that symbol or colour, and a negative one keeps the stored value. The description
// filters are four alternatives, each a list of terms joined by "|", a "~" in front of a term
// negating it. All functions are pure.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/model/records.h"
#include "core/model/settings.h"

namespace mervane {

// PROC_DESCR: clears match when the description does not satisfy one filter text. An empty
// filter leaves match as it was. Terms are compared with the description in upper case; blanks
// inside a term are dropped ("NON FARM" is the term "NONFARM").
void proc_descr(std::string_view filter, std::string_view descr, bool& match);

// A currency code of three characters outside ALL, USD, CAD, EUR, GBP, CHF, JPY, AUD and NZD.
bool is_other_currency(std::string_view currency);

// The symbol setting that applies to a currency: SYMALL ... SYMNZD, SYMOTR for another
// three-letter code; nothing for an empty currency or a code of another length, which no
// currency rule touches.
std::optional<std::int16_t> symbol_setting(const BuildSettings& s, std::string_view currency);
// The colour setting of an impact letter: SYMLOW, SYMMED, SYMHIGH; nothing for other letters.
std::optional<std::int16_t> color_setting(const BuildSettings& s, std::string_view impact);

// Whether an event passes the currency, impact, description and actual-value rules.
bool passes_filters(const BuildSettings& s, const CalendarRecord& r);

}  // namespace mervane
