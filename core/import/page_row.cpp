#include "core/import/page_row.h"

#include <array>
#include <utility>

#include "core/runtime/paths.h"
#include "core/util/charset.h"
#include "core/util/helpers.h"

namespace mervane {
namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// 12-hour to 24-hour on characters 1-3 ("hh:") by the am/pm mark in characters 6-7. Only
// lower-case marks and hours 01-12 are in the table; anything else stays as it is.
void convert_12_hour(std::string& t) {
  if (t.size() < 7 || !is_digit(t[0]) || !is_digit(t[1]) || t[2] != ':') return;
  const int h = (t[0] - '0') * 10 + (t[1] - '0');
  const std::string_view mark = std::string_view(t).substr(5, 2);
  if (h < 1 || h > 12 || (mark != "am" && mark != "pm")) return;
  int h24 = h;
  if (mark == "am" && h == 12) h24 = 0;
  if (mark == "pm" && h < 12) h24 = h + 12;
  t[0] = static_cast<char>('0' + h24 / 10);
  t[1] = static_cast<char>('0' + h24 % 10);
}

void normalise_time(RowFields& row, const PageOptions& options, RowTime time) {
  std::string t = trim(row.stime.view());
  if (time == RowTime::Cell && !t.empty() && is_digit(t[0])) {
    if (t.size() >= 2 && t[1] == ':') t.insert(t.begin(), '0');
    t = std::string(Text<20>(t).view());
    if (t.size() > 6) {
      convert_12_hour(t);
      t.resize(5);
    }
    row.stime = t;
    return;
  }
  // Untimed: the time cell's text goes into the description (" <<Tentative>>", " <<>>").
  row.sdescr = std::string(row.sdescr.view()) + " <<" + t + ">>";
  row.stime = "00:01";
  if (!options.incut) row.simpct = "0";
}

void normalise_currency(RowFields& row, const PageOptions& options) {
  row.sccy = upper_ascii(row.sccy.view());
  if (!options.cnvfmt) return;
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kOldNames = {{
      {"AUS", "AUD"},
      {"CAN", "CAD"},
      {"E-12", "EUR"},
      {"JPN", "JPY"},
      {"NZ", "NZD"},
      {"UK", "GBP"},
      {"USA", "USD"},
      {"GER", "EUR"},
  }};
  for (const auto& [old_name, code] : kOldNames) {
    if (row.sccy != old_name) continue;
    if (old_name == "GER") row.sdescr = "German " + std::string(row.sdescr.view());
    row.sccy = code;
    return;
  }
}

// Replaces every occurrence of find, left to right, without searching the replacement again.
void replace_all(std::string& s, std::string_view find, std::string_view with) {
  std::size_t at = s.find(find);
  if (at == std::string::npos) return;
  std::string out;
  std::size_t from = 0;
  for (; at != std::string::npos; at = s.find(find, from)) {
    out.append(s, from, at - from);
    out += with;
    from = at + find.size();
  }
  out.append(s, from);
  s = std::move(out);
}

template <std::size_t N>
void decode(Text<N>& field) {
  field = strip_tokens(field.view());
}

}  // namespace

std::string strip_tokens(std::string_view tmp2) {
  std::string t(clip(tmp2.substr(0, 60)));
  if (t.find('&') != std::string::npos) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kEntities = {{
        {"&amp;", "+"},
        {"&lt;", "<"},
        {"&gt;", ">"},
        {"&quot;", "\""},
        {"&circ;", "^"},
        {"&tilde;", "~"},
    }};
    for (const auto& [entity, ch] : kEntities) replace_all(t, entity, ch);
  }
  std::string out;
  out.reserve(t.size());
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '&') {
      const std::size_t semi = t.find(';', i + 1);
      if (semi == std::string::npos) break;
      i = semi;
      continue;
    }
    out += c == '_' ? ' ' : c;
  }
  return std::string(clip(out));
}

std::string_view impact_code(std::string_view word, bool nonecon) {
  const std::string w = upper_ascii(word);
  if (w == "HIGH") return "3";
  if (w == "MEDIUM") return "2";
  if (w == "LOW") return "1";
  if (w == "HOLIDAY" || w == "NON-ECONOMIC") return nonecon ? "1" : "0";
  return "0";
}

std::string page_text(std::string_view v, bool utf8) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!v.empty() && space(v.front())) v.remove_prefix(1);
  while (!v.empty() && space(v.back())) v.remove_suffix(1);
  bool ascii = true;
  for (char c : v) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  std::string text = !utf8 || ascii ? std::string(v) : cp1252_from_utf8(v);
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '_') c = ' ';
    if (c == '&') c = '+';
  }
  return text;
}

int currency_symbol(std::string_view currency) {
  static constexpr std::array<std::pair<std::string_view, int>, 9> kSymbols = {{
      {"ALL", 139},
      {"USD", 140},
      {"CAD", 141},
      {"EUR", 142},
      {"GBP", 143},
      {"CHF", 144},
      {"JPY", 145},
      {"AUD", 146},
      {"NZD", 147},
  }};
  const std::string_view c = clip(currency);
  for (const auto& [code, symbol] : kSymbols)
    if (c == code) return symbol;
  return c.size() == 3 ? 148 : 0;
}

bool finish_row(RowFields& row, const PageOptions& options, std::int32_t date, PageEvent& out,
                RowTexts texts, RowTime time) {
  normalise_time(row, options, time);
  if (row.sact.blank() && row.sfcast.blank() && row.sprev.blank() && !options.incuv)
    row.simpct = "0";
  normalise_currency(row, options);
  const int symbol = currency_symbol(row.sccy.view());
  char impact = 0;
  if (row.simpct == "1") impact = 'L';
  if (row.simpct == "2") impact = 'M';
  if (row.simpct == "3") impact = 'H';
  if (texts == RowTexts::Entities) {
    decode(row.sdescr);
    decode(row.sact);
    decode(row.sprev);
    decode(row.sfcast);
    decode(row.srevfrm);
  }
  if (!impact) return false;

  out.date = date;
  out.time_text = row.stime.str();
  out.currency = row.sccy.str();
  out.descr = row.sdescr.str();
  out.impact = impact;
  out.color = row.simpct.at(1);
  out.symbol = symbol;
  out.actual = row.sact.str();
  out.forecast = row.sfcast.str();
  out.previous = row.sprev.str();
  out.revisedfrom = row.srevfrm.str();
  out.kxid = row.skxid.str();
  return true;
}

}  // namespace mervane
