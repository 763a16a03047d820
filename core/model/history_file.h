// MT4 price history files (".hst"), read front to back one bar at a time.
//
// Both layouts the terminals have written share a 148-byte header that starts with the version
// (signed 32-bit, little-endian) and holds the number of decimals of the prices in the low byte
// of the 32-bit integer at offset 84:
//
//   version 400: 44-byte bars    +0 time (32-bit seconds since 1970), +4 open, +12 low,
//                                +20 high, +28 close, +36 volume (doubles)
//   version 401: 60-byte bars    +0 time (64-bit), +8 open, +16 high, +24 low, +32 close
//                                (doubles), +40 tick volume (64-bit), +48 spread (32-bit),
//                                +52 real volume (64-bit); every terminal since 2014
//
// Note that high and low swap places between the two. A file of any other version, or one
// shorter than its header, is refused at open(): it never yields prices. A bar cut short at the
// end of the file is not a bar. A damaged bar is passed over: one whose time lies outside the
// dates the program holds (kFirstBarTime to kLastBarTime), or whose open, high or low is not a
// number (NaN, infinity); it counts in damaged(). The file is read in blocks of whole bars, so
// memory does not depend on its size. One reader per file, on one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "core/runtime/block_file.h"
#include "core/runtime/status.h"
#include "core/util/dates.h"

namespace mervane {

// Bar times of the days a date serial holds (signed 32-bit days from 28 December 1800): the
// moments of such bars stay far inside 64 bits.
constexpr std::int64_t kFirstBarTime =
    (std::int64_t{std::numeric_limits<std::int32_t>::min()} - kUnixEpochSerial) * 86400;
constexpr std::int64_t kLastBarTime =
    (std::int64_t{std::numeric_limits<std::int32_t>::max()} - kUnixEpochSerial + 1) * 86400 - 1;

struct HistoryBar {
  std::int64_t time = 0;  // open time, seconds since 1 January 1970 00:00
  double open = 0;
  double high = 0;
  double low = 0;
};

enum class HistoryOpen {
  Ok,
  CannotOpen,      // missing, or not readable: status() tells
  TooShort,        // fewer bytes than the 148-byte header
  UnknownVersion,  // a version other than 400 and 401: version() tells
};

class HistoryFile {
 public:
  static constexpr std::size_t kHeaderSize = 148;

  [[nodiscard]] HistoryOpen open(const std::filesystem::path& file);
  void close();

  // The header's values once open() succeeded (version also after UnknownVersion).
  std::int32_t version() const { return version_; }
  int digits() const { return digits_; }
  const Status& status() const { return status_; }

  // The next bar; false at the end of the history or when a read fails (status() tells which:
  // 33 at the end).
  [[nodiscard]] bool next(HistoryBar& bar);
  // The next bar whose time is not before time: the bars before it are stepped over one by one
  // without taking their prices apart. False as next() is.
  [[nodiscard]] bool next_from(std::int64_t time, HistoryBar& bar);

  // The last bar of the file that is not damaged, looked for among the last kLastLook bars (the
  // newest bar of a history the terminal writes in time order). It does not move next(). False
  // when there is none (status(): 33) or a read fails.
  static constexpr int kLastLook = 16;
  [[nodiscard]] bool last(HistoryBar& bar);

  // Bytes of the file read so far.
  std::int64_t bytes_read() const { return bytes_read_; }
  // Damaged bars passed over so far (bars that next_from() steps over are checked for their
  // time only).
  std::int64_t damaged() const { return damaged_; }

 private:
  bool fill();

  BlockFile file_;
  Status status_;
  std::int32_t version_ = 0;
  int digits_ = 0;
  std::size_t bar_size_ = 0;
  std::int64_t next_pos_ = 0;  // file position (from 1) of the next block to read
  std::vector<unsigned char> block_;
  std::size_t block_len_ = 0, at_ = 0;
  bool ended_ = true;
  std::int64_t bytes_read_ = 0;
  std::int64_t damaged_ = 0;
};

// The bar of a version's layout decoded from its bytes (bar_size(version) of them).
HistoryBar decode_bar(std::int32_t version, const unsigned char* bytes);
// The open time of a bar from its bytes.
std::int64_t bar_time(std::int32_t version, const unsigned char* bytes);
// Bytes per bar of a version: 44, 60, or 0 for an unknown version.
std::size_t bar_size(std::int32_t version);

}  // namespace mervane
