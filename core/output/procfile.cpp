// The Build window's opening steps and events. The run and the buttons that read the history
// (Preview, Effects, ">>>") are in procfile_run.cpp.
#include "core/output/procfile.h"

#include "core/analysis/effects_setup.h"
#include "core/model/program_files.h"
#include "core/runtime/paths.h"
#include "core/setup/calendar.h"
#include "core/setup/initial_setup.h"
#include "core/setup/pick_date.h"
#include "core/util/charset.h"
#include "core/util/dates.h"

namespace mervane {
namespace {

using C = ProcFileControl;

std::int32_t date_of(int y, int m, int d) {
  return *date_serial(y, m, d);
}

// From 2007 on the calendar uses today's currency names, so the conversion box has nothing to
// do for a download starting then.
const std::int32_t kCurrencyNamesChanged = date_of(2007, 1, 1);

bool in_range(C c, C from, C thru) {
  return number(c) >= number(from) && number(c) <= number(thru);
}

}  // namespace

ProcFile::ProcFile(WindowServices services) : WindowModelBase(services.reporter), svc_(services) {
  // The initial values of the window; DATE1, FROMDATE and THRUDATE are set by open().
  s_ = built_in_defaults(0, svc_.session.folder());
  s_.b.date1 = s_.b.fromdate = s_.b.thrudate = 0;
  enabled_.fill(true);
}

void ProcFile::open() {
  Session& session = svc_.session;
  const std::int32_t today = session.clock().today();
  forcesetup_ = false;
  session.with([](Globals& g) { g.parm3.clear(); });
  bool empty = false;
  highdate_ = high_date(session, svc_.reporter, empty);
  forcesetup_ = empty;
  profiles_ = profile_list(session.folder());
  s_ = built_in_defaults(today, session.folder());
  load_ini(session.folder(), s_, svc_.reporter, session.files());
  calendar_ = load_calendar_settings(session.folder());
  terminals_ = find_terminals(session);
  const auto autoplay = read_autoplay(session.folder(), svc_.reporter, session.files());
  session.with([&](Globals& g) { g.autop = autoplay ? 1 : 0; });
  if (autoplay) {
    s_.b.date1 = *autoplay;
    s_.b.fromdate = *autoplay - 35;
  }
  // The corrections of settings written by old versions, LOADWEEKS := 1, and a spacing below 1
  // (a divisor) read as 60.
  repair_after_load(s_);
  window_state();
  publish_names();
}

bool ProcFile::automatic() const {
  return svc_.session.globals().autop != 0;
}

const std::vector<ControlSpec>& ProcFile::controls() const {
  return procfile_controls();
}

// The decorations (prompts, group boxes, options) are never disabled.
bool ProcFile::enabled(int control) const {
  if (control >= kProcFileDecorations) return control_def(control) != nullptr;
  return control >= 1 && control <= kProcFileControls &&
         enabled_[static_cast<std::size_t>(control)];
}

std::vector<std::string> ProcFile::choices(int control) const {
  std::vector<std::string> out;
  if (control == number(C::PFILENAME))
    for (const ProfileName& p : profiles_) out.push_back(p.str());
  if (control == number(C::GLO_OUTNAME))
    for (const Terminal* t : usable_terminals(terminals_)) out.push_back(news_csv_setting(*t));
  return out;
}

std::string ProcFile::news_text() const {
  const std::string name = s_.b.outname.str();
  if (name.empty()) return {};
  const std::filesystem::path file = resolve(svc_.session.folder(), name);
  if (terminal_of_news(terminals_, file)) return {};
  // A terminal in a place finding does not look into (a prefix of its own): its files folder
  // still has these names, written as Windows or Wine write them.
  const std::string folder = windows_upper(utf8_from_cp1252(folder_part(name)));
  for (const std::string_view own : {"\\MQL4\\FILES\\", "/MQL4/FILES/"})
    if (folder.ends_with(own)) return {};
  return std::string(kNewsOutsideTerminals);
}

std::string ProcFile::value(int control) const {
  const ControlSpec* c = control_def(control);
  if (c == nullptr) return {};
  const C id = mervane::control(control);
  switch (id) {
    case C::PFILENAME:
      return pfilename_.str();
    case C::PROFILENAME:
      return profilename_.str();
    case C::CALPROC:
      return shown(c->picture, calproc_);
    case C::COUNT1:
      return shown(c->picture, static_cast<double>(count1_));
    case C::ZONENOTE:
      return zones_text();
    case C::LOADNOTE:
      return loadweeks_text();
    case C::NEWSNOTE:
      return news_text();
    case C::DATE1:
      return shown(c->picture, s_.b.date1);
    case C::FROMDATE:
      return shown(c->picture, s_.b.fromdate);
    case C::THRUDATE:
      return shown(c->picture, s_.b.thrudate);
    default:
      break;
  }
  if (in_range(id, C::WINGALL, C::WINGOTR))
    return std::to_string(static_cast<unsigned char>(wing(control - number(C::WINGALL))));
  const std::string_view name = control_setting(id);
  if (name.empty()) return {};
  const std::string v = setting_value(s_, name);
  if (c->kind == ControlKind::Check) return v == "0" ? "0" : "1";
  if (c->kind != ControlKind::Entry) return v;
  const std::optional<Picture> p = read_picture(c->picture);
  if (!p || p->kind == PictureKind::Text) return v;
  return shown(c->picture, std::stod(v));
}

char ProcFile::wing(int i) const {
  const std::int16_t sym[] = {s_.b.symall, s_.b.symusd, s_.b.symcad, s_.b.symeur, s_.b.symgbp,
                              s_.b.symchf, s_.b.symjpy, s_.b.symaud, s_.b.symnzd, s_.b.symotr};
  if (i < 0 || i > 9) return ' ';
  return static_cast<char>(static_cast<std::uint8_t>(sym[i] & 0xFF));
}

// ---- window state ----

void ProcFile::set_range(int from, int thru, bool on) {
  for (int i = from; i <= thru; ++i) enabled_[static_cast<std::size_t>(i)] = on;
}

void ProcFile::disp_wing() {
  // The export controls: separator, date format, path, Preview, Numbers only, the two format
  // buttons, Clear / All and the ten column boxes.
  const int first = number(C::SEPCHAR), last = number(C::OUTKXID);
  set_range(first, last, true);
  switch (s_.b.xout) {
    case 2:
    case 3:
      set_range(number(C::SEPCHAR), number(C::SEPCHAR), false);
      break;
    case 4:
      break;
    case 5:
      set_range(number(C::SEPCHAR), number(C::SEPCHAR), false);
      s_.b.numonly = 0;
      set_range(number(C::NUMONLY), number(C::NUMONLY), false);
      break;
    default:  // 1 (no export) and values outside 1..5
      set_range(first, last, false);
  }
  if (s_.b.outdate == 0 || s_.b.xout == 1) set_range(number(C::DATEFMT), number(C::DATEFMT), false);
}

void ProcFile::window_state() {
  set_range(number(C::CHECKHIST), number(C::CANCEL), true);
  disp_wing();
  if (s_.b.checkhist == 0) set_range(number(C::CLDRFMT), number(C::INCUV), false);
  if (s_.b.checkwget == 0) {
    s_.b.loadweeks = 1;
    set_range(number(C::LOADWEEKS), number(C::LOADWEEKS), false);
  }
  if (s_.b.date1 >= kCurrencyNamesChanged) set_range(number(C::CNVFMT), number(C::CNVFMT), false);
  if (s_.b.autodate == 1) set_range(number(C::DATE1), number(C::LOADWEEKS), false);
}

void ProcFile::publish_names() {
  svc_.session.with([&](Globals& g) {
    g.inpname = s_.b.inpname;
    g.outname = s_.b.outname;
    g.outxlsname = s_.b.outxlsname;
  });
}

// ---- events ----

Reply ProcFile::on_accepted(int control) {
  return handle(EventKind::Accepted, mervane::control(control));
}
Reply ProcFile::on_selecting(int control) {
  return handle(EventKind::Selecting, mervane::control(control));
}
Reply ProcFile::on_key(KeyPress k) {
  switch (k.key) {
    case Key::Enter:
      return handle(EventKind::Enter, ProcFileControl{});
    case Key::Esc:
      return handle(EventKind::Esc, ProcFileControl{});
    case Key::F10:  // the OK button's key
      return accepted(number(C::OK));
    default:
      return Reply::stay();
  }
}
Reply ProcFile::on_close_request() {
  return handle(EventKind::CloseRequest, ProcFileControl{});
}
Reply ProcFile::on_other_event(const OtherEvent&) {
  return handle(EventKind::Other, ProcFileControl{});
}

std::string ProcFile::store(int control, const Typed& value) {
  const C c = mervane::control(control);
  if (c == C::PFILENAME) {
    pfilename_ = value.text;
    return {};
  }
  const std::string_view name = control_setting(c);
  if (name.empty()) return {};
  const Status st = store_typed_setting(s_, name, *control_def(control), value);
  return st.failed() ? st.text : std::string();
}

Reply ProcFile::handle(EventKind kind, ProcFileControl c) {
  focus_ = ProcFileControl{};
  // The automatic run takes no input: it starts at the window's first event.
  if (automatic()) {
    run();
    return close(Response::Completed);
  }
  window_state();
  const bool ok = kind == EventKind::Accepted && c == C::OK;

  if (kind == EventKind::Esc || kind == EventKind::CloseRequest ||
      (kind == EventKind::Accepted && c == C::CANCEL))
    return close(Response::Cancelled);
  if (s_.b.thrudate < s_.b.fromdate &&
      ((kind == EventKind::Selecting && in_range(c, C::CHECK1, C::OK)) ||
       kind == EventKind::Enter || ok)) {
    focus_ = C::THRUDATE;
    window_state();
    return Reply::stay();
  }
  if (kind == EventKind::Enter || ok) {
    run();
    return close(Response::Completed);
  }

  if ((kind == EventKind::Accepted && c == C::INITIALSETUP) || forcesetup_) {
    initial_setup();
  } else if (kind == EventKind::Accepted && has_action(c)) {
    if (button(c)) return close(Response::Completed);
  } else {
    auto_set_fields();
  }
  window_state();
  publish_names();
  return Reply::stay();
}

void ProcFile::auto_set_pass() {
  if (closed()) return;
  window_state();
  auto_set_fields();
  window_state();
  publish_names();
}

DownloadFields ProcFile::download_fields() const {
  DownloadFields f;
  f.checkhist = s_.b.checkhist;
  f.checkwget = s_.b.checkwget;
  f.autodate = s_.b.autodate;
  f.loadweeks = s_.b.loadweeks;
  f.date1 = s_.b.date1;
  return f;
}

void ProcFile::set_download_fields(const DownloadFields& f) {
  s_.b.checkhist = f.checkhist;
  s_.b.checkwget = f.checkwget;
  s_.b.autodate = f.autodate;
  s_.b.loadweeks = f.loadweeks;
  s_.b.date1 = f.date1;
}

void ProcFile::auto_set_fields() {
  DownloadFields f = download_fields();
  const bool parm3_blank = svc_.session.globals().parm3.blank();
  auto_set(f, highdate_, svc_.session.clock().today(), parm3_blank);
  set_download_fields(f);
}

void ProcFile::initial_setup() {
  Session& session = svc_.session;
  InitialSetup setup(session, svc_.reporter);
  svc_.windows.run(setup);
  const Globals g = session.globals();
  if (!g.parm3.blank()) {
    s_.b.offset1 = g.parm1;
    s_.b.offset2 = g.parm2;
    // The terminal chosen in the setup tells where its indicator reads News.CSV; a folder
    // name typed in only where the terminal was installed.
    const std::string news = setup.news_csv();
    s_.b.outname = news.empty() ? news_csv_path_for(session.folder(), g.parm3.view()) : news;
    DownloadFields f = download_fields();
    after_initial_setup(f, session.clock().today());
    set_download_fields(f);
  }
  forcesetup_ = false;
}

// ---- buttons ----

bool ProcFile::has_action(ProcFileControl c) const {
  switch (c) {
    case C::RCHARTS:
    case C::ZCHARTS:
    case C::ICHARTS:
    case C::RDESC:
    case C::WDCHART:
    case C::RSYMBOLS:
    case C::MSYMBOLS:
    case C::ZSYMBOLS:
    case C::DSYMBOLS:
    case C::ISYMBOLS:
    case C::SETLOW:
    case C::SETMED:
    case C::SETHIGH:
    case C::RCOLORS:
    case C::MCOLORS:
    case C::ZCOLORS:
    case C::PREVIEW:
    case C::PEDFORMAT:
    case C::PNFORMAT:
    case C::ZOUTPUT:
    case C::IOUTPUT:
    case C::EXECGROUP:
    case C::LOAD1:
    case C::SAVE1:
    case C::DELETE1:
    case C::EFFECTSSETUP:
    case C::EFFECTS:
    case C::BUTTON7:
    case C::BUTTON8:
    case C::BUTTON9:
      return true;
    default:
      return in_range(c, C::DEFALL, C::DEFOTR) || in_range(c, C::PAIRCLR, C::PAIRSEP);
  }
}

std::array<std::int16_t*, 10> ProcFile::symbols() {
  BuildSettings& b = s_.b;
  return {&b.symall, &b.symusd, &b.symcad, &b.symeur, &b.symgbp,
          &b.symchf, &b.symjpy, &b.symaud, &b.symnzd, &b.symotr};
}

void ProcFile::reset_symbols() {
  std::int16_t code = 139;
  for (std::int16_t* s : symbols()) *s = code++;
}

void ProcFile::reset_colors() {
  s_.b.symlow = 1;
  s_.b.symmed = 2;
  s_.b.symhigh = 3;
}

void ProcFile::reset_charts() {
  BuildSettings& b = s_.b;
  b.checkm1 = b.checkm5 = b.checkm15 = b.checkm30 = b.checkh1 = 1;
  b.checkh4 = b.checkd1 = b.checkw1 = b.checkmn = 0;
}

void ProcFile::append_pair(std::string_view text) {
  s_.b.pairs = s_.b.pairs.str() + std::string(text);
}

bool ProcFile::profile_name_ok() {
  const Status st = check_profile_name(pfilename_.view());
  if (st.is_ok()) return true;
  refuse(st.text);
  return false;
}

bool ProcFile::button(ProcFileControl c) {
  BuildSettings& b = s_.b;
  const std::filesystem::path& folder = svc_.session.folder();
  FileSystem& files = svc_.session.files();
  auto columns = [&](std::int16_t v) {
    b.outdate = b.outtime = b.outcurrency = b.outdescr = b.outimpact = b.outactual = b.outforecast =
        b.outprevious = b.outrevised = b.outkxid = v;
  };
  if (in_range(c, C::DEFALL, C::DEFOTR)) {
    const int i = number(c) - number(C::DEFALL);
    *symbols()[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(139 + i);
    return false;
  }
  if (in_range(c, C::PAIRALL, C::PAIRNZD)) {
    static constexpr std::string_view kPairs[] = {"ALL", "USD", "CAD", "EUR", "GBP",
                                                  "CHF", "JPY", "AUD", "NZD"};
    append_pair(kPairs[number(c) - number(C::PAIRALL)]);
    return false;
  }
  switch (c) {
    case C::RCHARTS:
      reset_charts();
      break;
    case C::ZCHARTS:
    case C::ICHARTS: {
      const std::int16_t v = c == C::ICHARTS ? 1 : 0;
      b.checkm1 = b.checkm5 = b.checkm15 = b.checkm30 = b.checkh1 = b.checkh4 = b.checkd1 =
          b.checkw1 = b.checkmn = v;
      break;
    }
    case C::RDESC:
      b.descr1 = b.descr2 = b.descr3 = b.descr4 = "";
      break;
    case C::RSYMBOLS:
      reset_symbols();
      break;
    case C::ZSYMBOLS:
    case C::MSYMBOLS:
      for (std::int16_t* s : symbols()) *s = c == C::MSYMBOLS ? -1 : 0;
      break;
    case C::DSYMBOLS:
      for (std::int16_t* s : symbols()) *s = b.symall;
      break;
    case C::ISYMBOLS: {
      std::int16_t step = 0;
      for (std::int16_t* s : symbols()) *s = static_cast<std::int16_t>(b.symall + step++);
      break;
    }
    case C::RCOLORS:
      reset_colors();
      break;
    case C::ZCOLORS:
    case C::MCOLORS:
      b.symlow = b.symmed = b.symhigh = c == C::MCOLORS ? -1 : 0;
      break;
    case C::SETLOW:
      b.symlow = 1;
      break;
    case C::SETMED:
      b.symmed = 2;
      break;
    case C::SETHIGH:
      b.symhigh = 3;
      break;
    case C::ZOUTPUT:
      columns(0);
      break;
    case C::IOUTPUT:
      columns(1);
      break;
    case C::PEDFORMAT:
      // Mirel_Lines reads date, time and the plain number of the actual value. The built-in end
      // date is far ahead, so that a new installation does not stop writing at some year.
      columns(0);
      b.outdate = b.outtime = b.outactual = 1;
      b.numonly = 1;
      b.sepchar = ",";
      b.datefmt = "Y.";
      b.xout = 4;
      b.outxlsname = "*EXPORT";
      b.check2 = 1;
      b.fromdate = date_of(2006, 1, 1);
      b.thrudate = date_of(2099, 12, 31);
      b.checkhist = 0;
      break;
    case C::PNFORMAT:
      columns(1);
      b.numonly = 0;
      b.check2 = 0;
      b.datefmt = "M/";
      b.sepchar = ",\"";
      b.descr1 = b.descr2 = b.descr3 = b.descr4 = "";
      reset_symbols();
      reset_colors();
      reset_charts();
      b.outxlsname = "XLOutput.CSV";
      break;
    case C::BUTTON7:
      pick_date(svc_.windows, svc_.session, b.date1);
      break;
    case C::BUTTON8:
      pick_date(svc_.windows, svc_.session, b.fromdate);
      break;
    case C::BUTTON9:
      pick_date(svc_.windows, svc_.session, b.thrudate);
      break;
    case C::PAIRCLR:
      b.pairs = "";
      break;
    case C::PAIRSEP:
      append_pair(",");
      break;
    case C::WDCHART: {
      WingdingChart chart;
      svc_.windows.run(chart);
      break;
    }
    case C::LOAD1:
      if (profile_name_ok() && load_pfile(folder, pfilename_.view(), s_, svc_.reporter, files))
        profilename_ = pfilename_;
      break;
    case C::SAVE1:
      if (profile_name_ok())
        save_pfile(folder, pfilename_.view(), s_, profiles_, svc_.reporter, files);
      break;
    case C::DELETE1:
      if (profile_name_ok()) del_pfile(folder, pfilename_.view(), profiles_, svc_.reporter, files);
      break;
    case C::PREVIEW:
      preview();
      break;
    case C::EFFECTSSETUP: {
      EffectsSetup setup(svc_.session, svc_.reporter);
      svc_.windows.run(setup);
      break;
    }
    case C::EFFECTS:
      if (!automatic()) preview_then(true);
      break;
    case C::EXECGROUP:
      exec_prof_grp();
      return true;
    default:
      break;
  }
  return false;
}

}  // namespace mervane
