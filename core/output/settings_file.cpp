#include "core/output/settings_file.h"

#include <charconv>
#include <limits>
#include <type_traits>

#include "core/runtime/paths.h"
#include "core/runtime/text_file.h"
#include "core/util/charset.h"
#include "core/util/dates.h"
#include "core/util/picture.h"

namespace mervane {
namespace {

// Visits the 67 settings in file order: the G2PARMS fields, with NONECON standing before NCIOUT
// (line 64).
template <class R, class F>
void visit_lines(R& rec, F&& f) {
  int i = 0;
  BuildSettings::fields(rec.b, [&](const char* name, auto& field, FieldKind kind) {
    if (i == 63) f("NONECON", rec.nonecon, FieldKind::Int);
    f(name, field, kind);
    ++i;
  });
}

std::string without_blanks(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != ' ') out += c;
  return out;
}

template <class T>
bool parse_whole(std::string_view text, T& out) {
  std::int64_t v = 0;
  const char* b = text.data();
  const char* e = b + text.size();
  if (b != e && *b == '+') ++b;
  auto [p, ec] = std::from_chars(b, e, v);
  if (text.empty() || ec != std::errc() || p != e) return false;
  if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) return false;
  out = static_cast<T>(v);
  return true;
}

template <class T>
std::string number_text(const T& v) {
  return std::to_string(static_cast<long long>(v));
}

}  // namespace

SettingsRecord built_in_defaults(std::int32_t today, const std::filesystem::path& working_folder) {
  SettingsRecord r;
  BuildSettings& b = r.b;
  b.checkhist = b.checkwget = 1;
  b.checkm1 = b.checkm5 = b.checkm15 = b.checkm30 = b.checkh1 = 1;
  b.spacing1 = 60;
  b.symall = 139;
  b.symusd = 140;
  b.symcad = 141;
  b.symeur = 142;
  b.symgbp = 143;
  b.symchf = 144;
  b.symjpy = 145;
  b.symaud = 146;
  b.symnzd = 147;
  b.symotr = 148;
  b.symlow = 1;
  b.symmed = 2;
  b.symhigh = 3;
  b.loadweeks = 1;
  b.outdate = b.outtime = b.outcurrency = b.outdescr = b.outimpact = b.outactual = b.outforecast =
      b.outprevious = b.outrevised = b.outkxid = 1;
  b.inpname = "calendar.php";
  b.outname = cp1252_from_utf8((working_folder / "news.csv").string());
  b.outxlsname = "XLOutput.CSV";
  b.date1 = today;
  b.fromdate = *date_serial(2006, 1, 1);
  b.thrudate = *date_serial(2099, 12, 31);
  return r;
}

const std::vector<std::string>& setting_names() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    SettingsRecord r;
    visit_lines(r, [&](const char* name, auto&, FieldKind) { n.emplace_back(name); });
    return n;
  }();
  return names;
}

bool is_setting_name(std::string_view name) {
  const std::string want = upper_ascii(name);
  for (const auto& n : setting_names())
    if (n == want) return true;
  return false;
}

std::vector<std::string> settings_lines(const SettingsRecord& rec) {
  std::vector<std::string> lines;
  visit_lines(const_cast<SettingsRecord&>(rec), [&](const char*, auto& field, FieldKind) {
    using T = std::remove_cvref_t<decltype(field)>;
    if constexpr (detail::is_text<T>::value)
      lines.emplace_back(field.view());
    else
      lines.push_back(number_text(field));
  });
  return lines;
}

void apply_settings_lines(const std::vector<std::string>& lines, SettingsRecord& rec) {
  std::size_t i = 0;
  visit_lines(rec, [&](const char* name, auto& field, FieldKind) {
    using T = std::remove_cvref_t<decltype(field)>;
    if (i >= lines.size()) return;
    const std::string& line = lines[i++];
    if constexpr (detail::is_text<T>::value) {
      const std::string_view n(name);
      field.assign(n == "SEPCHAR" || n == "DATEFMT" ? without_blanks(line) : line);
    } else {
      T v{};
      field = parse_whole(without_blanks(line), v) ? v : T{};
    }
  });
}

Status read_settings_file(const std::filesystem::path& file, SettingsRecord& rec, FileSystem& fs) {
  TextReader r(fs);
  if (Status st = r.open(file); st.failed()) return st;
  std::vector<std::string> lines;
  std::string line;
  Status st;
  while (lines.size() < static_cast<std::size_t>(kSettingsLines) && (st = r.next(line)).is_ok())
    lines.push_back(line);
  if (st.failed() && st.code != kRecordNotAvailable) return st;
  apply_settings_lines(lines, rec);
  return Status::ok();
}

Status write_settings_file(const std::filesystem::path& file, const SettingsRecord& rec,
                           FileSystem& fs) {
  TextWriter w(fs);
  if (Status st = w.create(file); st.failed()) return st;
  for (const std::string& line : settings_lines(rec))
    if (Status st = w.add(line); st.failed()) return st;
  return w.close();
}

void repair_after_load(SettingsRecord& rec) {
  BuildSettings& b = rec.b;
  if (b.outxlsname.length() == 1) b.outxlsname = "xloutput.csv";
  if (b.sepchar == "1") b.sepchar = ",";
  const char d = b.datefmt.at(1);
  if (d != 'D' && d != 'M' && d != 'Y') b.datefmt = "Y/";
  b.loadweeks = 1;
  if (b.spacing1 < 1) b.spacing1 = 60;
}

Status set_setting(SettingsRecord& rec, std::string_view name, std::string_view value) {
  const std::string want = upper_ascii(name);
  if (!is_setting_name(want))
    return Status(kBadValue, "Invalid Value: there is no setting " + std::string(name));
  SettingsRecord copy = rec;
  Status st;
  visit_lines(copy, [&](const char* n, auto& field, FieldKind kind) {
    using T = std::remove_cvref_t<decltype(field)>;
    if (want != n) return;
    const std::string v(clip(value));
    if constexpr (detail::is_text<T>::value) {
      if (v.size() > T::width) {
        st = Status(kBadValue, "Invalid Value: " + want + " holds at most " +
                                   std::to_string(T::width) + " characters");
        return;
      }
      field = v;
    } else {
      std::string digits = v;
      if (kind == FieldKind::Date && digits.find_first_of("/-") != std::string::npos &&
          digits.find_first_of("/-") > 0) {
        const auto d = parse_cli_date(digits);
        if (!d) {
          st = Status(kBadValue, "Invalid Value: " + want + ": " + d.reason);
          return;
        }
        field = static_cast<T>(*d.value);
      } else {
        T parsed{};
        if (!parse_whole(digits, parsed)) {
          st = Status(kBadValue, "Invalid Value: " + want + " takes a whole number from " +
                                     number_text(std::numeric_limits<T>::min()) + " to " +
                                     number_text(std::numeric_limits<T>::max()) +
                                     (kind == FieldKind::Date ? " or a date (mm/dd/yyyy)" : "") +
                                     ", not '" + v + "'");
          return;
        }
        field = parsed;
      }
      // The dates of the window: the week of the year 1800, or of 275591, stores only what the
      // history cannot use.
      if (kind == FieldKind::Date && (field < kFirstSettingDate || field > kLastSettingDate))
        st = Status(kBadValue, "Invalid Value: " + want + " takes a date from " +
                                   date_text(kFirstSettingDate) + " to " +
                                   date_text(kLastSettingDate) + ", not '" + v + "'");
    }
  });
  if (st.is_ok() && want == "SPACING1" && copy.b.spacing1 < 1)
    st = Status(kBadValue,
                "Invalid Value: SPACING1 is the default chart's minutes (1, 5, 15, 30, 60, 240) "
                "and must be at least 1");
  if (st.is_ok()) rec = copy;
  return st;
}

std::string setting_value(const SettingsRecord& rec, std::string_view name) {
  const std::string want = upper_ascii(name);
  std::string out;
  visit_lines(const_cast<SettingsRecord&>(rec), [&](const char* n, auto& field, FieldKind kind) {
    using T = std::remove_cvref_t<decltype(field)>;
    if (want != n) return;
    if constexpr (detail::is_text<T>::value) {
      out = field.str();
    } else {
      out = kind == FieldKind::Date && field != 0 ? date_text(static_cast<std::int32_t>(field))
                                                  : number_text(field);
    }
  });
  return out;
}

}  // namespace mervane
