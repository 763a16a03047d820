#include "core/output/export_writer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/output/news_line.h"
#include "core/runtime/paths.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "core/util/num_only.h"
#include "core/util/picture.h"

namespace mervane {
namespace {

constexpr int kXml = 2, kTab = 3, kChar = 4, kCols = 5;

std::string_view impact_word(std::string_view impact) {
  impact = clip(impact);
  if (impact == "L") return "Low";
  if (impact == "M") return "Medium";
  if (impact == "H") return "High";
  return "Unknown";
}

// The date in the DATEFMT order ("D": day first, "M": month first, else year first) joined by
// its second character.
std::string export_date(std::int32_t date, const Text<2>& fmt) {
  const Ymd d = ymd_of(date);
  const char sep = fmt.at(2);
  std::string year, day, month;
  append_padded(year, d.year, 4);
  append_padded(day, d.day, 2);
  append_padded(month, d.month, 2);
  const std::string* parts[3] = {&year, &month, &day};
  if (fmt.at(1) == 'D') parts[0] = &day, parts[2] = &year;
  if (fmt.at(1) == 'M') parts[0] = &month, parts[1] = &day, parts[2] = &year;
  std::string out = *parts[0];
  out += sep;
  out += *parts[1];
  out += sep;
  out += *parts[2];
  return out;
}

// Title and underline pieces of the Cols kind, in column order, in underscore form.
struct ColumnPiece {
  const char* title;
  const char* underline;
  int width;
};
constexpr ColumnPiece kPieces[] = {
    {"___Date_____", "___----_____", 12},
    {"Time___", "-----__", 7},
    {"Ccy__", "---__", 5},
    {"Description_______________________________", "----------------------------------------__",
     42},
    {"Impact___", "------___", 9},
    {"Actual___", "--------_", 9},
    {"Forecast_", "--------_", 9},
    {"Previous_", "--------_", 9},
    {"Rev.from_", "--------_", 9},
    {"KX ID", "-----", 7},
};

}  // namespace

std::string export_file_name(std::string_view export_name, std::string_view news_name) {
  if (!export_name.empty() && export_name[0] == '*')
    return folder_part(clip(news_name)) + std::string(clip(export_name.substr(1)));
  return std::string(clip(export_name));
}

std::string numbers_only_text(std::string_view value) {
  const double v = num_only(value);
  if (v == 0 || !std::isfinite(v)) return "0";
  // Fourteen significant digits, then placed around the point by the exponent.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.13e", std::fabs(v));
  std::string digits;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') digits += *p;
  const int exp = *p == 'e' ? std::atoi(p + 1) : 0;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = v < 0 ? "-" : "";
  if (exp < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-exp - 1), '0');
    out += digits;
  } else {
    const auto whole = static_cast<std::size_t>(exp) + 1;
    if (digits.size() <= whole) {
      out += digits;
      out.append(whole - digits.size(), '0');
    } else {
      out += digits.substr(0, whole);
      out += '.';
      out += digits.substr(whole);
    }
  }
  return out;
}

ExportWriter::ExportWriter(const BuildSettings& s, Reporter& r, std::filesystem::path folder,
                           FileSystem& fs)
    : s_(s), r_(&r), folder_(std::move(folder)), fs_(&fs) {}

ExportWriter::~ExportWriter() = default;

void ExportWriter::header() {
  if (s_.xout < kXml) return;
  name_ = export_file_name(s_.outxlsname, s_.outname);
  file_ = std::make_unique<OutputFile>(*r_, resolve(folder_, name_), name_, "Add", *fs_);
  if (keep_unchanged_) file_->keep_when_unchanged();
  if (!file_->create()) return;
  if (s_.xout == kXml) file_->add("<kxcalendar>");
  if (s_.xout == kCols) {
    const std::int16_t on[] = {s_.outdate,     s_.outtime,
                               s_.outcurrency, s_.outdescr,
                               s_.outimpact,   s_.outactual,
                               s_.outforecast, s_.outprevious,
                               s_.outrevised,  s_.cldrfmt == 2 ? s_.outkxid : std::int16_t{0}};
    std::string title, underline;
    for (std::size_t i = 0; i < std::size(kPieces); ++i) {
      if (on[i] == 0) continue;
      title += kPieces[i].title;
      underline += kPieces[i].underline;
    }
    // Out of underscore form: the padding becomes blanks, and the real blank of "KX ID" is lost.
    file_->add(from_(title));
    file_->add(from_(underline));
  }
}

std::string ExportWriter::value(std::string_view stored) const {
  return s_.numonly != 0 ? numbers_only_text(stored) : std::string(clip(stored));
}

void ExportWriter::event(const CalendarRecord& r) {
  if (!writing() || s_.xout > kCols) return;
  std::int32_t date = r.date;
  std::string time;
  if (s_.off2exp != 0) {
    const ShiftedTime t = to_local_ ? shift_time(r.date, r.time, *to_local_)
                                    : shift_hours(r.date, r.time, s_.offset2);
    date = t.date;
    time = format_value("t1", t.time());
  } else {
    append_news_time(time, r.time);
  }
  const std::string date_text = export_date(date, s_.datefmt);
  switch (s_.xout) {
    case kXml:
      line_xml(r, date_text, time);
      break;
    case kTab:
    case kChar:
      line_delimited(r, date_text, time);
      break;
    case kCols:
      line_columns(r, date_text, time);
      break;
  }
}

void ExportWriter::line_delimited(const CalendarRecord& r, const std::string& date,
                                  const std::string& time) {
  const char sep = s_.xout == kTab ? '\t' : s_.sepchar.at(1);
  const char quote = s_.sepchar.at(2);
  line_.clear();
  auto col = [&](std::int16_t on, std::string_view v) {
    if (on == 0) return;
    // A separator only after something: leading empty unquoted values leave no trace.
    if (!clip(line_).empty() && sep != ' ') line_ += sep;
    if (quote != ' ') line_ += quote;
    line_ += clip(v);
    if (quote != ' ') line_ += quote;
  };
  col(s_.outdate, date);
  col(s_.outtime, time);
  col(s_.outcurrency, r.currency);
  col(s_.outdescr, r.descr);
  col(s_.outimpact, impact_word(r.impact));
  col(s_.outactual, value(r.actual));
  col(s_.outforecast, value(r.forecast));
  col(s_.outprevious, value(r.previous));
  col(s_.outrevised, value(r.revisedfrom));
  col(s_.cldrfmt == 2 ? s_.outkxid : std::int16_t{0}, r.kxidcode);
  file_->add(line_);
}

void ExportWriter::line_xml(const CalendarRecord& r, const std::string& date,
                            const std::string& time) {
  file_->add("<event>");
  auto element = [&](std::int16_t on, std::string_view tag, std::string_view v) {
    if (on == 0) return;
    line_.clear();
    line_ += '<';
    line_ += tag;
    line_ += '>';
    line_ += clip(v);
    line_ += "</";
    line_ += tag;
    line_ += '>';
    file_->add(line_);
  };
  element(s_.cldrfmt == 2 ? s_.outkxid : std::int16_t{0}, "kxid", r.kxidcode);
  element(s_.outdate, "date", date);
  element(s_.outtime, "time", time);
  element(s_.outcurrency, "currency", r.currency);
  element(s_.outdescr, "descr", r.descr);
  element(s_.outimpact, "impact", impact_word(r.impact));
  element(s_.outactual, "actual", value(r.actual));
  element(s_.outforecast, "forecast", value(r.forecast));
  element(s_.outprevious, "previous", value(r.previous));
  element(s_.outrevised, "revisedfrom", value(r.revisedfrom));
  file_->add("</event>");
}

void ExportWriter::line_columns(const CalendarRecord& r, const std::string& date,
                                const std::string& time) {
  line_.clear();
  auto col = [&](std::int16_t on, std::string_view v, int width) {
    if (on != 0) line_ += rfill(v, width, "_");
  };
  col(s_.outdate, date, 12);
  col(s_.outtime, time, 7);
  col(s_.outcurrency, r.currency, 5);
  col(s_.outdescr, r.descr.view().substr(0, 42), 42);
  col(s_.outimpact, impact_word(r.impact), 9);
  col(s_.outactual, value(r.actual), 9);
  col(s_.outforecast, value(r.forecast), 9);
  col(s_.outprevious, value(r.previous), 9);
  col(s_.outrevised, value(r.revisedfrom), 9);
  col(s_.cldrfmt == 2 ? s_.outkxid : std::int16_t{0}, r.kxidcode, 7);
  // Into underscore form and out again: blanks inside values and the padding come out as
  // blanks, the padding at the end disappears, and the line is held to 132 characters.
  file_->add(from_(to_(line_)));
}

void ExportWriter::footer() {
  if (!file_) return;
  if (s_.xout == kXml) file_->add("</kxcalendar>");
  file_->close();
  replaced_ = file_->replaced();
  file_.reset();
}

}  // namespace mervane
