#include "core/output/procfile_controls.h"

#include <algorithm>

#include "core/app/window_base.h"
#include "core/runtime/paths.h"
#include "core/util/concat.h"
#include "core/util/picture.h"

namespace mervane {

static_assert(kNewsPathWidth == 255, "the picture of the path's field");

static_assert(number(ProcFileControl::OK) == 130 && number(ProcFileControl::COUNT1) == 134 &&
              number(ProcFileControl::LOADNOTE) == 136 &&
              number(ProcFileControl::NEWSNOTE) == 137);

namespace {

using C = ProcFileControl;
using K = ControlKind;

// "?CHECKHIST"; the two globals keep their prefix: "?GLO:OUTNAME".
std::string use_of(std::string_view name) {
  return concat({"?", name});
}

struct Adder {
  ControlList& list;
  void operator()(C c, K kind, std::string_view use, std::string text = {},
                  std::string picture = {}) {
    list.add(number(c), kind, use_of(use), std::move(text), std::move(picture));
  }
  void check(C c, std::string_view use, std::string text) {
    (*this)(c, K::Check, use, std::move(text));
  }
  void button(C c, std::string_view use, std::string text) {
    (*this)(c, K::Button, use, std::move(text));
  }
  void entry(C c, std::string_view use, std::string picture) {
    (*this)(c, K::Entry, use, {}, std::move(picture));
  }
  void labelled(std::string label, C c, std::string_view use, std::string picture) {
    list.prompt(std::move(label));
    entry(c, use, std::move(picture));
  }
};

void history_update(ControlList& l, Adder& add) {
  l.parent = l.group("  History update from weekly KX Calendar  ");
  add.button(C::INITIALSETUP, "INITIALSETUP", "Setup");
  add.check(C::CHECKHIST, "CHECKHIST", "  Update Events History database from KX calendar");
  add.labelled("KX calendar format", C::CLDRFMT, "CLDRFMT", "n_1");
  add.check(C::CHECKWGET, "CHECKWGET", "  Automatic calendar load  (uses WGET.EXE)");
  l.prompt(
      "Note: if unchecked, you must first manually save the\n"
      "relevant week's KX Calendar as \"truneout\"\n"
      "in the same folder as this EXE");
  add.labelled("Download data from KX calendar starting\nfrom what date (format: mm/dd/yyyy)",
               C::DATE1, "DATE1", "d2");
  l.calendar_button(number(C::BUTTON7), "?BUTTON7");
  add.labelled("Number of weeks' worth of data to load", C::LOADWEEKS, "LOADWEEKS", "n_2");
  add.check(C::AUTODATE, "AUTODATE", "  Auto set");
  add.labelled("No. of hours your MT4 is ahead of KX calendar", C::OFFSET1, "OFFSET1", "n-3");
  add.check(C::CNVFMT, "CNVFMT", "  Convert 2006 currency names");
  add.check(C::NONECON, "NONECON", "  Include Non-Economic events as Low Impact");
  add.check(C::INCUT, "INCUT", "  Include untimed events (\"Tentative\", \"All day\" etc)");
  add.check(C::INCUV, "INCUV", "  Include unvalued events (\"... speaks\", \"... Minutes\" etc)");
  l.parent = 0;
}

void output_files_and_dates(ControlList& l, Adder& add) {
  // Typed, or one of the MT4 terminals' News.CSV files chosen from its list.
  l.prompt(
      "Path\\name of output (News.CSV) file  (name is mandatory; path\n"
      "must exist, unless omitted, then assumes same folder as EXE)");
  add(C::GLO_OUTNAME, K::Combo, "GLO:OUTNAME", {}, "s255");
  add.check(C::INCLSWAPS, "INCLSWAPS", "  Include auxiliary data (swaps, Sundays, etc)");
  add.labelled("No. of hours your local time is ahead of your MT4 time", C::OFFSET2, "OFFSET2",
               "n-3");
  add.check(C::OFF2FMT, "OFF2FMT", "  24 hr format");
  add.check(C::OFF2EXP, "OFF2EXP", "  Use local time in exports");
  add.labelled("Default chart for vertical spacing  (1,5,15,30,60,240)  mins", C::SPACING1,
               "SPACING1", "n_4");
  add.labelled("Output only events between", C::FROMDATE, "FROMDATE", "d2");
  l.calendar_button(number(C::BUTTON8), "?BUTTON8");
  add.labelled("and", C::THRUDATE, "THRUDATE", "d2");
  l.calendar_button(number(C::BUTTON9), "?BUTTON9");
  l.prompt("(format: mm/dd/yyyy)");
  add.check(C::CHECK1, "CHECK1", "  Show only on relevant currency charts");
  add.check(C::CHECK2, "CHECK2", "  Omit events with no 'Actual' value");
}

void charts_and_descriptions(ControlList& l, Adder& add) {
  const int outer = l.parent;
  l.parent = l.group("  Show on  ");
  static constexpr std::string_view kCharts[] = {
      "  M1 charts", "  M5 charts",    "  M15 charts",    "  M30 charts",    "  H1 charts",
      "  H4 charts", "  Daily charts", "  Weekly charts", "  Monthly charts"};
  static constexpr std::string_view kChartUses[] = {"CHECKM1",  "CHECKM5", "CHECKM15",
                                                    "CHECKM30", "CHECKH1", "CHECKH4",
                                                    "CHECKD1",  "CHECKW1", "CHECKMN"};
  for (int i = 0; i < 9; ++i)
    add.check(control(number(C::CHECKM1) + i), kChartUses[i], std::string(kCharts[i]));
  add.button(C::RCHARTS, "RCHARTS", "Reset");
  add.button(C::ZCHARTS, "ZCHARTS", "Clear");
  add.button(C::ICHARTS, "ICHARTS", "All");

  l.parent = outer;  // the groups stand side by side, not one inside the other
  l.parent = l.group("  Show only events  ");
  add.labelled("whose descriptions contain only", C::DESCR1, "DESCR1", "s80");
  add.labelled(" or ", C::DESCR2, "DESCR2", "s80");
  add.labelled(" or ", C::DESCR3, "DESCR3", "s80");
  add.labelled(" or ", C::DESCR4, "DESCR4", "s80");
  add.button(C::RDESC, "RDESC", " Clear");
  l.parent = outer;
}

constexpr std::string_view kCurrencies[] = {"ALL", "USD", "CAD", "EUR", "GBP",
                                            "CHF", "JPY", "AUD", "NZD", "OTR"};

void symbols(ControlList& l, Adder& add) {
  const int outer = l.parent;
  l.parent = l.group("  Wingdings symbol output  ");
  l.prompt("(* enter 0 to omit output) ");
  for (int i = 0; i < 10; ++i) {
    const std::string ccy(kCurrencies[i]);
    const std::string label = i == 0 ? "ALL" : i == 9 ? "* Other" : "* " + ccy;
    add.labelled(label, control(number(C::SYMALL) + i), "SYM" + ccy, "n-_4");
  }
  for (int i = 0; i < 10; ++i)
    add(control(number(C::WINGALL) + i), K::Symbol, "WING" + std::string(kCurrencies[i]), {}, "s1");
  for (int i = 0; i < 10; ++i)
    add.button(control(number(C::DEFALL) + i), "DEF" + std::string(kCurrencies[i]),
               std::to_string(139 + i));
  add.button(C::WDCHART, "WDCHART", "Wingdings chart");
  add.button(C::RSYMBOLS, "RSYMBOLS", "Reset");
  add.button(C::MSYMBOLS, "MSYMBOLS", "-1");
  add.button(C::ZSYMBOLS, "ZSYMBOLS", "Clear");
  add.button(C::DSYMBOLS, "DSYMBOLS", "Dup");
  add.button(C::ISYMBOLS, "ISYMBOLS", "+1");

  l.parent = outer;
  l.parent = l.group("  Color for impact levels  ");
  l.prompt("(enter 0 to omit output)");
  add.labelled("Low", C::SYMLOW, "SYMLOW", "n-_3");
  add.labelled("Medium", C::SYMMED, "SYMMED", "n-_3");
  add.labelled("High", C::SYMHIGH, "SYMHIGH", "n-_3");
  l.image(std::string(kColourLegend));
  add.button(C::SETLOW, "SETLOW", "1");
  add.button(C::SETMED, "SETMED", "2");
  add.button(C::SETHIGH, "SETHIGH", "3");
  add.button(C::RCOLORS, "RCOLORS", "Reset");
  add.button(C::MCOLORS, "MCOLORS", "-1");
  add.button(C::ZCOLORS, "ZCOLORS", "Clear");
  l.parent = outer;
}

void descr_line_and_export(ControlList& l, Adder& add) {
  const int outer = l.parent;
  add(C::DESCFIRST, K::OptionGroup, "DESCFIRST", "  Descr Line #1: what to output first  ");
  int value = 1;
  for (const char* text : {" Time", " Date", " Currency", " Event descr"})
    l.option(number(C::DESCFIRST), text, std::to_string(value++));

  add(C::XOUT, K::OptionGroup, "XOUT", "  Export (news only) also to  XML / CSV (Excel) ");
  value = 1;
  for (const char* text : {" No", " XML", " Tab", " Char", " Cols"})
    l.option(number(C::XOUT), text, std::to_string(value++));
  // The separator stands beside " Char"; the date format and the path below the choices.
  l.parent = number(C::XOUT);
  add.entry(C::SEPCHAR, "SEPCHAR", "s2");
  add.labelled("D.Fmt (D#,M#,Y#)", C::DATEFMT, "DATEFMT", "s2");
  add.labelled(" Path\\filename", C::GLO_OUTXLSNAME, "GLO:OUTXLSNAME", "s99");
  l.parent = outer;
  add.button(C::PREVIEW, "PREVIEW", " Preview");
  add.check(C::NUMONLY, "NUMONLY", "  Numbers only");
  add.button(C::PEDFORMAT, "PEDFORMAT", "Mirel_Lines format");
  add.button(C::PNFORMAT, "PNFORMAT", "Mirel_Events format");
  add.button(C::ZOUTPUT, "ZOUTPUT", "Clear");
  add.button(C::IOUTPUT, "IOUTPUT", "All");
  static constexpr std::string_view kColumns[] = {
      "  Date",   "  Time",     "  Currency", "  Description",  "  Impact",
      "  Actual", "  Forecast", "  Previous", "  Revised from", "  KX ID code"};
  static constexpr std::string_view kColumnUses[] = {
      "OUTDATE",   "OUTTIME",     "OUTCURRENCY", "OUTDESCR",   "OUTIMPACT",
      "OUTACTUAL", "OUTFORECAST", "OUTPREVIOUS", "OUTREVISED", "OUTKXID"};
  for (int i = 0; i < 10; ++i)
    add.check(control(number(C::OUTDATE) + i), kColumnUses[i], std::string(kColumns[i]));
}

void nci_profiles_effects_pairs(ControlList& l, Adder& add) {
  const int outer = l.parent;
  l.parent = l.group("  NCI  ");
  add.labelled("Outputs", C::NCIOUT, "NCIOUT", "n_2b");
  add.check(C::NCIAUTO, "NCIAUTO", "  Auto");
  l.parent = outer;
  add.button(C::EXECGROUP, "EXECGROUP", ">>>");

  l.parent = l.group("  Profiles  ");
  add(C::PFILENAME, K::Combo, "PFILENAME", {}, "s6");
  add.button(C::LOAD1, "LOAD1", " Load");
  add.button(C::SAVE1, "SAVE1", "Save");
  add.button(C::DELETE1, "DELETE1", "Delete");
  l.parent = outer;

  add.button(C::EFFECTSSETUP, "EFFECTSSETUP", "Setup");
  add.button(C::EFFECTS, "EFFECTS", "Effects");

  add.labelled("Currency Pairs", C::PAIRS, "PAIRS", "s139");
  add.button(C::PAIRCLR, "PAIRCLR", "Clear");
  for (int i = 0; i < 9; ++i)
    add.button(control(number(C::PAIRALL) + i), "PAIR" + std::string(kCurrencies[i]),
               std::string(kCurrencies[i]));
  add.button(C::PAIRSEP, "PAIRSEP", ",");
}

std::vector<ControlSpec> build_controls() {
  ControlList l(kProcFileDecorations);
  Adder add{l};
  history_update(l, add);
  l.parent = l.group("  Settings for output from History to News.CSV  ");
  output_files_and_dates(l, add);
  charts_and_descriptions(l, add);
  symbols(l, add);
  descr_line_and_export(l, add);
  nci_profiles_effects_pairs(l, add);
  l.parent = 0;
  add.button(C::OK, "OK", "OK (F10)");
  add.button(C::CANCEL, "CANCEL", "Cancel (Esc)");
  add(C::PROFILENAME, K::Display, "PROFILENAME", {}, "s6");
  add(C::CALPROC, K::Display, "CALPROC#", {}, "D3");
  add(C::COUNT1, K::Display, "COUNT1", {}, "n8b");
  add(C::ZONENOTE, K::Display, "ZONENOTE", {}, "s120");
  add(C::LOADNOTE, K::Display, "LOADNOTE", {}, "s120");
  add(C::NEWSNOTE, K::Display, "NEWSNOTE", {}, "s80");
  return l.take();
}

}  // namespace

const std::vector<ControlSpec>& procfile_controls() {
  static const std::vector<ControlSpec> kControls = build_controls();
  return kControls;
}

std::string_view control_setting(ProcFileControl c) {
  using C = ProcFileControl;
  struct Entry {
    C control;
    std::string_view name;
  };
  static constexpr Entry kEntries[] = {
      {C::CHECKHIST, "CHECKHIST"},
      {C::CLDRFMT, "CLDRFMT"},
      {C::CHECKWGET, "CHECKWGET"},
      {C::DATE1, "DATE1"},
      {C::LOADWEEKS, "LOADWEEKS"},
      {C::AUTODATE, "AUTODATE"},
      {C::OFFSET1, "OFFSET1"},
      {C::CNVFMT, "CNVFMT"},
      {C::NONECON, "NONECON"},
      {C::INCUT, "INCUT"},
      {C::INCUV, "INCUV"},
      {C::GLO_OUTNAME, "OUTNAME"},
      {C::INCLSWAPS, "INCLSWAPS"},
      {C::OFFSET2, "OFFSET2"},
      {C::OFF2FMT, "OFF2FMT"},
      {C::OFF2EXP, "OFF2EXP"},
      {C::SPACING1, "SPACING1"},
      {C::FROMDATE, "FROMDATE"},
      {C::THRUDATE, "THRUDATE"},
      {C::CHECK1, "CHECK1"},
      {C::CHECK2, "CHECK2"},
      {C::CHECKM1, "CHECKM1"},
      {C::CHECKM5, "CHECKM5"},
      {C::CHECKM15, "CHECKM15"},
      {C::CHECKM30, "CHECKM30"},
      {C::CHECKH1, "CHECKH1"},
      {C::CHECKH4, "CHECKH4"},
      {C::CHECKD1, "CHECKD1"},
      {C::CHECKW1, "CHECKW1"},
      {C::CHECKMN, "CHECKMN"},
      {C::DESCR1, "DESCR1"},
      {C::DESCR2, "DESCR2"},
      {C::DESCR3, "DESCR3"},
      {C::DESCR4, "DESCR4"},
      {C::SYMALL, "SYMALL"},
      {C::SYMUSD, "SYMUSD"},
      {C::SYMCAD, "SYMCAD"},
      {C::SYMEUR, "SYMEUR"},
      {C::SYMGBP, "SYMGBP"},
      {C::SYMCHF, "SYMCHF"},
      {C::SYMJPY, "SYMJPY"},
      {C::SYMAUD, "SYMAUD"},
      {C::SYMNZD, "SYMNZD"},
      {C::SYMOTR, "SYMOTR"},
      {C::SYMLOW, "SYMLOW"},
      {C::SYMMED, "SYMMED"},
      {C::SYMHIGH, "SYMHIGH"},
      {C::DESCFIRST, "DESCFIRST"},
      {C::XOUT, "XOUT"},
      {C::SEPCHAR, "SEPCHAR"},
      {C::DATEFMT, "DATEFMT"},
      {C::GLO_OUTXLSNAME, "OUTXLSNAME"},
      {C::NUMONLY, "NUMONLY"},
      {C::OUTDATE, "OUTDATE"},
      {C::OUTTIME, "OUTTIME"},
      {C::OUTCURRENCY, "OUTCURRENCY"},
      {C::OUTDESCR, "OUTDESCR"},
      {C::OUTIMPACT, "OUTIMPACT"},
      {C::OUTACTUAL, "OUTACTUAL"},
      {C::OUTFORECAST, "OUTFORECAST"},
      {C::OUTPREVIOUS, "OUTPREVIOUS"},
      {C::OUTREVISED, "OUTREVISED"},
      {C::OUTKXID, "OUTKXID"},
      {C::NCIOUT, "NCIOUT"},
      {C::NCIAUTO, "NCIAUTO"},
      {C::PAIRS, "PAIRS"},
  };
  for (const Entry& e : kEntries)
    if (e.control == c) return e.name;
  return {};
}

Status store_typed_setting(SettingsRecord& rec, std::string_view name, const ControlSpec& control,
                           const Typed& value) {
  const std::optional<Picture> p = read_picture(control.picture);
  // Numbers, dates (as serials), check boxes and options go in as whole numbers; the pictures
  // of this window take no decimals.
  const bool text = p && p->kind == PictureKind::Text;
  return set_setting(rec, name,
                     text ? value.text : std::to_string(static_cast<long long>(value.number)));
}

Status type_setting(SettingsRecord& rec, std::string_view name, std::string_view text) {
  const std::string want = upper_ascii(name);
  const std::vector<ControlSpec>& controls = procfile_controls();
  const auto it = std::find_if(controls.begin(), controls.end(), [&](const ControlSpec& c) {
    return c.id < kProcFileDecorations && control_setting(control(c.id)) == want;
  });
  // The command line's other ways of writing a date are read by set_setting, which holds the
  // dates to the window's years as well.
  const bool cli_date = it != controls.end() && it->picture == "d2" && !text.empty() &&
                        text.find('/') == std::string_view::npos;
  if (it == controls.end() || cli_date) return set_setting(rec, want, text);
  const Parsed<Typed> typed = read_typed(controls, it->id, text);
  if (!typed) {
    std::string why = "Invalid Value: " + want + ": " + typed.reason;
    if (it->kind == ControlKind::OptionGroup) {
      // Without the window the choices are not in view: name them.
      std::string choices;
      for (const ControlSpec& o : controls) {
        if (o.kind != ControlKind::Option || o.parent != it->id) continue;
        const std::string_view label = clip(o.text);
        choices += (choices.empty() ? "" : ", ") + o.value + " (" +
                   std::string(label.substr(std::min(label.find_first_not_of(' '), label.size()))) +
                   ")";
      }
      why += " The choices are " + choices + ".";
    }
    return Status(kBadValue, why);
  }
  return store_typed_setting(rec, want, *it, *typed.value);
}

}  // namespace mervane
