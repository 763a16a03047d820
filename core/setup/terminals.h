// The MT4 and MT5 terminals installed on this machine, found for the user: which News.CSV the
// Mirel_Events indicator reads, and where the price history lies.
//
// Every MT4 since build 600 keeps a data folder per installation,
// <AppData>\MetaQuotes\Terminal\<ID>\, and lets an indicator read only that folder's MQL4\Files;
// its price history lies in history\<server>\. origin.txt in the data folder names the
// installation. An installation whose own folder holds MQL4 runs portable: its data folder is the
// installation folder. One that holds experts\ and no MQL4 is an MT4 from before build 600,
// which reads News.CSV from experts\files. MT5 data folders (MQL5\) are listed, but no MT5 reads
// News.CSV for the indicator.
//
// Finding looks into each Windows of the machine (windows_places.h): the data folders in every
// user's application data, and installations (a folder holding terminal.exe or terminal64.exe)
// one and two levels below "Program Files" and "Program Files (x86)" and one level below C:\. An
// installation is matched to its data folder through origin.txt, or failing that through the
// ID. Only these places are read, so finding never walks a tree: its cost is that of the
// folders of the terminals themselves.
//
// Bad input never stops finding: an unreadable origin.txt, a data folder without MQL4, a broken
// or foreign history file, a folder without permission, a loop of links are problems listed with
// the terminal or the place they concern. Reads the file system only; any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/runtime/windows_places.h"
#include "core/setup/terminal_files.h"

namespace mervane {

class Session;

enum class TerminalKind { Mt4, Mt5, Unknown };

// The offset of a trading server's clock from UTC, seen in a history file the terminal wrote
// recently: the open time of its newest bar (server time) against the file's last change (UTC).
struct ServerOffset {
  int hours = 0;             // server time minus UTC
  std::int64_t written = 0;  // the file's last change, seconds since 1970 (UTC)
  std::string server;
  std::string file;
  // "server time looks like UTC+2 on 2026-12-04"
  std::string text() const;
};
// A history file gives an offset when its timeframe is at most 15 minutes, it was written within
// kRecentDays before now, and its newest bar opened within the timeframe (and a few minutes'
// delay in writing) before that change, counted in server time at a whole number of hours from
// UTC (-12 to +14). Anything else (a file last written over a weekend, a terminal offline, a
// half-hour zone) gives none.
constexpr std::int64_t kRecentDays = 14;
std::optional<ServerOffset> server_offset(std::int64_t bar_time, int minutes, std::int64_t written,
                                          std::int64_t now);

// The newest bar of a history file and when the file was written.
struct NewestBar {
  std::string file;
  int minutes = 0;
  std::int64_t bar_time = 0;  // open time, server time as seconds since 1970
  std::int64_t written = 0;   // the file's last change (UTC)
};

struct HistoryServer {
  std::string name;  // the folder's name: the trading server's
  std::filesystem::path folder;
  std::vector<SymbolHistory> symbols;
  std::optional<NewestBar> newest;  // of the newest file of the shortest timeframe there
  std::optional<ServerOffset> offset;
};

struct NewsFile {
  std::filesystem::path file;
  std::int64_t written = 0;
};

struct Terminal {
  std::string name;  // the installation folder's name; the data folder's when it is not known
  TerminalKind kind = TerminalKind::Unknown;
  bool portable = false;                    // the data folder is the installation folder
  bool before_600 = false;                  // an MT4 that reads experts\files
  std::filesystem::path prefix;             // the Wine prefix; empty on Windows itself
  std::string installation;                 // as Windows writes it; empty when not known
  std::filesystem::path installation_here;  // as this machine reaches it; empty when not known
  std::filesystem::path data_folder;
  std::string id;                      // the data folder's ID; empty for a portable installation
  std::filesystem::path files_folder;  // MQL4\Files (MQL5\Files, experts\files)
  std::optional<NewsFile> news;        // News.CSV in files_folder, in any letter case
  std::vector<HistoryServer> history;
  std::vector<std::string> problems;

  // Whether the Mirel_Events indicator of this terminal can read a News.CSV the program writes.
  bool usable() const { return kind == TerminalKind::Mt4; }
  // Where News.CSV goes for this terminal (the name of the one there, when there is one).
  std::filesystem::path news_csv() const;
  // The offset of its most recently written history.
  std::optional<ServerOffset> offset() const;
};

struct TerminalSearch {
  std::vector<Terminal> terminals;   // by prefix, then name
  std::vector<PlaceNote> looked_in;  // the places looked into, with what was there
  std::vector<PlaceNote> problems;   // places that could not be read
};

// Finds the terminals of these Windows; now (seconds since 1970, UTC) dates the offsets.
TerminalSearch find_terminals(const WindowsSystems& systems, std::int64_t now);
// The same for the Windows of a machine.
TerminalSearch find_terminals(const HostEnvironment& env, std::int64_t now);

// The same for the session's machine (Session::host()), dated by its clock.
TerminalSearch find_terminals(const Session& s);

// The terminals whose indicator reads a News.CSV of the program (MT4), in the order found.
std::vector<const Terminal*> usable_terminals(const TerminalSearch& found);
// A terminal's News.CSV as a setting holds it (Windows-1252 text).
std::string news_csv_setting(const Terminal& t);

// The usable terminal whose files folder holds `file`, through links (a News.CSV typed in, or a
// link in the working folder); nothing when none does.
const Terminal* terminal_of_news(const TerminalSearch& found, const std::filesystem::path& file);

}  // namespace mervane
