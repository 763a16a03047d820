// What every window shows through the window protocol: its title, its controls with the use
// names the windows are known by, in window order, each interactive control with a name for
// screen readers; and the shared pieces the models read typed entries and names with.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

#include "core/analysis/effect_analysis_report.h"
#include "core/analysis/effects_setup.h"
#include "core/analysis/nci_output.h"
#include "core/app/window_base.h"
#include "core/auxdata/delete_swap_out.h"
#include "core/auxdata/import_swap_rates.h"
#include "core/auxdata/swap_browses.h"
#include "core/auxdata/swap_output.h"
#include "core/history/browses.h"
#include "core/history/delete_history.h"
#include "core/history/forms.h"
#include "core/output/procfile.h"
#include "core/setup/initial_setup.h"
#include "tests/support/window_bed.h"

namespace mervane {
namespace {

struct NoDownloads final : Downloader {
  Status fetch(const std::string&, const std::filesystem::path&) override {
    return Status(kFileNotFound);
  }
};

struct Bed : test::WindowBed {
  NoDownloads downloader;
};

std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

using Make = std::function<std::unique_ptr<WindowModel>(Bed&)>;

struct Window {
  const char* name;
  std::string title;
  Make make;
  // The use names of the window in window order, as the window is known by them.
  std::string uses;
};

const Window kWindows[] = {
    {"PROCFILE", "Build News.CSV from KX calendar",
     [](Bed& b) {
       return std::make_unique<ProcFile>(
           WindowServices{b.session, b.reporter, b.progress, b.windows, b.downloader});
     },
     "?INITIALSETUP ?CHECKHIST ?CLDRFMT ?CHECKWGET ?DATE1 ?BUTTON7 ?LOADWEEKS ?AUTODATE ?OFFSET1 "
     "?CNVFMT ?NONECON ?INCUT ?INCUV ?GLO:OUTNAME ?INCLSWAPS ?OFFSET2 ?OFF2FMT ?OFF2EXP "
     "?SPACING1 ?FROMDATE ?BUTTON8 ?THRUDATE ?BUTTON9 ?CHECK1 ?CHECK2 ?CHECKM1 ?CHECKM5 "
     "?CHECKM15 ?CHECKM30 ?CHECKH1 ?CHECKH4 ?CHECKD1 ?CHECKW1 ?CHECKMN ?RCHARTS ?ZCHARTS "
     "?ICHARTS ?DESCR1 ?DESCR2 ?DESCR3 ?DESCR4 ?RDESC ?SYMALL ?SYMUSD ?SYMCAD ?SYMEUR ?SYMGBP "
     "?SYMCHF ?SYMJPY ?SYMAUD ?SYMNZD ?SYMOTR ?WINGALL ?WINGUSD ?WINGCAD ?WINGEUR ?WINGGBP "
     "?WINGCHF ?WINGJPY ?WINGAUD ?WINGNZD ?WINGOTR ?DEFALL ?DEFUSD ?DEFCAD ?DEFEUR ?DEFGBP "
     "?DEFCHF ?DEFJPY ?DEFAUD ?DEFNZD ?DEFOTR ?WDCHART ?RSYMBOLS ?MSYMBOLS ?ZSYMBOLS ?DSYMBOLS "
     "?ISYMBOLS ?SYMLOW ?SYMMED ?SYMHIGH ?SETLOW ?SETMED ?SETHIGH ?RCOLORS ?MCOLORS ?ZCOLORS "
     "?DESCFIRST ?XOUT ?SEPCHAR ?DATEFMT ?GLO:OUTXLSNAME ?PREVIEW ?NUMONLY ?PEDFORMAT "
     "?PNFORMAT ?ZOUTPUT ?IOUTPUT ?OUTDATE ?OUTTIME ?OUTCURRENCY ?OUTDESCR ?OUTIMPACT "
     "?OUTACTUAL ?OUTFORECAST ?OUTPREVIOUS ?OUTREVISED ?OUTKXID ?NCIOUT ?NCIAUTO ?EXECGROUP "
     "?PFILENAME ?LOAD1 ?SAVE1 ?DELETE1 ?EFFECTSSETUP ?EFFECTS ?PAIRS ?PAIRCLR ?PAIRALL "
     "?PAIRUSD ?PAIRCAD ?PAIREUR ?PAIRGBP ?PAIRCHF ?PAIRJPY ?PAIRAUD ?PAIRNZD ?PAIRSEP ?OK "
     "?CANCEL ?PROFILENAME ?CALPROC# ?COUNT1 ?ZONENOTE ?LOADNOTE ?NEWSNOTE"},
    {"DELETEHISTORY", "  Delete / Rebuild News Event History items",
     [](Bed& b) {
       return std::make_unique<DeleteHistory>(b.session, b.windows, b.reporter, b.progress);
     },
     "?OPTION1 ?FROMDATE ?BUTTON1 ?THRUDATE ?BUTTON2 ?ADJUSTHRS ?PFILENAME ?DELETE1 ?OK "
     "?CANCEL ?COUNT1"},
    {"DELETESWAPOUT", "  Delete Auxiliary Output items",
     [](Bed& b) {
       return std::make_unique<DeleteSwapOut>(b.session, b.windows, b.reporter, b.progress);
     },
     "?RECTYPE ?FROMDATE ?BUTTON1 ?THRUDATE ?BUTTON2 ?DELPAIR ?OK ?CANCEL ?COUNT1"},
    {"SWAPOUTPUT", "  Modify Swap Details",
     [](Bed& b) {
       return std::make_unique<SwapOutput>(b.session, b.windows, b.reporter, b.progress);
     },
     "?SWAPPLOT ?SWAPRATES ?FROMDATE ?BUTTON5 ?REBUILD ?OK ?CANCEL ?COUNT1"},
    {"IMPORTSWAPRATES", "  Import Swap Rates",
     [](Bed& b) { return std::make_unique<ImportSwapRates>(b.session, b.reporter, b.progress); },
     "?ADDNEW ?MULTIPLIER ?OK ?CANCEL ?COUNT1"},
    {"EFFECTSSETUP", "  Setup for Effects Analysis Reporting",
     [](Bed& b) { return std::make_unique<EffectsSetup>(b.session, b.reporter); },
     "?G3:HISTPATH ?OPTION1 ?RESET ?INCREASE ?DECREASE ?CLEAR ?UNLOCK ?G3:TIMEINT_1 "
     "?G3:TIMEINT_2 ?G3:TIMEINT_3 ?G3:TIMEINT_4 ?G3:TIMEINT_5 ?G3:TIMEINT_6 ?G3:TIMEINT_7 "
     "?G3:TIMEINT_8 ?G3:TIMEINT_9 ?G3:TIMEINT_10 ?G3:TIMEINT_11 ?G3:TIMEINT_12 ?G3:TIMEINT_13 "
     "?G3:TIMEINT_14 ?G3:TIMEINT_15 ?G3:TIMEINT_16 ?G3:TIMEINT_17 ?G3:TIMEINT_18 "
     "?G3:TIMEINT_19 ?G3:TIMEINT_20 ?G3:TIMEINT_21 ?G3:TIMEINT_22 ?G3:TIMEINT_23 "
     "?G3:TIMEINT_24 ?OK ?CANCEL"},
    {"INITIALSETUP", " Initial Setup",
     [](Bed& b) { return std::make_unique<InitialSetup>(b.session, b.reporter); },
     "?KXDATE ?KXTIME ?WEBADD ?MTDATE ?MTTIME ?SUGGESTION ?USEOFFSET ?LDATE ?LTIME ?GLO:PARM1 "
     "?GLO:PARM2 ?GROUP2 ?TERMINAL ?GLO:PARM3 ?OK ?CANCEL"},
    {"EFFECTANALYSISREPORT", "  Effect Analysis Report",
     [](Bed& b) {
       return std::make_unique<EffectAnalysisReport>(b.session, b.reporter, b.progress);
     },
     "?COUNT"},
    {"NCIOUTPUT", "  NCI output",
     [](Bed& b) { return std::make_unique<NciOutput>(b.session, b.reporter, b.progress); },
     "?COUNT"},
    {"BROWSEHISTORYBYNAME", "View News Events History database",
     [](Bed& b) { return std::make_unique<BrowseHistoryByName>(b.session, b.windows, b.reporter); },
     "?CurrentTab ?Tab:1 ?Tab:2 ?Tab:3 ?BROWSE:1 ?INSERT ?CHANGE ?DELETE ?SELECT ?CLOSE"},
    {"BROWSESWAPOUT", "  Auxiliary items list",
     [](Bed& b) {
       return std::make_unique<BrowseSwapOut>(b.session, b.windows, b.reporter, b.progress);
     },
     "?CurrentTab ?Tab:1 ?BROWSE:1 ?INSERT ?CHANGE ?DELETE ?SELECT ?CLOSE ?BUTTON6"},
    {"BROWSESWAPRATE", "Swap Rates / Spread Collection settings",
     [](Bed& b) {
       return std::make_unique<BrowseSwapRate>(b.session, b.windows, b.reporter, b.progress);
     },
     "?CurrentTab ?Tab:1 ?BROWSE:1 ?INSERT ?CHANGE ?DELETE ?SELECT ?CLOSE ?IMPORT"},
    {"BROWSESWAPDATA", "Swap Details",
     [](Bed& b) { return std::make_unique<BrowseSwapData>(b.session, b.windows, b.reporter); },
     "?CurrentTab ?Tab:1 ?BROWSE:1 ?INSERT ?CHANGE ?DELETE ?SELECT ?CLOSE"},
    {"BROWSEPVIEW", "  Preview Export",
     [](Bed& b) { return std::make_unique<BrowsePview>(b.session, b.windows, b.reporter); },
     "?CurrentTab ?Tab:1 ?Tab:2 ?Tab:3 ?BROWSE:1 ?CLOSE"},
    // The forms, asked to insert a record.
    {"UPDATECALENDAR", "Adding a Calendar Record",
     [](Bed& b) {
       b.session.set_request(Request::Insert);
       return std::make_unique<UpdateCalendar>(b.session, b.windows, b.reporter);
     },
     "?CAL:DATE ?BUTTON3 ?CAL:TIME ?CAL:CURRENCY ?CAL:DESCR ?CAL:IMPACT ?CAL:ACTUAL "
     "?CAL:FORECAST ?CAL:PREVIOUS ?CAL:REVISEDFROM ?CAL:SPACING ?CAL:SYMBOL ?WINGCHAR "
     "?CAL:COLOR ?CAL:KXIDCODE ?OK ?CANCEL"},
    {"EDITSWAPOUT", "Adding a Swapout Record",
     [](Bed& b) {
       b.session.set_request(Request::Insert);
       return std::make_unique<EditSwapOut>(b.session, b.windows, b.reporter);
     },
     "?SWO:RECTYPE ?SWO:DATE ?BUTTON4 ?SWO:TIME ?SWO:CURRENCY ?SWO:SPACING ?SWO:SYMBOL "
     "?WINGCHAR ?SWO:COLOR ?SWO:MN1 ?SWO:M1 ?SWO:M5 ?SWO:M15 ?SWO:M30 ?SWO:H1 ?SWO:H4 ?SWO:D1 "
     "?SWO:W1 ?SWO:TEXT1 ?SWO:TEXT2 ?DUP ?OK ?CANCEL"},
    {"EDITSWAPRATE", "Adding a Swaprate Record",
     [](Bed& b) {
       b.session.set_request(Request::Insert);
       return std::make_unique<EditSwapRate>(b.session, b.windows, b.reporter);
     },
     "?SWR:PAIR ?SWR:BUY ?SWR:SELL ?SWR:ALL ?SWR:USD ?SWR:CAD ?SWR:EUR ?SWR:GBP ?SWR:CHF "
     "?SWR:JPY ?SWR:AUD ?SWR:NZD ?SWR:HIGH ?SWR:MED ?SWR:LOW ?OK ?CANCEL"},
    {"EDITSWAPDATA", "Adding a Swapdata Record",
     [](Bed& b) {
       b.session.set_request(Request::Insert);
       return std::make_unique<EditSwapData>(b.session, b.windows, b.reporter);
     },
     "?SWD:DATEADD ?SWD:MT4TIME ?SWD:DESCR ?SWD:FACTOR ?SWD:SPACING ?SWD:COLOR ?SWD:SYMBOL "
     "?WINGCHAR ?SWD:SYMBOL2 ?WINGCHAR2 ?SWD:M1 ?SWD:M5 ?SWD:M15 ?SWD:M30 ?SWD:H1 ?SWD:H4 "
     "?SWD:D1 ?SWD:W1 ?SWD:MN1 ?OK ?CANCEL"},
};

bool interactive(ControlKind k) {
  switch (k) {
    case ControlKind::Entry:
    case ControlKind::Combo:
    case ControlKind::DropList:
    case ControlKind::Check:
    case ControlKind::OptionGroup:
    case ControlKind::Option:
    case ControlKind::Button:
    case ControlKind::List:
      return true;
    default:
      return false;
  }
}

bool holds_children(ControlKind k) {
  return k == ControlKind::Group || k == ControlKind::OptionGroup || k == ControlKind::Tabs;
}

TEST(WindowControls, EveryWindowShowsItsControlsByTheirNames) {
  for (const Window& w : kWindows) {
    SCOPED_TRACE(w.name);
    Bed bed;
    const std::unique_ptr<WindowModel> m = w.make(bed);
    m->open();
    EXPECT_EQ(m->title(), w.title);
    const std::vector<ControlSpec>& all = m->controls();

    std::vector<std::string> uses;
    std::set<int> ids;
    int last_numbered = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
      const ControlSpec& c = all[i];
      SCOPED_TRACE(c.use.empty() ? c.text : c.use);
      EXPECT_GT(c.id, 0);
      EXPECT_TRUE(ids.insert(c.id).second) << "the number " << c.id << " twice";
      if (!c.use.empty()) {
        EXPECT_EQ(c.use.front(), '?');
        uses.push_back(c.use);
        // The window's own controls are numbered in window order: ranges are enabled together.
        EXPECT_GT(c.id, last_numbered);
        last_numbered = c.id;
        EXPECT_FALSE(accessible_description(c).empty());
        EXPECT_NE(accessible_description(c).front(), '?');
      }
      if (c.parent != 0) {
        const ControlSpec* parent = m->control_def(c.parent);
        ASSERT_NE(parent, nullptr) << "a parent that is not in the window";
        EXPECT_TRUE(holds_children(parent->kind));
        EXPECT_NE(parent->id, c.id);
      }
      if (c.kind == ControlKind::Option) {
        ASSERT_NE(m->control_def(c.parent), nullptr);
        EXPECT_EQ(m->control_def(c.parent)->kind, ControlKind::OptionGroup);
        EXPECT_FALSE(c.value.empty());
      }
      if (interactive(c.kind)) {
        EXPECT_FALSE(accessible_name(all, i).empty()) << "no name for a screen reader";
        EXPECT_TRUE(c.kind == ControlKind::Option || !c.use.empty()) << "no use name";
      }
      const bool shows_picture = c.kind == ControlKind::Entry || c.kind == ControlKind::Combo ||
                                 c.kind == ControlKind::Display;
      EXPECT_TRUE(!shows_picture || read_picture(c.picture).has_value())
          << "picture '" << c.picture << "'";
      const bool captioned = c.kind == ControlKind::Prompt || c.kind == ControlKind::Group;
      EXPECT_TRUE(!captioned || !c.text.empty());
      EXPECT_TRUE(c.kind != ControlKind::Button || !c.text.empty() || !c.icon.empty());
    }
    EXPECT_EQ(uses, words(w.uses));

    const WindowState st = m->state();
    EXPECT_EQ(st.title, w.title);
    EXPECT_EQ(st.controls.size(), all.size());
    EXPECT_FALSE(st.closed);
  }
}

// What a screen reader says for a control: its label, or the prompt beside it.
TEST(WindowControls, ControlsAreNamedByTheirLabelsOrPrompts) {
  const struct {
    const char* window;
    const char* use;
    const char* name;
  } cases[] = {
      {"PROCFILE", "?CHECKHIST", "Update Events History database from KX calendar"},
      {"PROCFILE", "?DATE1",
       "Download data from KX calendar starting from what date (format: mm/dd/yyyy)"},
      {"PROCFILE", "?BUTTON7",
       "Download data from KX calendar starting from what date (format: mm/dd/yyyy)"},
      {"PROCFILE", "?GLO:OUTNAME",
       "Path\\name of output (News.CSV) file  (name is mandatory; path must exist, unless "
       "omitted, then assumes same folder as EXE)"},
      {"PROCFILE", "?THRUDATE", "and"},
      {"PROCFILE", "?SYMUSD", "* USD"},
      {"PROCFILE", "?SYMOTR", "* Other"},
      {"PROCFILE", "?DEFOTR", "148"},
      {"PROCFILE", "?SEPCHAR", "Export (news only) also to  XML / CSV (Excel)"},
      {"PROCFILE", "?GLO:OUTXLSNAME", "Path\\filename"},
      {"PROCFILE", "?PFILENAME", "Profiles"},
      {"PROCFILE", "?NCIOUT", "Outputs"},
      {"PROCFILE", "?OUTKXID", "KX ID code"},
      {"PROCFILE", "?OK", "OK (F10)"},
      {"PROCFILE", "?CANCEL", "Cancel (Esc)"},
      {"DELETEHISTORY", "?OPTION1", "Select"},
      {"DELETEHISTORY", "?ADJUSTHRS", "Time adjustment (number of hours)"},
      {"DELETEHISTORY", "?PFILENAME", "Name of Import / Export file"},
      {"DELETEHISTORY", "?DELETE1", "Delete this file"},
      {"DELETEHISTORY", "?OK", "OK (Enter)"},
      {"DELETESWAPOUT", "?RECTYPE", "Record Type  (mandatory)"},
      {"DELETESWAPOUT", "?DELPAIR", "Restrict deletions to this currency pair"},
      {"SWAPOUTPUT", "?SWAPPLOT", "Modify Swap Plotting Details  (F2)"},
      {"SWAPOUTPUT", "?FROMDATE", "Sunday to start Swap record generation  (mm/dd/yyyy)"},
      {"SWAPOUTPUT", "?REBUILD", "Delete existing SWAP records and rebuild completely"},
      {"IMPORTSWAPRATES", "?MULTIPLIER", "Multiply imported value by"},
      {"EFFECTSSETUP", "?G3:HISTPATH", "Path where MT4 History files reside"},
      {"EFFECTSSETUP", "?OPTION1", "Chart timeframe for price history collection"},
      {"EFFECTSSETUP", "?OK", "OK  (Enter)"},
      {"INITIALSETUP", "?KXTIME", "KX calendar's current date/time (i.e. New York):"},
      {"INITIALSETUP", "?GLO:PARM3", "C:\\Program Files\\"},
      {"INITIALSETUP", "?CANCEL", "Cancel"},
      {"BROWSEHISTORYBYNAME", "?Tab:2", "Currency / Descr"},
      {"BROWSEHISTORYBYNAME", "?INSERT", "Insert (Ins)"},
      {"BROWSESWAPOUT", "?BUTTON6", "Modify Swap Details  (F6)"},
      {"UPDATECALENDAR", "?BUTTON3", "Date  (mm/dd/yyyy):"},
      {"UPDATECALENDAR", "?CAL:DESCR", "Descr:"},
      {"UPDATECALENDAR", "?CAL:KXIDCODE", "KX id Code:"},
      {"EDITSWAPOUT", "?SWO:MN1", "MN1"},
      {"EDITSWAPRATE", "?SWR:BUY", "Buy:"},
      {"EDITSWAPRATE", "?SWR:MED", "Medium Impact"},
      {"EDITSWAPDATA", "?SWD:SYMBOL2", "Symbol (down):"},
  };
  for (const auto& k : cases) {
    const auto w = std::find_if(std::begin(kWindows), std::end(kWindows),
                                [&](const Window& x) { return std::string(x.name) == k.window; });
    ASSERT_NE(w, std::end(kWindows)) << k.window;
    Bed bed;
    const std::unique_ptr<WindowModel> m = w->make(bed);
    const std::vector<ControlSpec>& all = m->controls();
    const auto c =
        std::find_if(all.begin(), all.end(), [&](const ControlSpec& x) { return x.use == k.use; });
    ASSERT_NE(c, all.end()) << k.window << " " << k.use;
    EXPECT_EQ(accessible_name(all, static_cast<std::size_t>(c - all.begin())), k.name)
        << k.window << " " << k.use;
  }
}

TEST(WindowControls, OptionGroupsOfferDistinctValuesAndShowTheChosenOne) {
  for (const Window& w : kWindows) {
    SCOPED_TRACE(w.name);
    Bed bed;
    const std::unique_ptr<WindowModel> m = w.make(bed);
    m->open();
    for (const ControlSpec& g : m->controls()) {
      if (g.kind != ControlKind::OptionGroup) continue;
      std::set<std::string> values;
      for (const ControlSpec& o : m->controls()) {
        if (o.kind == ControlKind::Option && o.parent == g.id) {
          EXPECT_TRUE(values.insert(o.value).second) << o.text;
        }
      }
      EXPECT_GE(values.size(), 2u) << g.use;
      // The last option chosen is the one shown.
      const std::string last = *values.rbegin();
      m->type(g.id, last);
      EXPECT_EQ(m->value(g.id), last) << g.use;
    }
  }
}

TEST(WindowControls, CalendarButtonsStandBesideDateEntries) {
  for (const Window& w : kWindows) {
    SCOPED_TRACE(w.name);
    Bed bed;
    const std::unique_ptr<WindowModel> m = w.make(bed);
    const std::vector<ControlSpec>& all = m->controls();
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (all[i].icon != kCalendarIcon) continue;
      ASSERT_GT(i, 0u);
      EXPECT_EQ(all[i].kind, ControlKind::Button);
      EXPECT_EQ(all[i - 1].kind, ControlKind::Entry) << all[i].use;
      EXPECT_EQ(read_picture(all[i - 1].picture)->kind, PictureKind::Date) << all[i].use;
    }
  }
}

TEST(AccessibleNames, LabelsPromptsAndCaptions) {
  const std::vector<ControlSpec> c = {
      {1, ControlKind::Group, "", "  History  ", "", 0, {}, "", "", ""},
      {2, ControlKind::Check, "?CHECKHIST", "  &Update && load ", "", 1, {}, "", "", ""},
      {3, ControlKind::Prompt, "", "Download from\nwhat date", "", 1, {}, "", "", ""},
      {4, ControlKind::Entry, "?DATE1", "", "d2", 1, {}, "", "", ""},
      {5, ControlKind::Button, "?BUTTON7", "", "", 1, {}, "", std::string(kCalendarIcon), ""},
      {6, ControlKind::Group, "", "  Profiles  ", "", 0, {}, "", "", ""},
      {7, ControlKind::Combo, "?PFILENAME", "", "s6", 6, {}, "", "", ""},
      {8, ControlKind::Entry, "?LOOSE", "", "s6", 0, {}, "", "", ""},
  };
  const struct {
    std::size_t index;
    const char* name;
  } cases[] = {
      {1, "Update & load"},            // mnemonic gone, "&&" one ampersand, blanks trimmed
      {3, "Download from what date"},  // the prompt before it, lines joined
      {4, "Download from what date"},  // a button without text: the same prompt
      {6, "Profiles"},                 // no prompt in its group box: the box's caption
      {7, ""},                         // no prompt and no box: nothing to say
      {99, ""},
  };
  for (const auto& k : cases) EXPECT_EQ(accessible_name(c, k.index), k.name) << k.index;
  EXPECT_EQ(accessible_description(c[1]), "CHECKHIST");
  EXPECT_EQ(accessible_description(c[0]), "");
}

TEST(TypedEntries, ReadThroughTheControlsPicturesAndChoices) {
  ControlList l(100);
  l.add(1, ControlKind::Check, "?C", "  box");
  l.add(2, ControlKind::OptionGroup, "?O", "  choose  ");
  l.option(2, " one", "1");
  l.option(2, " two", "  M5");
  l.add(3, ControlKind::Entry, "?N", {}, "n-_4");
  l.add(4, ControlKind::Entry, "?D", {}, "d2");
  l.add(5, ControlKind::Combo, "?S", {}, "s6");
  l.add(6, ControlKind::DropList, "?L");
  l.add(7, ControlKind::Display, "?X", {}, "n8b");
  l.add(8, ControlKind::Entry, "?T", {}, "T1");
  const std::vector<ControlSpec> c = l.take();
  const std::vector<std::string> list = {"EURUSD", "ALL"};
  const struct {
    int control;
    std::string typed;
    bool ok;
    double number;
    std::string text;
  } cases[] = {
      {1, "1", true, 1, "1"},
      {1, "0", true, 0, "0"},
      {1, "yes", false, 0, ""},
      {2, "1", true, 1, "1"},
      {2, "  M5", true, 0, "  M5"},
      {2, "M5", false, 0, ""},
      {2, "3", false, 0, ""},
      {3, "-12", true, -12, "-12"},
      {3, "12345", false, 0, ""},
      {3, "1.5", false, 0, ""},
      {4, "03/07/2009", true, 76040, "03/07/2009"},
      {4, "", true, 0, ""},
      {4, "2009-03-07", false, 0, ""},
      {5, "EU*  ", true, 0, "EU*"},
      {5, "SEVENCH", false, 0, ""},
      {6, "ALL", true, 0, "ALL"},
      {6, "GBPUSD", false, 0, ""},
      {8, "08:30", true, 8 * 360000 + 30 * 6000 + 1, "08:30"},
      {8, "24:00", false, 0, ""},
  };
  for (const auto& k : cases) {
    const Parsed<Typed> t = read_typed(c, k.control, k.typed, list);
    ASSERT_EQ(t.value.has_value(), k.ok) << k.control << " '" << k.typed << "' " << t.reason;
    if (k.ok) {
      EXPECT_EQ(t.value->number, k.number) << k.typed;
      EXPECT_EQ(t.value->text, k.text) << k.typed;
    } else {
      EXPECT_FALSE(t.reason.empty()) << k.typed;
    }
  }
  // A display, or a control the window does not have, takes no entry and says nothing.
  for (int control : {7, 42}) {
    const Parsed<Typed> t = read_typed(c, control, "1", list);
    EXPECT_FALSE(t.value.has_value());
    EXPECT_TRUE(t.reason.empty());
  }
  EXPECT_EQ(shown("n8b", 0), "");
  EXPECT_EQ(shown("n8b", 1234), "1,234");
  EXPECT_EQ(shown("n-_4", -7), "-7");
  EXPECT_EQ(shown("d2", 0), "");
  EXPECT_EQ(shown("D3", 76040), "Mar 07, 2009");
}

}  // namespace
}  // namespace mervane
