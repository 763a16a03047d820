#include "core/setup/terminal_files.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "core/runtime/paths.h"
#include "core/util/charset.h"
#include "core/util/md5.h"

namespace mervane {
namespace {

constexpr int kTimeframes[] = {1, 5, 15, 30, 60, 240, 1440, 10080, 43200};
// A period of its own beyond this many minutes (about two years) is no timeframe.
constexpr int kMaxMinutes = 1'000'000;

bool starts_with(std::string_view s, std::string_view p) {
  return s.substr(0, p.size()) == p;
}

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
}

// Every other byte 0 and the others plain ASCII: UTF-16LE text without its mark.
bool looks_like_utf16le(std::string_view b) {
  if (b.size() < 4 || b.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < b.size(); i += 2)
    if (b[i + 1] != '\0' || static_cast<unsigned char>(b[i]) >= 0x80) return false;
  return true;
}

std::string quoted_start(std::string_view s) {
  constexpr std::size_t kShown = 60;
  std::string out(1, '"');
  out.append(s.substr(0, kShown));
  if (s.size() > kShown) out.append("...");
  out.push_back('"');
  return out;
}

bool is_windows_path(std::string_view p) {
  const bool drive = p.size() >= 3 && std::isalpha(static_cast<unsigned char>(p[0])) &&
                     p[1] == ':' && (p[2] == '\\' || p[2] == '/');
  const bool network = p.size() > 2 && p[0] == '\\' && p[1] == '\\' && p[2] != '\\';
  return drive || network;
}

std::optional<int> timeframe_of(std::string_view digits) {
  if (digits.empty() || digits[0] == '0' || digits.size() > 7) return std::nullopt;
  int v = 0;
  for (char c : digits) v = v * 10 + (c - '0');
  if (v > kMaxMinutes) return std::nullopt;
  return v;
}

bool is_known_timeframe(int minutes) {
  return std::find(std::begin(kTimeframes), std::end(kTimeframes), minutes) !=
         std::end(kTimeframes);
}

struct Split {
  std::string symbol;
  int minutes = 0;
};

// The ways a stem can split: symbol and a known timeframe, shortest timeframe first; else the
// symbol before its trailing digits.
std::vector<Split> splits_of(std::string_view stem) {
  std::size_t digits = 0;
  while (digits < stem.size() &&
         std::isdigit(static_cast<unsigned char>(stem[stem.size() - 1 - digits])))
    ++digits;
  std::vector<Split> out;
  for (std::size_t k = 1; k <= digits && k < stem.size(); ++k) {
    const auto m = timeframe_of(stem.substr(stem.size() - k));
    if (m && is_known_timeframe(*m))
      out.push_back({std::string(stem.substr(0, stem.size() - k)), *m});
  }
  if (!out.empty()) return out;
  for (std::size_t k = std::min(digits, stem.size() - 1); k >= 1; --k) {
    if (const auto m = timeframe_of(stem.substr(stem.size() - k)))
      return {{std::string(stem.substr(0, stem.size() - k)), *m}};
  }
  return {};
}

}  // namespace

OriginText read_origin_text(std::string_view bytes) {
  if (bytes.size() > kMaxOriginBytes)
    return {{}, "too large for an origin.txt (" + std::to_string(bytes.size()) + " bytes)"};
  std::string text;
  if (starts_with(bytes, "\xFF\xFE") || starts_with(bytes, "\xFE\xFF")) {
    text = utf8_from_utf16(bytes.substr(2), bytes[0] == '\xFE');
    if (text.find("\xEF\xBF\xBD") != std::string::npos)
      return {{}, "broken UTF-16 text (a lone surrogate or an odd last byte)"};
  } else if (looks_like_utf16le(bytes)) {
    text = utf8_from_utf16(bytes, false);
  } else {
    if (starts_with(bytes, "\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (!is_valid_utf8(bytes)) return {{}, "neither UTF-16 nor UTF-8 text"};
    text = bytes;
  }
  std::string_view t = text;
  while (!t.empty() && is_blank(t.front())) t.remove_prefix(1);
  while (!t.empty() && is_blank(t.back())) t.remove_suffix(1);
  if (t.empty()) return {{}, "empty"};
  if (std::any_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }))
    return {{}, "holds more than one line or control characters: " + quoted_start(t)};
  if (!is_windows_path(t)) return {{}, "holds no absolute Windows path: " + quoted_start(t)};
  // "C:\MT4\" and "C:\MT4" are the same installation (as is "C:\MT4 \": Windows drops blanks
  // at the end of a name); the root keeps its separator.
  while (t.size() > 3 && (t.back() == '\\' || t.back() == '/' || is_blank(t.back())))
    t.remove_suffix(1);
  return {std::string(t), {}};
}

std::string data_folder_id(std::string_view windows_path) {
  return md5_hex(utf16le_from_utf8(windows_upper(windows_path)));
}

bool is_data_folder_id(std::string_view name) {
  return name.size() == 32 && std::all_of(name.begin(), name.end(), [](char c) {
           return std::isxdigit(static_cast<unsigned char>(c)) != 0;
         });
}

std::string timeframe_name(int minutes) {
  switch (minutes) {
    case 60:
      return "H1";
    case 240:
      return "H4";
    case 1440:
      return "D1";
    case 10080:
      return "W1";
    case 43200:
      return "MN1";
    default:
      return std::string(1, 'M').append(std::to_string(minutes));
  }
}

HistoryNames split_history_names(const std::vector<std::string>& names) {
  HistoryNames out;
  std::vector<std::pair<std::string, std::vector<Split>>> all;
  std::map<std::string, int> uses;  // upper-case symbol: files that can have it
  for (const std::string& name : names) {
    if (name.size() <= 4 || upper_ascii(name.substr(name.size() - 4)) != ".HST") continue;
    std::vector<Split> s = splits_of(std::string_view(name).substr(0, name.size() - 4));
    if (s.empty()) {
      out.not_history.push_back(name);
      continue;
    }
    std::vector<std::string> counted;
    for (const Split& one : s) {
      const std::string key = upper_ascii(one.symbol);
      if (std::find(counted.begin(), counted.end(), key) != counted.end()) continue;
      counted.push_back(key);
      ++uses[key];
    }
    all.emplace_back(name, std::move(s));
  }
  std::map<std::string, SymbolHistory> by_symbol;
  for (auto& [name, splits] : all) {
    // The most shared symbol; among equals the longer timeframe (the later split).
    const Split* best = &splits.front();
    for (const Split& s : splits)
      if (uses[upper_ascii(s.symbol)] >= uses[upper_ascii(best->symbol)]) best = &s;
    out.files.push_back({name, best->symbol, best->minutes});
    SymbolHistory& h = by_symbol[upper_ascii(best->symbol)];
    if (h.symbol.empty()) h.symbol = best->symbol;
    if (std::find(h.minutes.begin(), h.minutes.end(), best->minutes) == h.minutes.end())
      h.minutes.push_back(best->minutes);
  }
  for (auto& [key, h] : by_symbol) {
    std::sort(h.minutes.begin(), h.minutes.end());
    out.symbols.push_back(std::move(h));
  }
  return out;
}

}  // namespace mervane
