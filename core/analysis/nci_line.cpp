#include "core/analysis/nci_line.h"

#include <array>
#include <vector>

#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "core/util/num_only.h"
#include "core/util/picture.h"

namespace mervane {
namespace {

constexpr std::size_t kDescrWidth = 50, kValueWidth = 10;

std::string_view strip(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return clip(s);
}

// Left-justified and padded (or cut) to width.
std::string column(std::string_view s, std::size_t width) {
  std::string out(strip(s).substr(0, width));
  out.resize(width, ' ');
  return out;
}

std::string_view impact_word(std::string_view impact) {
  if (impact == "H") return "High";
  if (impact == "M") return "Medium";
  if (impact == "L") return "Low";
  return "";
}

// The digits among n characters from position from (1-based) as a number; other characters
// are skipped.
int number_at(std::string_view s, std::size_t from, std::size_t n) {
  int v = 0;
  for (std::size_t i = from - 1; i < from - 1 + n && i < s.size(); ++i)
    if (s[i] >= '0' && s[i] <= '9') v = v * 10 + (s[i] - '0');
  return v;
}

std::vector<std::string_view> split(std::string_view s) {
  std::vector<std::string_view> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = s.find(',', from);
    parts.push_back(s.substr(from, comma == std::string_view::npos ? s.npos : comma - from));
    if (comma == std::string_view::npos) return parts;
    from = comma + 1;
  }
}

// The description and the four values between the impact and the KX ID.
std::array<std::string_view, 5> middle_fields(std::string_view middle) {
  constexpr std::size_t kWritten = kDescrWidth + 4 * (1 + kValueWidth);
  std::array<std::string_view, 5> f{};
  bool written_layout = middle.size() == kWritten;
  for (std::size_t i = 0; written_layout && i < 4; ++i)
    written_layout = middle[kDescrWidth + i * (1 + kValueWidth)] == ',';
  if (written_layout) {
    f[0] = middle.substr(0, kDescrWidth);
    for (std::size_t i = 0; i < 4; ++i)
      f[i + 1] = middle.substr(kDescrWidth + 1 + i * (1 + kValueWidth), kValueWidth);
    return f;
  }
  for (std::size_t i = 4; i >= 1; --i) {
    const std::size_t comma = middle.rfind(',');
    f[i] = middle.substr(comma + 1);
    middle = middle.substr(0, comma);
  }
  f[0] = middle;
  return f;
}

}  // namespace

std::string nci_line(const NcidbRecord& r) {
  const Ymd d = ymd_of(r.date);
  const std::string time = format_value("t1", r.time);
  std::string line = column(r.ncivalue.view(), 3);
  line += ',';
  line += format_value("N04", static_cast<double>(d.year));
  line += '.';
  line += format_value("N02", d.month);
  line += '.';
  line += format_value("N02", d.day);
  line += ' ';
  line += time.empty() ? "0" : time;
  const std::pair<std::string_view, std::size_t> fields[] = {{r.ccy.view(), 4},
                                                             {impact_word(r.impact.view()), 7},
                                                             {r.descr.view(), kDescrWidth},
                                                             {r.actual.view(), kValueWidth},
                                                             {r.forecast.view(), kValueWidth},
                                                             {r.previous.view(), kValueWidth},
                                                             {r.revfrom.view(), kValueWidth},
                                                             {r.kxid.view(), 6}};
  for (const auto& [text, width] : fields) {
    line += ',';
    line += column(text, width);
  }
  return line;
}

std::optional<NcidbRecord> read_nci_line(std::string_view line) {
  if (strip(line).empty()) return std::nullopt;
  const std::vector<std::string_view> parts = split(line);
  std::array<std::string_view, 10> f{};
  if (parts.size() < f.size()) {
    for (std::size_t i = 0; i < parts.size(); ++i) f[i] = parts[i];
  } else {
    for (std::size_t i = 0; i < 4; ++i) f[i] = parts[i];
    const std::size_t start = static_cast<std::size_t>(parts[4].data() - line.data());
    const std::size_t end = static_cast<std::size_t>(parts.back().data() - line.data()) - 1;
    const auto mid = middle_fields(line.substr(start, end - start));
    for (std::size_t i = 0; i < mid.size(); ++i) f[4 + i] = mid[i];
    f[9] = parts.back();
  }
  for (auto& v : f) v = strip(v);

  NcidbRecord r;
  r.ncivalue = f[0];
  if (!f[1].empty()) {
    const std::string_view w = f[1];
    r.date = date_serial(number_at(w, 1, 4), number_at(w, 6, 2), number_at(w, 9, 2)).value_or(0);
    r.time = tod(number_at(w, 12, 2), number_at(w, 15, 2));
  }
  r.ccy = f[2];
  r.impact = f[3].substr(0, 1);
  r.descr = f[4];
  r.actual = f[5];
  r.forecast = f[6];
  r.previous = f[7];
  r.revfrom = f[8];
  r.kxid = f[9];
  return r;
}

std::int32_t nci_score(const NcidbRecord& r) {
  if (r.actual.blank()) return 0;
  const std::string_view imp = r.impact.view();
  const int w = imp == "H" ? 8 : imp == "M" ? 4 : imp == "L" ? 2 : 0;
  const double a = num_only(r.actual.view());
  std::int32_t score = 0;
  if (!r.revfrom.blank()) {
    score += w * sgn(a - num_only(r.revfrom.view()));
  } else if (!r.previous.blank()) {
    score += w * sgn(a - num_only(r.previous.view()));
  }
  if (!r.forecast.blank()) score += sgn(a - num_only(r.forecast.view()));
  return score;
}

}  // namespace mervane
