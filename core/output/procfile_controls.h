// The controls of the Build window, numbered in window order: ranges of them are enabled and
// disabled together (3 to 13 are the history update's, 89 to 108 the export's).
#pragma once

#include <string_view>
#include <vector>

#include "core/app/window_base.h"
#include "core/app/window_model.h"
#include "core/output/settings_file.h"
#include "core/runtime/status.h"

namespace mervane {

enum class ProcFileControl : int {
  INITIALSETUP = 1,
  CHECKHIST,
  CLDRFMT,
  CHECKWGET,
  DATE1,
  BUTTON7,
  LOADWEEKS,
  AUTODATE,
  OFFSET1,
  CNVFMT,  // 10
  NONECON,
  INCUT,
  INCUV,
  GLO_OUTNAME,
  INCLSWAPS,
  OFFSET2,
  OFF2FMT,
  OFF2EXP,
  SPACING1,
  FROMDATE,  // 20
  BUTTON8,
  THRUDATE,
  BUTTON9,
  CHECK1,
  CHECK2,
  CHECKM1,
  CHECKM5,
  CHECKM15,
  CHECKM30,
  CHECKH1,  // 30
  CHECKH4,
  CHECKD1,
  CHECKW1,
  CHECKMN,
  RCHARTS,
  ZCHARTS,
  ICHARTS,
  DESCR1,
  DESCR2,
  DESCR3,  // 40
  DESCR4,
  RDESC,
  SYMALL,
  SYMUSD,
  SYMCAD,
  SYMEUR,
  SYMGBP,
  SYMCHF,
  SYMJPY,
  SYMAUD,  // 50
  SYMNZD,
  SYMOTR,
  WINGALL,
  WINGUSD,
  WINGCAD,
  WINGEUR,
  WINGGBP,
  WINGCHF,
  WINGJPY,
  WINGAUD,  // 60
  WINGNZD,
  WINGOTR,
  DEFALL,
  DEFUSD,
  DEFCAD,
  DEFEUR,
  DEFGBP,
  DEFCHF,
  DEFJPY,
  DEFAUD,  // 70
  DEFNZD,
  DEFOTR,
  WDCHART,
  RSYMBOLS,
  MSYMBOLS,
  ZSYMBOLS,
  DSYMBOLS,
  ISYMBOLS,
  SYMLOW,
  SYMMED,  // 80
  SYMHIGH,
  SETLOW,
  SETMED,
  SETHIGH,
  RCOLORS,
  MCOLORS,
  ZCOLORS,
  DESCFIRST,
  XOUT,
  SEPCHAR,  // 90
  DATEFMT,
  GLO_OUTXLSNAME,
  PREVIEW,
  NUMONLY,
  PEDFORMAT,
  PNFORMAT,
  ZOUTPUT,
  IOUTPUT,
  OUTDATE,
  OUTTIME,  // 100
  OUTCURRENCY,
  OUTDESCR,
  OUTIMPACT,
  OUTACTUAL,
  OUTFORECAST,
  OUTPREVIOUS,
  OUTREVISED,
  OUTKXID,
  NCIOUT,
  NCIAUTO,  // 110
  EXECGROUP,
  PFILENAME,
  LOAD1,
  SAVE1,
  DELETE1,
  EFFECTSSETUP,
  EFFECTS,
  PAIRS,
  PAIRCLR,
  PAIRALL,  // 120
  PAIRUSD,
  PAIRCAD,
  PAIREUR,
  PAIRGBP,
  PAIRCHF,
  PAIRJPY,
  PAIRAUD,
  PAIRNZD,
  PAIRSEP,
  OK,  // 130
  CANCEL,
  PROFILENAME,
  CALPROC,
  COUNT1,
  // Notes of the program's own, shown beside OFFSET1 and LOADWEEKS: the time zones in use, and
  // that LOADWEEKS does not apply to the feed.
  ZONENOTE,  // 135
  LOADNOTE,
  // Beside the News.CSV path: that no MT4 of today reads it there.
  NEWSNOTE,
};

constexpr int kProcFileControls = 137;

constexpr ProcFileControl control(int n) {
  return static_cast<ProcFileControl>(n);
}

// Decorations of the window (prompts, group boxes, options) are numbered from here on.
constexpr int kProcFileDecorations = 201;

// The picture beside the colour buttons: the colour numbers 1 to 11 (named by its image control).
constexpr std::string_view kColourLegend = "colour legend: the colour numbers 1 to 11";

// The window's controls in window order, with their texts, pictures and group boxes.
const std::vector<ControlSpec>& procfile_controls();

// The setting a control edits, by its name in the settings file ("OUTNAME" for ?GLO:OUTNAME);
// empty for buttons, displays and the profile entry.
std::string_view control_setting(ProcFileControl c);

// Stores an entry that the control of setting `name` took (read_typed) into the setting, as the
// window stores it: 92 with the reason when the setting refuses the value (a spacing below 1, a
// date outside 1900 to 2099, ...); rec is unchanged then.
Status store_typed_setting(SettingsRecord& rec, std::string_view name, const ControlSpec& control,
                           const Typed& value);

// A setting's value as the command line gives it (`settings set`, `--set`), taken as typing it
// into the setting's control of the window takes it: through the control's picture or choices,
// then stored as above. Dates may also be given as yyyy-mm-dd or as a serial. A setting without
// a control (INPNAME) takes what set_setting takes. 92 with a reason that names the setting;
// rec is unchanged then.
Status type_setting(SettingsRecord& rec, std::string_view name, std::string_view text);

}  // namespace mervane
