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

// What the Build window lets a user put into each setting's control. Texts are held to their
// widths only; every number has a rule here.
enum class Control { CheckBox, Option, Number, Date };
struct SettingRule {
  std::string_view name;
  Control control;
  std::string_view picture;  // the control's picture; empty for check boxes and options
  std::int64_t lowest, highest;
};

// An option group's value 0 is no choice yet, as a new window has it (and the settings file
// then holds).
const std::vector<SettingRule>& rules() {
  static const std::vector<SettingRule> table = [] {
    std::vector<SettingRule> t;
    auto check = [&](std::string_view n) { t.push_back({n, Control::CheckBox, "", 0, 1}); };
    auto number = [&](std::string_view n, std::string_view picture, std::int64_t lowest,
                      std::int64_t highest) {
      t.push_back({n, Control::Number, picture, lowest, highest});
    };
    for (std::string_view n :
         {"INCLSWAPS", "CHECK1",      "CHECKM1",     "CHECKM5",     "CHECKM15", "CHECKM30",
          "CHECKH1",   "CHECKH4",     "CHECKD1",     "CHECKW1",     "CHECKMN",  "CHECKHIST",
          "CHECKWGET", "OFF2FMT",     "CNVFMT",      "INCUT",       "INCUV",    "AUTODATE",
          "NUMONLY",   "OUTDATE",     "OUTTIME",     "OUTCURRENCY", "OUTDESCR", "OUTIMPACT",
          "OUTACTUAL", "OUTFORECAST", "OUTPREVIOUS", "OUTREVISED",  "OUTKXID",  "CHECK2",
          "OFF2EXP",   "NONECON",     "NCIAUTO"})
      check(n);
    for (std::string_view n : {"DATE1", "FROMDATE", "THRUDATE"})
      t.push_back({n, Control::Date, "d2", kFirstSettingDate, kLastSettingDate});
    number("OFFSET1", "n-3", -99, 999);
    number("OFFSET2", "n-3", -99, 999);
    // The default chart's minutes: a divisor, so at least 1.
    number("SPACING1", "n_4", 1, 9999);
    for (std::string_view n : {"SYMALL", "SYMUSD", "SYMCAD", "SYMEUR", "SYMGBP", "SYMCHF", "SYMJPY",
                               "SYMAUD", "SYMNZD", "SYMOTR"})
      number(n, "n-_4", -999, 9999);
    for (std::string_view n : {"SYMLOW", "SYMMED", "SYMHIGH"}) number(n, "n-_3", -99, 999);
    number("LOADWEEKS", "n_2", 0, 99);
    number("NCIOUT", "n_2b", 0, 99);
    number("CLDRFMT", "n_1", 0, 9);
    t.push_back({"DESCFIRST", Control::Option, "", 0, 4});  // Time, Date, Currency, Event descr
    t.push_back({"XOUT", Control::Option, "", 0, 5});       // No, XML, Tab, Char, Cols
    return t;
  }();
  return table;
}

const SettingRule* rule_of(std::string_view name) {
  for (const SettingRule& r : rules())
    if (r.name == name) return &r;
  return nullptr;
}

// Why a value the setting's control would not take is refused; empty when it is taken.
std::string refusal(const SettingRule& rule, std::int64_t v, std::string_view typed) {
  if (v >= rule.lowest && v <= rule.highest) return {};
  const std::string name(rule.name);
  const std::string not_this = ", not '" + std::string(typed) + "'";
  switch (rule.control) {
    case Control::CheckBox:
      return "Invalid Value: " + name + " is a check box: 0 or 1" + not_this;
    case Control::Option:
      return "Invalid Value: " + name + " is one of the choices 1 to " +
             std::to_string(rule.highest) + " (0: none chosen)" + not_this;
    case Control::Date:
      return "Invalid Value: " + name + " takes a date from " +
             date_text(static_cast<std::int32_t>(rule.lowest)) + " to " +
             date_text(static_cast<std::int32_t>(rule.highest)) + not_this;
    case Control::Number:
      break;
  }
  return "Invalid Value: " + name + " takes a whole number from " + std::to_string(rule.lowest) +
         " to " + std::to_string(rule.highest) + not_this;
}

}  // namespace

std::string_view setting_picture(std::string_view name) {
  const SettingRule* r = rule_of(upper_ascii(name));
  return r ? r->picture : std::string_view();
}

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

Status read_settings_file(const std::filesystem::path& file, SettingsRecord& rec) {
  TextReader r;
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

Status write_settings_file(const std::filesystem::path& file, const SettingsRecord& rec) {
  TextWriter w;
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
      // Every number has its control's rule; a date may be typed as a date or as a serial.
      const SettingRule& rule = *rule_of(want);
      std::int64_t typed = 0;
      if (kind == FieldKind::Date && v.find_first_of("/-") != std::string::npos &&
          v.find_first_of("/-") > 0) {
        const auto d = parse_cli_date(v);
        if (!d) {
          st = Status(kBadValue, "Invalid Value: " + want + ": " + d.reason);
          return;
        }
        typed = *d.value;
      } else if (!parse_whole(v, typed)) {
        typed = rule.highest + 1;  // not a whole number: refused with the rule's range
      }
      if (std::string why = refusal(rule, typed, v); !why.empty()) {
        st = Status(kBadValue, std::move(why));
        return;
      }
      field = static_cast<T>(typed);
    }
  });
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
