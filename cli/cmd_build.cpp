// The Build window's commands: build, preview, group, profile save|load|delete|list and
// settings show|set.
#include <CLI/CLI.hpp>

#include <functional>

#include <memory>
#include <ostream>

#include "cli/cli_windows.h"
#include "cli/commands.h"
#include "cli/listing.h"
#include "core/import/calendar_address.h"
#include "core/import/calendar_source.h"
#include "core/live/guard_file.h"
#include "core/live/live_settings.h"
#include "core/model/local_settings.h"
#include "core/model/program_files.h"
#include "core/output/procfile.h"
#include "core/output/profiles.h"
#include "core/runtime/download.h"
#include "core/runtime/paths.h"
#include "core/runtime/table.h"
#include "core/runtime/text_file.h"
#include "core/util/charset.h"
#include "core/util/picture.h"

namespace mervane::cli {
namespace {

constexpr std::string_view kAutoplay = "Autoplay.CSV";

struct Assignment {
  std::string name;
  std::string value;  // Windows-1252, as the settings hold texts
  std::string typed;  // as typed (UTF-8): a folder name of this machine
};

// NAME=VALUE from the command line (UTF-8), the name one of the settings file's.
std::vector<Assignment> parse_assignments(const std::vector<std::string>& args, bool local_too) {
  std::vector<Assignment> out;
  for (const std::string& a : args) {
    const std::size_t eq = a.find('=');
    if (eq == std::string::npos || eq == 0)
      throw UsageError("expected NAME=VALUE, not '" + a + "'");
    Assignment s{upper_ascii(a.substr(0, eq)), cp1252_from_utf8(a.substr(eq + 1)),
                 a.substr(eq + 1)};
    const bool local = s.name == kCalendarAddressSetting || s.name == kProgramFilesSetting ||
                       is_calendar_setting(s.name) || is_live_setting(s.name);
    if (!is_setting_name(s.name) && !(local_too && local))
      throw UsageError("there is no setting " + a.substr(0, eq) +
                       " (mervane-cli settings show lists them)");
    out.push_back(std::move(s));
  }
  return out;
}

// Sets the values into rec as typing them into the Build window would; a value the window
// would refuse is a usage error.
void apply(SettingsRecord& rec, const std::vector<Assignment>& sets) {
  for (const Assignment& a : sets) {
    if (!is_setting_name(a.name)) continue;
    const Status st = type_setting(rec, a.name, a.value);
    if (st.failed()) throw UsageError(st.text);
  }
}

// The settings the Build window would read: the built-in values and the settings file.
SettingsRecord saved_settings(Context& c) {
  SettingsRecord rec = built_in_defaults(c.session->clock().today(), c.session->folder());
  load_ini(c.session->folder(), rec, *c.reporter);
  return rec;
}

// The commands other than build open the Build window as well; with the trigger file present
// that would be an automatic run, and the trigger would be used up by a command that does not
// run. They refuse instead.
void refuse_automatic(Context& c, const char* command) {
  if (file_exists(c.session->folder() / std::string(kAutoplay)))
    throw std::runtime_error(std::string(command) + ": " + std::string(kAutoplay) +
                             " is in the folder, so the Build window would make an automatic "
                             "run; run 'mervane-cli build' or remove the file");
}

// One Build window with what the command line has for its windows and downloads.
struct Window {
  explicit Window(Context& c)
      : model(WindowServices{*c.session, *c.reporter, *c.progress, windows, downloader}) {
    model.set_run_tap(std::make_shared<GuardFile>(*c.session, *c.reporter));
  }
  CliWindows windows;
  CurlDownloader downloader;
  ProcFile model;
};

int build(Context& c, const std::vector<std::string>& set_args, const std::string& page) {
  const std::vector<Assignment> sets = parse_assignments(set_args, false);
  // Everything that can be refused is checked before the window opens: opening uses up an
  // "Autoplay.CSV".
  SettingsRecord check = saved_settings(c);
  apply(check, sets);
  const bool autoplay = file_exists(c.session->folder() / std::string(kAutoplay));
  // The window's OK holds while the output dates are the wrong way round (the automatic run
  // takes its dates from the trigger file).
  if (!autoplay && check.b.thrudate < check.b.fromdate)
    throw UsageError("THRUDATE (" + date_text(check.b.thrudate) + ") is before FROMDATE (" +
                     date_text(check.b.fromdate) + "): the Build window does not run");
  std::string page_bytes;
  if (!page.empty()) {
    if (!file_exists(page)) throw UsageError("--page: there is no file " + page);
    if (check.b.checkhist == 0)
      throw UsageError("--page: the history update is off (CHECKHIST=0), so no page is read");
    TextReader probe;
    if (Status st = probe.open(page); st.failed())
      throw UsageError("--page: " + stop_text("Open", page, st));
  }

  Window w(c);
  w.model.open();
  apply(w.model.settings(), sets);
  if (!w.model.automatic()) w.model.auto_set_pass();
  if (!page.empty()) w.model.read_saved_page(std::filesystem::absolute(page));
  // The user's OK; the automatic run starts by itself once the window is shown.
  const Reply r = w.model.automatic() ? w.model.other_event({OtherEvent::Kind::Opened})
                                      : w.model.accepted(number(ProcFileControl::OK));
  if (!r.close) throw UsageError("the Build window did not run");
  return 0;
}

// Opens the Build window for a command that is not its OK run, with --set applied for that
// command only, and hands it to act. The settings are checked before the window opens.
void with_window(Context& c, const std::vector<std::string>& set_args, const char* command,
                 const std::function<void(ProcFile&)>& act) {
  const std::vector<Assignment> sets = parse_assignments(set_args, false);
  SettingsRecord check = saved_settings(c);
  apply(check, sets);
  refuse_automatic(c, command);
  Window w(c);
  w.model.open();
  apply(w.model.settings(), sets);
  act(w.model);
}

int preview(Context& c, const std::vector<std::string>& set_args) {
  with_window(c, set_args, "preview", [](ProcFile& m) { m.preview(); });
  Table<PviewTable> t(c.session->folder());
  print_header<PviewRecord>(c.o());
  if (stop_if_failed(*c.reporter, "Open", t.file_name(), t.open(OpenMode::read_only()))) return 0;
  Status st = t.set_start(PviewKey::KeyDate);
  while (st.is_ok() && (st = t.next()).is_ok()) print_row(c.o(), t.rec);
  if (st.code != kRecordNotAvailable) stop(*c.reporter, "Get", t.file_name(), st);
  return 0;
}

void check_name(const std::string& name) {
  const Status st = check_profile_name(cp1252_from_utf8(name));
  if (st.failed()) throw UsageError(st.text);
}

int group(Context& c, const std::string& entry) {
  const std::string name = cp1252_from_utf8(entry);
  if (name.size() > ProfileName::width)
    throw UsageError("the profile entry holds at most 6 characters, the star included");
  refuse_automatic(c, "group");
  Window w(c);
  w.model.open();
  w.model.type(number(ProcFileControl::PFILENAME), name);
  w.model.accepted(number(ProcFileControl::EXECGROUP));
  return 0;
}

int profile(Context& c, const std::string& action, const std::string& name_utf8) {
  const std::filesystem::path& folder = c.session->folder();
  if (action == "list") {
    for (const ProfileName& n : profile_list(folder)) c.o() << utf8_from_cp1252(n.view()) << '\n';
    return 0;
  }
  if (name_utf8.empty()) throw UsageError("profile " + action + ": a profile name is needed");
  check_name(name_utf8);
  const std::string name = cp1252_from_utf8(name_utf8);
  if (action != "save" && !file_exists(profile_path(folder, name))) {
    c.e() << "mervane-cli: there is no profile " << name_utf8 << " ("
          << utf8_from_cp1252(profile_file_name(name)) << ")\n";
    return 1;
  }
  refuse_automatic(c, "profile");
  Window w(c);
  w.model.open();
  w.model.type(number(ProcFileControl::PFILENAME), name);
  const ProcFileControl button = action == "save"   ? ProcFileControl::SAVE1
                                 : action == "load" ? ProcFileControl::LOAD1
                                                    : ProcFileControl::DELETE1;
  w.model.accepted(number(button));
  // The window keeps a loaded profile until its next run; here the settings file takes it now.
  if (action == "load") save_ini(folder, w.model.settings(), *c.reporter);
  // After --keep-going answered Ignore to the "Remove(" message the profile is still there.
  if (action == "delete" && file_exists(profile_path(folder, name))) {
    c.e() << "mervane-cli: profile " << name_utf8 << " was not deleted\n";
    return 1;
  }
  return 0;
}

int settings_show(Context& c) {
  const SettingsRecord rec = saved_settings(c);
  for (const std::string& name : setting_names())
    c.o() << name << '=' << utf8_from_cp1252(setting_value(rec, name)) << '\n';
  c.o() << kCalendarAddressSetting << '=' << load_calendar_address(c.session->folder()) << '\n';
  c.o() << kProgramFilesSetting << '='
        << load_local_setting(c.session->folder(), kProgramFilesSetting) << '\n';
  const CalendarSettings cal = load_calendar_settings(c.session->folder());
  for (std::string_view name : calendar_setting_names())
    c.o() << name << '=' << calendar_setting_value(cal, name) << '\n';
  const LiveSettings live = load_live_settings(c.session->folder());
  for (std::string_view name : live_setting_names())
    c.o() << name << '=' << live_setting_value(live, name) << '\n';
  return 0;
}

// A refused value of the calendar's settings, with the command that lists the zone names.
[[noreturn]] void refuse_calendar_setting(const Assignment& a, const Status& st) {
  const bool zone =
      a.name == kCalendarZoneSetting || a.name == kMt4ZoneSetting || a.name == kLocalZoneSetting;
  throw UsageError(a.name + ": " + st.message() +
                   (zone ? " (mervane-cli zones lists the known names)" : ""));
}

int settings_set(Context& c, const std::vector<std::string>& args) {
  const std::vector<Assignment> sets = parse_assignments(args, true);
  SettingsRecord rec = saved_settings(c);
  apply(rec, sets);  // every value is checked before anything is written
  for (const Assignment& a : sets) {
    std::string stored;
    if (is_live_setting(a.name)) {
      if (Status st = check_live_setting(a.name, a.typed, stored); st.failed())
        throw UsageError(a.name + ": " + st.message());
    }
    if (!is_calendar_setting(a.name)) continue;
    if (Status st = check_calendar_setting(a.name, a.typed, stored); st.failed())
      refuse_calendar_setting(a, st);
  }
  const std::filesystem::path& folder = c.session->folder();
  bool file_settings = false;
  for (const Assignment& a : sets) {
    if (is_live_setting(a.name)) {
      stop_if_failed(*c.reporter, "Create", kLocalSettingsFile,
                     save_live_setting(folder, a.name, a.typed));
    } else if (is_calendar_setting(a.name)) {
      const Status st = save_calendar_setting(folder, a.name, a.typed);
      if (st.code == kBadValue) refuse_calendar_setting(a, st);
      stop_if_failed(*c.reporter, "Create", kLocalSettingsFile, st);
    } else if (a.name == kCalendarAddressSetting) {
      const Status st = save_calendar_address(folder, a.value);
      if (st.code == kBadValue) throw UsageError(st.message());
      stop_if_failed(*c.reporter, "Create", kLocalSettingsFile, st);
    } else if (a.name == kProgramFilesSetting) {
      const Status st = save_local_setting(folder, a.name, a.typed);
      if (st.code == kBadValue) throw UsageError(st.message());
      stop_if_failed(*c.reporter, "Create", kLocalSettingsFile, st);
    } else {
      file_settings = true;
    }
  }
  if (file_settings) save_ini(folder, rec, *c.reporter);
  return 0;
}

}  // namespace

int effects_analysis(Context& c, const std::vector<std::string>& set_args) {
  // The Effects button: the preview run fills PVIEW, the settings go to G2PARMS, then the
  // analysis writes its two files.
  with_window(c, set_args, "effects",
              [](ProcFile& m) { m.accepted(number(ProcFileControl::EFFECTS)); });
  return 0;
}

void add_build_commands(CLI::App& app, Context& ctx) {
  {
    auto* cmd = app.add_subcommand("build", "the Build window's OK run with the saved settings");
    auto sets = std::make_shared<std::vector<std::string>>();
    auto page = std::make_shared<std::string>();
    cmd->add_option("--set", *sets, "change a setting first (NAME=VALUE; saved by the run)");
    cmd->add_option("--page", *page, "read FILE as the hand-saved page instead of downloading");
    on_run(*cmd, ctx, [sets, page](Context& c) { return build(c, *sets, *page); });
  }
  {
    auto* cmd = app.add_subcommand("preview", "fill the preview table and print its rows");
    auto sets = std::make_shared<std::vector<std::string>>();
    cmd->add_option("--set", *sets, "change a setting for this preview (NAME=VALUE)");
    on_run(*cmd, ctx, [sets](Context& c) { return preview(c, *sets); });
  }
  {
    auto* cmd = app.add_subcommand("group", "the export of every profile, or of NAME* only");
    auto name = std::make_shared<std::string>();
    cmd->add_option("NAME", *name, "profile name prefix followed by *, or any name for all")
        ->required();
    on_run(*cmd, ctx, [name](Context& c) { return group(c, *name); });
  }
  {
    auto* cmd = app.add_subcommand("profile", "save, load, delete or list profiles");
    auto action = std::make_shared<std::string>();
    auto name = std::make_shared<std::string>();
    cmd->add_option("ACTION", *action, "save, load, delete or list")
        ->required()
        ->check(CLI::IsMember({"save", "load", "delete", "list"}));
    cmd->add_option("NAME", *name, "profile name (up to 6 characters)");
    on_run(*cmd, ctx, [action, name](Context& c) { return profile(c, *action, *name); });
  }
  {
    auto* cmd = app.add_subcommand("settings", "show or change the saved settings");
    auto action = std::make_shared<std::string>();
    auto args = std::make_shared<std::vector<std::string>>();
    cmd->add_option("ACTION", *action, "show or set")
        ->required()
        ->check(CLI::IsMember({"show", "set"}));
    cmd->add_option("NAME=VALUE", *args, "settings to change (set)");
    on_run(*cmd, ctx, [action, args](Context& c) {
      if (*action == "show") {
        if (!args->empty()) throw UsageError("settings show takes no values");
        return settings_show(c);
      }
      if (args->empty()) throw UsageError("settings set: NAME=VALUE expected");
      return settings_set(c, *args);
    });
  }
}

}  // namespace mervane::cli
