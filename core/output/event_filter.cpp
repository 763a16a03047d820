#include "core/output/event_filter.h"

#include <string>

#include "core/runtime/paths.h"
#include "core/util/text.h"

namespace mervane {
namespace {

// A term passes when it occurs in the upper-case description, or, negated, when it does not.
// The term itself is not converted, so a term with lower-case letters never occurs.
bool term_holds(const std::string& term, const std::string& upper_descr, bool negate) {
  const bool found = upper_descr.find(term) != std::string::npos;
  return found != negate;
}

}  // namespace

void proc_descr(std::string_view filter, std::string_view descr, bool& match) {
  filter = clip(filter);
  if (filter.empty()) return;
  const std::string upper = upper_ascii(clip(descr));
  match = true;
  std::string term;
  bool negate = filter[0] == '~';
  for (std::size_t i = negate ? 1 : 0; i < filter.size(); ++i) {
    const char c = filter[i];
    if (c == '|') {
      if (!term_holds(term, upper, negate)) {
        match = false;
        return;
      }
      term.clear();
      negate = i + 1 < filter.size() && filter[i + 1] == '~';
      if (negate) ++i;
    } else if (c != ' ') {
      term += c;
    }
  }
  if (!term.empty() && !term_holds(term, upper, negate)) match = false;
}

bool is_other_currency(std::string_view currency) {
  currency = clip(currency);
  if (currency.size() != 3) return false;
  static constexpr std::string_view kKnown[] = {"ALL", "USD", "CAD", "EUR", "GBP",
                                                "CHF", "JPY", "AUD", "NZD"};
  for (std::string_view k : kKnown)
    if (currency == k) return false;
  return true;
}

std::optional<std::int16_t> symbol_setting(const BuildSettings& s, std::string_view currency) {
  currency = clip(currency);
  if (currency.size() != 3) return std::nullopt;
  if (currency == "ALL") return s.symall;
  if (currency == "USD") return s.symusd;
  if (currency == "CAD") return s.symcad;
  if (currency == "EUR") return s.symeur;
  if (currency == "GBP") return s.symgbp;
  if (currency == "CHF") return s.symchf;
  if (currency == "JPY") return s.symjpy;
  if (currency == "AUD") return s.symaud;
  if (currency == "NZD") return s.symnzd;
  return s.symotr;
}

std::optional<std::int16_t> color_setting(const BuildSettings& s, std::string_view impact) {
  impact = clip(impact);
  if (impact == "L") return s.symlow;
  if (impact == "M") return s.symmed;
  if (impact == "H") return s.symhigh;
  return std::nullopt;
}

bool passes_filters(const BuildSettings& s, const CalendarRecord& r) {
  if (const auto sym = symbol_setting(s, r.currency); sym && *sym == 0) return false;
  if (const auto col = color_setting(s, r.impact); col && *col == 0) return false;
  // The four filters are alternatives: the next is tried only when the one before failed, so
  // an empty first filter lets every description through.
  bool match = true;
  for (const auto* f : {&s.descr1, &s.descr2, &s.descr3, &s.descr4}) {
    proc_descr(*f, r.descr, match);
    if (match) break;
  }
  if (!match) return false;
  if (s.check2 != 0 && r.actual.blank()) return false;
  return true;
}

}  // namespace mervane
