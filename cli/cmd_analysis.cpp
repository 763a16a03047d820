// effects setup, nci and setup: the effects analysis settings window, the NCI output and the
// Initial setup, run headless.
#include <CLI/CLI.hpp>

#include <charconv>
#include <ostream>

#include "cli/cli_windows.h"
#include "cli/commands.h"
#include "core/analysis/effects_offsets.h"
#include "core/analysis/effects_setup.h"
#include "core/analysis/nci_output.h"
#include "core/model/program_files.h"
#include "core/output/settings_file.h"
#include "core/util/concat.h"
#include "core/runtime/paths.h"
#include "core/setup/folder_list.h"
#include "core/setup/initial_setup.h"
#include "core/util/charset.h"
#include "core/util/picture.h"

namespace mervane::cli {
namespace {

struct SetupOptions {
  std::string path;
  std::string timeframe;
  bool reset = false, increase = false, decrease = false, clear = false;
  std::vector<std::string> offsets;
};

std::vector<std::int64_t> parse_offsets(const std::vector<std::string>& texts) {
  if (texts.size() > 24) throw UsageError("--offsets: at most 24 offsets");
  std::vector<std::int64_t> out;
  for (const std::string& t : texts) {
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size())
      throw UsageError("--offsets: " + t + " is not a whole number of minutes");
    if (v < EffectsSetup::kMinOffset || v > EffectsSetup::kMaxOffset)
      throw UsageError("--offsets: " + t + " lies outside -32768..32767 minutes");
    out.push_back(v);
  }
  return out;
}

int effects_setup(Context& c, const SetupOptions& o) {
  std::string code = upper_ascii(o.timeframe);
  if (!o.timeframe.empty() && !timeframe_step(code))
    throw UsageError("--timeframe: " + o.timeframe + " is none of M1 M5 M15 M30 H1 H4 D1 W1 MN");
  const std::string path = cp1252_from_utf8(o.path);
  if (path.size() > decltype(EffectsSettings::histpath)::width)
    throw UsageError(concat({"--path: longer than ", std::to_string(kHistPathWidth), " characters"}));
  const std::vector<std::int64_t> offsets = parse_offsets(o.offsets);

  using C = EffectsSetupControl;
  EffectsSetup m(*c.session, *c.reporter);
  m.open();
  if (!o.path.empty()) m.type(number(C::HISTPATH), path);
  if (!code.empty()) m.type(number(C::OPTION1), "  " + code);  // the radio button's text
  if (o.reset) m.accepted(number(C::RESET));
  if (o.increase) m.accepted(number(C::INCREASE));
  if (o.decrease) m.accepted(number(C::DECREASE));
  if (o.clear) m.accepted(number(C::CLEAR));
  if (m.out_of_range() > 0)
    c.e() << "mervane-cli: " << m.out_of_range()
          << " offsets lay outside -32768..32767 minutes and were set to 0\n";
  if (!offsets.empty()) {
    m.accepted(number(C::UNLOCK));
    for (std::size_t i = 0; i < offsets.size(); ++i)
      m.type(number(C::TIMEINT_1) + static_cast<int>(i), std::to_string(offsets[i]));
  }
  m.key({Key::Enter});

  const EffectsSettings& s = m.settings();
  c.o() << "PATH=" << utf8_from_cp1252(s.histpath.view()) << '\n'
        << "TIMEFRAME=" << utf8_from_cp1252(s.chartint.view()) << '\n'
        << "OFFSETS=";
  for (std::size_t i = 0; i < s.timeint.size(); ++i) c.o() << (i ? "," : "") << s.timeint[i];
  c.o() << '\n';
  return 0;
}

// The Build window's settings as a run starts with them: the settings file over the built-in
// defaults, with the corrections made after loading.
SettingsRecord saved_settings(Context& c) {
  SettingsRecord rec = built_in_defaults(c.clock->today(), c.session->folder());
  const Status st = read_settings_file(c.session->folder() / std::string(kSettingsFile), rec);
  if (st.failed() && st.code != kFileNotFound)
    throw std::runtime_error(stop_text("Open", kSettingsFile, st));
  repair_after_load(rec);
  return rec;
}

int nci(Context& c) {
  const SettingsRecord rec = saved_settings(c);
  c.session->set_g2(rec.b);
  c.session->with([&](Globals& g) { g.outname = rec.b.outname; });
  if (rec.b.nciout <= 0) c.e() << "mervane-cli: NCIOUT is 0 in the settings: no NCI file\n";
  NciOutput window(*c.session, *c.reporter, *c.progress);
  CliWindows().run(window);
  return 0;
}

// "DATE HH:MM" as the window's date and time fields take them.
std::pair<std::int32_t, std::int32_t> moment(const std::string& option, const std::string& text) {
  const std::size_t blank = text.find_last_of(' ');
  if (blank == std::string::npos) throw UsageError(option + ": give \"DATE HH:MM\"");
  const auto date = parse_cli_date(text.substr(0, blank));
  if (!date) throw UsageError(option + ": " + date.reason);
  const auto time = parse_value("T1", text.substr(blank + 1));
  if (!time) throw UsageError(option + ": " + time.reason);
  return {*date.value, static_cast<std::int32_t>(*time.value)};
}

struct InitialOptions {
  std::string kx, mt4, local, folder;
};

int initial_setup(Context& c, const InitialOptions& o) {
  using C = InitialSetupControl;
  struct Reading {
    const std::string& option;
    const std::string& typed;
    C date, time;
  };
  const Reading readings[] = {{"--kx", o.kx, C::KXDATE, C::KXTIME},
                              {"--mt4", o.mt4, C::MTDATE, C::MTTIME},
                              {"--local", o.local, C::LDATE, C::LTIME}};
  std::vector<std::pair<std::int32_t, std::int32_t>> moments;
  for (const Reading& r : readings)
    moments.push_back(r.typed.empty() ? std::pair{0, 0} : moment(r.option, r.typed));
  const std::string folder = cp1252_from_utf8(o.folder);
  if (folder.size() > kFolderNameWidth) throw UsageError("--folder: longer than 40 characters");

  InitialSetup m(*c.session, *c.reporter);
  m.open();
  for (std::size_t i = 0; i < moments.size(); ++i) {
    if (readings[i].typed.empty()) continue;
    m.type(number(readings[i].date), date_text(moments[i].first));
    m.type(number(readings[i].time), format_value("T1", moments[i].second));
  }
  m.type(number(C::PARM3), folder);
  if (!m.key({Key::Enter}).close) return 2;  // the model said why
  // What the Build window takes over from the setup, as settings names.
  const Globals results = c.session->globals();  // GLO:PARM1, GLO:PARM2, GLO:PARM3
  const std::string chosen = results.parm3.str();
  c.o() << "OFFSET1=" << results.parm1 << '\n'
        << "OFFSET2=" << results.parm2 << '\n'
        << "FOLDER=" << utf8_from_cp1252(chosen) << '\n'
        << "OUTNAME="
        << utf8_from_cp1252(m.news_csv().empty() ? news_csv_path_for(c.session->folder(), chosen)
                                                 : m.news_csv())
        << '\n';
  return 0;
}

}  // namespace

void add_analysis_commands(CLI::App& app, Context& ctx) {
  auto* effects = app.add_subcommand(
      "effects", "preview run, then the effects analysis (the Effects button); or its settings");
  effects->require_subcommand(0, 1);
  auto effect_sets = std::make_shared<std::vector<std::string>>();
  effects->add_option("--set", *effect_sets, "change a setting for this run (NAME=VALUE)");
  auto* setup = effects->add_subcommand(
      "setup", "the effects analysis settings (EFF.INI): path, timeframe, offsets");
  auto so = std::make_shared<SetupOptions>();
  setup->add_option("--path", so->path, "folder of the MT4 history files");
  setup->add_option("--timeframe", so->timeframe,
                    "M1 M5 M15 M30 H1 H4 D1 W1 MN (resets the offsets)");
  auto* reset = setup->add_flag("--reset", so->reset, "offsets -step, 0, step, ...");
  auto* inc = setup->add_flag("--increase", so->increase, "every offset one step later");
  auto* dec = setup->add_flag("--decrease", so->decrease, "every offset one step earlier");
  auto* clr = setup->add_flag("--clear", so->clear, "every offset 0");
  reset->excludes(inc)->excludes(dec)->excludes(clr);
  inc->excludes(dec)->excludes(clr);
  dec->excludes(clr);
  setup->add_option("--offsets", so->offsets, "offsets typed in from the first, N,N,...")
      ->delimiter(',');
  on_run(*setup, ctx, [so](Context& c) { return effects_setup(c, *so); });
  effects->callback([&ctx, setup, effect_sets] {
    if (!setup->parsed())
      ctx.selected = [effect_sets](Context& c) { return effects_analysis(c, *effect_sets); };
  });

  auto* nci_cmd = app.add_subcommand("nci", "merge the Event History into the NCI files");
  on_run(*nci_cmd, ctx, [](Context& c) { return nci(c); });

  auto* init = app.add_subcommand("setup", "the Initial setup: time offsets and the MT4 folder");
  auto io = std::make_shared<InitialOptions>();
  init->add_option("--kx", io->kx, "the KX calendar's current \"DATE HH:MM\" (default: now)");
  init->add_option("--mt4", io->mt4, "the MT4 broker's current \"DATE HH:MM\"");
  init->add_option("--local", io->local, "your local \"DATE HH:MM\"");
  init->add_option("--folder", io->folder, "the broker's MT4 folder below Program Files")
      ->required();
  on_run(*init, ctx, [io](Context& c) { return initial_setup(c, *io); });
}

}  // namespace mervane::cli
