// terminals [--json]: the MT4 and MT5 terminals of this machine, where their News.CSV goes and
// what price history they keep.
#include <CLI/CLI.hpp>

#include <map>
#include <ostream>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "core/runtime/time_zones.h"
#include "core/setup/terminals.h"
#include "core/util/dates.h"

namespace mervane::cli {
namespace {

std::string kind_name(TerminalKind k) {
  return k == TerminalKind::Mt4 ? "MT4" : k == TerminalKind::Mt5 ? "MT5" : "unknown";
}

// "(MT4)", "(MT4, portable)", "(MT5: not usable for News.CSV, ...)".
std::string kind_text(const Terminal& t) {
  std::string s = kind_name(t.kind);
  if (t.portable) s += ", portable";
  if (t.before_600) s += " before build 600";
  if (t.kind == TerminalKind::Mt5)
    s += ": not usable for News.CSV, the Mirel_Events indicator runs in MT4";
  if (t.kind == TerminalKind::Unknown) s = "not usable: no MQL4 folder";
  return "(" + s + ")";
}

std::string utc_text(std::int64_t seconds) {
  return iso_date_time(seconds).substr(0, 16) + " UTC";
}

std::string age_text(std::int64_t seconds) {
  if (seconds < 0) return "in the future: the machine's clock is behind";
  const auto n = [](std::int64_t v, const char* unit) {
    return std::to_string(v) + " " + unit + (v == 1 ? "" : "s") + " ago";
  };
  if (seconds < 3600) return n(seconds / 60, "minute");
  if (seconds < 48 * 3600) return n(seconds / 3600, "hour");
  return n(seconds / 86400, "day");
}

std::string timeframes_text(const std::vector<int>& minutes) {
  std::string s;
  for (int m : minutes) {
    if (!s.empty()) s += ' ';
    s += timeframe_name(m);
  }
  return s;
}

void row(std::ostream& o, std::string_view label, std::string_view value) {
  o << "  " << label << std::string(label.size() < 17 ? 17 - label.size() : 1, ' ') << value
    << '\n';
}

void history_text(std::ostream& o, const HistoryServer& s) {
  o << "    " << s.name << '\n';
  // Symbols grouped by the timeframes they have: a terminal keeps the same for most.
  std::vector<std::pair<std::vector<int>, std::string>> groups;
  for (const SymbolHistory& h : s.symbols) {
    auto it = std::find_if(groups.begin(), groups.end(),
                           [&](const auto& g) { return g.first == h.minutes; });
    if (it == groups.end()) {
      groups.emplace_back(h.minutes, h.symbol);
    } else {
      it->second += ", " + h.symbol;
    }
  }
  if (groups.empty()) o << "      no history files\n";
  for (const auto& [minutes, symbols] : groups)
    o << "      " << timeframes_text(minutes) << ": " << symbols << '\n';
  if (s.newest)
    o << "      newest bar " << iso_date_time(s.newest->bar_time).substr(0, 16) << " server time ("
      << s.newest->file << ", written " << utc_text(s.newest->written) << ")\n";
  if (s.offset) o << "      " << s.offset->text() << '\n';
}

void terminal_text(std::ostream& o, const Terminal& t, std::int64_t now) {
  o << t.name << "  " << kind_text(t) << '\n';
  if (!t.prefix.empty()) row(o, "Wine prefix", t.prefix.string());
  row(o, "installation", t.installation.empty() ? "not known" : t.installation);
  row(o, "on this machine",
      t.installation_here.empty() ? "not found" : t.installation_here.string());
  row(o, "data folder", t.data_folder.empty() ? "none yet" : t.data_folder.string());
  if (t.files_folder.empty()) {
    row(o, "files folder", "none");
  } else {
    row(o,
        t.files_folder.parent_path().filename().string() + "\\" +
            t.files_folder.filename().string(),
        t.files_folder.string());
    row(o, "News.CSV",
        t.news ? "written " + utc_text(t.news->written) + ", " + age_text(now - t.news->written)
               : "none");
  }
  if (t.usable()) {
    if (t.history.empty())
      row(o, "history", "none");
    else
      o << "  history\n";
    for (const HistoryServer& s : t.history) history_text(o, s);
  }
  if (!t.problems.empty()) {
    o << "  problems\n";
    for (const std::string& p : t.problems) o << "    " << p << '\n';
  }
  o << '\n';
}

void places_text(std::ostream& o, const std::vector<PlaceNote>& notes) {
  for (const PlaceNote& n : notes) o << "  " << n.path.string() << ": " << n.note << '\n';
}

void offset_json(JsonWriter& j, const std::optional<ServerOffset>& off) {
  if (!off) {
    j.null();
    return;
  }
  j.begin_object();
  j.key("hours").value(off->hours);
  j.key("date").value(iso_date_time(off->written).substr(0, 10));
  j.key("server").value(off->server);
  j.key("file").value(off->file);
  j.key("text").value(off->text());
  j.end_object();
}

std::string iso_utc(std::int64_t seconds) {
  std::string s = iso_date_time(seconds);
  s[10] = 'T';
  return s + "Z";
}

void terminal_json(JsonWriter& j, const Terminal& t, std::int64_t now) {
  j.begin_object();
  j.key("name").value(t.name);
  j.key("kind").value(kind_name(t.kind));
  j.key("usable").value(t.usable());
  j.key("portable").value(t.portable);
  j.key("before_build_600").value(t.before_600);
  j.key("wine_prefix").text_or_null(t.prefix.string());
  j.key("installation").text_or_null(t.installation);
  j.key("installation_here").text_or_null(t.installation_here.string());
  j.key("data_folder").text_or_null(t.data_folder.string());
  j.key("id").text_or_null(t.id);
  j.key("files_folder").text_or_null(t.files_folder.string());
  j.key("news_csv").text_or_null(t.files_folder.empty() ? "" : t.news_csv().string());
  j.key("news_csv_written").text_or_null(t.news ? iso_utc(t.news->written) : "");
  j.key("news_csv_age_seconds");
  if (t.news) {
    j.value(now - t.news->written);
  } else {
    j.null();
  }
  j.key("history").begin_array();
  for (const HistoryServer& s : t.history) {
    j.begin_object();
    j.key("server").value(s.name);
    j.key("folder").value(s.folder.string());
    j.key("symbols").begin_array();
    for (const SymbolHistory& h : s.symbols) {
      j.begin_object().key("symbol").value(h.symbol).key("timeframes").begin_array();
      for (int m : h.minutes) j.value(timeframe_name(m));
      j.end_array().end_object();
    }
    j.end_array();
    j.key("newest_bar");
    if (s.newest) {
      j.begin_object();
      j.key("file").value(s.newest->file);
      j.key("timeframe").value(timeframe_name(s.newest->minutes));
      j.key("bar_time").value(iso_date_time(s.newest->bar_time).replace(10, 1, "T"));
      j.key("written").value(iso_utc(s.newest->written));
      j.end_object();
    } else {
      j.null();
    }
    j.key("offset");
    offset_json(j, s.offset);
    j.end_object();
  }
  j.end_array();
  j.key("offset");
  offset_json(j, t.offset());
  j.key("problems").begin_array();
  for (const std::string& p : t.problems) j.value(p);
  j.end_array();
  j.end_object();
}

void places_json(JsonWriter& j, const std::vector<PlaceNote>& notes, const char* what) {
  j.begin_array();
  for (const PlaceNote& n : notes)
    j.begin_object().key("path").value(n.path.string()).key(what).value(n.note).end_object();
  j.end_array();
}

int terminals(Context& c, bool json) {
  const std::int64_t now = unix_now(*c.clock);
  const TerminalSearch found = find_terminals(HostEnvironment::current(), now);
  if (json) {
    JsonWriter j(c.o());
    j.begin_object().key("terminals").begin_array();
    for (const Terminal& t : found.terminals) terminal_json(j, t, now);
    j.end_array();
    j.key("looked_in");
    places_json(j, found.looked_in, "note");
    j.key("problems");
    places_json(j, found.problems, "problem");
    j.end_object();
    return 0;
  }
  if (found.terminals.empty()) {
    c.o() << "No MT4 or MT5 terminal found. Looked in:\n";
    places_text(c.o(), found.looked_in);
  }
  for (const Terminal& t : found.terminals) terminal_text(c.o(), t, now);
  if (!found.problems.empty()) {
    c.o() << "Could not look into:\n";
    places_text(c.o(), found.problems);
  }
  return 0;
}

}  // namespace

void add_terminals_command(CLI::App& app, Context& ctx) {
  auto* cmd = app.add_subcommand(
      "terminals", "the MT4 and MT5 terminals of this machine: data folders, News.CSV, history");
  auto json = std::make_shared<bool>(false);
  cmd->add_flag("--json", *json, "the same as JSON, for scripts");
  on_run(*cmd, ctx, [json](Context& c) { return terminals(c, *json); });
}

}  // namespace mervane::cli
