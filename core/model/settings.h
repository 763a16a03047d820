// Settings groups shared between windows: the Build window's settings (G2PARMS) and the effects
// analysis settings (G3PARMS).
#pragma once

#include <array>
#include <cstdint>

#include "core/runtime/schema.h"
#include "core/util/text.h"

namespace mervane {

// The dates the Build window's date fields take, and an automatic run's start date: 1 January
// 1900 to 31 December 2099 (as date serials), the century the calendar service and MT4 work in.
constexpr std::int32_t kFirstSettingDate = 36163;
constexpr std::int32_t kLastSettingDate = 109211;

// The widest News.CSV path the Build window keeps: an MT4 data folder deep in a Wine prefix
// ("/home/<user>/.wine/drive_c/users/<user>/AppData/Roaming/MetaQuotes/Terminal/<ID>/MQL4/
// Files/News.CSV") is longer than the 99 characters of the other file names. The settings file
// holds it as a line of its own, so the width changes nothing there.
constexpr std::size_t kNewsPathWidth = 255;
// The same for the folder of the MT4 history files the effects analysis reads.
constexpr std::size_t kHistPathWidth = 255;

// G2PARMS: one field per Build window control, in declaration order. fields() lists them with
// the names the settings file's line table and the command line use (upper case).
struct BuildSettings {
  Text<99> inpname;
  Text<kNewsPathWidth> outname;
  std::int16_t inclswaps = 0;
  std::int32_t date1 = 0;
  std::int16_t offset1 = 0;
  std::int16_t offset2 = 0;
  std::int16_t spacing1 = 0;
  std::int16_t check1 = 0;
  std::int16_t checkm1 = 0, checkm5 = 0, checkm15 = 0, checkm30 = 0, checkh1 = 0, checkh4 = 0,
               checkd1 = 0, checkw1 = 0, checkmn = 0;
  std::int32_t fromdate = 0;
  std::int32_t thrudate = 0;
  std::int16_t symall = 0, symusd = 0, symcad = 0, symeur = 0, symgbp = 0, symchf = 0, symjpy = 0,
               symaud = 0, symnzd = 0;
  std::int16_t symlow = 0, symmed = 0, symhigh = 0;
  std::int16_t checkhist = 0;
  std::int16_t checkwget = 0;
  std::int16_t off2fmt = 0;
  Text<80> descr1, descr2, descr3;
  std::int16_t loadweeks = 0;
  std::int16_t cnvfmt = 0;
  std::int16_t incut = 0;
  std::int16_t incuv = 0;
  std::int16_t descfirst = 0;
  std::int16_t xout = 0;
  Text<2> sepchar;
  Text<99> outxlsname;
  Text<2> datefmt;
  std::int16_t cldrfmt = 0;
  std::int16_t autodate = 0;
  std::int16_t numonly = 0;
  std::int16_t outdate = 0, outtime = 0, outcurrency = 0, outdescr = 0, outimpact = 0,
               outactual = 0, outforecast = 0, outprevious = 0, outrevised = 0, outkxid = 0;
  Text<80> descr4;
  std::int16_t check2 = 0;
  Text<139> pairs;
  std::int16_t off2exp = 0;
  std::int16_t nciout = 0;
  std::int16_t nciauto = 0;
  std::int16_t symotr = 0;

  template <class R, class V>
  static void fields(R& r, V&& f) {
    using K = FieldKind;
    f("INPNAME", r.inpname, K::Text);
    f("OUTNAME", r.outname, K::Text);
    f("INCLSWAPS", r.inclswaps, K::Int);
    f("DATE1", r.date1, K::Date);
    f("OFFSET1", r.offset1, K::Int);
    f("OFFSET2", r.offset2, K::Int);
    f("SPACING1", r.spacing1, K::Int);
    f("CHECK1", r.check1, K::Int);
    f("CHECKM1", r.checkm1, K::Int);
    f("CHECKM5", r.checkm5, K::Int);
    f("CHECKM15", r.checkm15, K::Int);
    f("CHECKM30", r.checkm30, K::Int);
    f("CHECKH1", r.checkh1, K::Int);
    f("CHECKH4", r.checkh4, K::Int);
    f("CHECKD1", r.checkd1, K::Int);
    f("CHECKW1", r.checkw1, K::Int);
    f("CHECKMN", r.checkmn, K::Int);
    f("FROMDATE", r.fromdate, K::Date);
    f("THRUDATE", r.thrudate, K::Date);
    f("SYMALL", r.symall, K::Int);
    f("SYMUSD", r.symusd, K::Int);
    f("SYMCAD", r.symcad, K::Int);
    f("SYMEUR", r.symeur, K::Int);
    f("SYMGBP", r.symgbp, K::Int);
    f("SYMCHF", r.symchf, K::Int);
    f("SYMJPY", r.symjpy, K::Int);
    f("SYMAUD", r.symaud, K::Int);
    f("SYMNZD", r.symnzd, K::Int);
    f("SYMLOW", r.symlow, K::Int);
    f("SYMMED", r.symmed, K::Int);
    f("SYMHIGH", r.symhigh, K::Int);
    f("CHECKHIST", r.checkhist, K::Int);
    f("CHECKWGET", r.checkwget, K::Int);
    f("OFF2FMT", r.off2fmt, K::Int);
    f("DESCR1", r.descr1, K::Text);
    f("DESCR2", r.descr2, K::Text);
    f("DESCR3", r.descr3, K::Text);
    f("LOADWEEKS", r.loadweeks, K::Int);
    f("CNVFMT", r.cnvfmt, K::Int);
    f("INCUT", r.incut, K::Int);
    f("INCUV", r.incuv, K::Int);
    f("DESCFIRST", r.descfirst, K::Int);
    f("XOUT", r.xout, K::Int);
    f("SEPCHAR", r.sepchar, K::Text);
    f("OUTXLSNAME", r.outxlsname, K::Text);
    f("DATEFMT", r.datefmt, K::Text);
    f("CLDRFMT", r.cldrfmt, K::Int);
    f("AUTODATE", r.autodate, K::Int);
    f("NUMONLY", r.numonly, K::Int);
    f("OUTDATE", r.outdate, K::Int);
    f("OUTTIME", r.outtime, K::Int);
    f("OUTCURRENCY", r.outcurrency, K::Int);
    f("OUTDESCR", r.outdescr, K::Int);
    f("OUTIMPACT", r.outimpact, K::Int);
    f("OUTACTUAL", r.outactual, K::Int);
    f("OUTFORECAST", r.outforecast, K::Int);
    f("OUTPREVIOUS", r.outprevious, K::Int);
    f("OUTREVISED", r.outrevised, K::Int);
    f("OUTKXID", r.outkxid, K::Int);
    f("DESCR4", r.descr4, K::Text);
    f("CHECK2", r.check2, K::Int);
    f("PAIRS", r.pairs, K::Text);
    f("OFF2EXP", r.off2exp, K::Int);
    f("NCIOUT", r.nciout, K::Int);
    f("NCIAUTO", r.nciauto, K::Int);
    f("SYMOTR", r.symotr, K::Int);
  }
  friend bool operator==(const BuildSettings&, const BuildSettings&) = default;
};

// G3PARMS: where the MT4 history files are, the 24 sampling offsets in minutes and the chart
// timeframe code ("M1" ... "MN").
struct EffectsSettings {
  Text<kHistPathWidth> histpath;
  std::array<std::int16_t, 24> timeint{};
  Text<4> chartint;
  friend bool operator==(const EffectsSettings&, const EffectsSettings&) = default;
};

}  // namespace mervane
