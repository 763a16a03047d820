#include "core/output/procfile_controls.h"

namespace mervane {

static_assert(number(ProcFileControl::OK) == 130 && number(ProcFileControl::COUNT1) == 134);

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

}  // namespace mervane
