// The small files of an MT4 or MT5 installation that tell where things are, read from outside
// input: the data folder's "origin.txt" and the names of the price history files.
//
// origin.txt holds the Windows path of the installation a data folder belongs to. Terminals
// write it in UTF-16LE with a byte order mark; some builds (and copies made by hand) in UTF-8,
// with or without a mark. Nothing else is in it but blanks and a line end.
//
// A history file is named <symbol><minutes>.hst, "EURUSD1440.hst". Symbols may end in digits
// themselves ("US30", "GER40"), so the split is chosen among the chart timeframes of the
// terminal (1, 5, 15, 30, 60, 240, 1440, 10080, 43200 minutes): the split whose symbol the other
// files of the folder share most, then the longer timeframe. A name that ends in no timeframe
// of those (an offline chart of its own period) splits at its trailing digits.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mervane {

// What origin.txt says: the installation path (UTF-8), or why it says nothing usable.
struct OriginText {
  std::string path;
  std::string problem;  // empty when path is set
};
// Decodes the bytes of an origin.txt: UTF-16 by its byte order mark (either byte order), UTF-8
// by its mark, UTF-16LE without a mark when every other byte of an ASCII text is 0, UTF-8
// otherwise. The path must be absolute on a drive ("C:\...") or a network path ("\\server\...").
OriginText read_origin_text(std::string_view bytes);
// The most bytes an origin.txt may have (a path of Windows' longest, in UTF-16, and its mark).
constexpr std::size_t kMaxOriginBytes = 2 * 32768 + 2;

// The data folder ID a terminal gives the installation at `windows_path`: 32 upper-case hex
// digits, the MD5 of the path in upper case in UTF-16LE.
std::string data_folder_id(std::string_view windows_path);
// Whether a folder name is such an ID (32 hex digits, either case).
bool is_data_folder_id(std::string_view name);

// A chart timeframe's name: "M1" ... "MN1", "M2" for a period of its own.
std::string timeframe_name(int minutes);

// One symbol's history files: the timeframes in minutes, ascending.
struct SymbolHistory {
  std::string symbol;
  std::vector<int> minutes;
  bool operator==(const SymbolHistory&) const = default;
};
// A history file name split into symbol and timeframe.
struct HistoryName {
  std::string file;
  std::string symbol;
  int minutes = 0;
};
struct HistoryNames {
  std::vector<HistoryName> files;        // in the order given
  std::vector<SymbolHistory> symbols;    // by symbol (letter case ignored)
  std::vector<std::string> not_history;  // ".hst" names of no symbol and timeframe
};
// Splits the ".hst" names of one folder (letter case of ".hst" ignored; other names are passed
// over).
HistoryNames split_history_names(const std::vector<std::string>& names);

}  // namespace mervane
