// "EFF.INI", the effects analysis settings: despite its name a binary file of one 512-byte
// record, read and written whole at byte position 1.
//
//   bytes 0-98     histpath, padded with blanks
//   bytes 99-146   timeint entries 1 to 24, signed 16-bit, least significant byte first
//   bytes 147-150  chartint, padded with blanks
//   bytes 151-306  the rest of a histpath longer than 99 characters (a history folder deep in a
//                  Wine prefix), padded with blanks; all blanks for a shorter one, so that
//                  such a file is byte for byte what earlier versions wrote
//   bytes 307-511  blanks
//
// The settings window keeps the file open while it is shown (EffectsIni below); the report reads
// it once (load_effects_settings). Failures go to the Reporter as "Open(EFF.INI) - ..." and the
// like; Abort throws Aborted.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string_view>

#include "core/model/settings.h"
#include "core/runtime/block_file.h"
#include "core/runtime/reporter.h"
#include "core/runtime/status.h"

namespace mervane {

class Session;

constexpr std::string_view kEffIniFile = "EFF.INI";
constexpr std::size_t kEffIniRecord = 512;
constexpr std::size_t kEffIniUsed = 151;  // the bytes that hold the settings

using EffIniRecord = std::array<unsigned char, kEffIniRecord>;

EffIniRecord encode_eff_ini(const EffectsSettings& s);
// The settings of the first kEffIniUsed bytes of a record.
EffectsSettings decode_eff_ini(const unsigned char* bytes);

// The settings file while a window has it open.
class EffectsIni {
 public:
  explicit EffectsIni(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // Opens the file for reading and writing; when that fails, creates it and opens it again.
  // Reports "Create(" and "Open(" failures; false when the file is not open.
  bool open_or_create(Reporter& r);
  // Opens an existing file for reading only; reports an "Open(" failure and returns false then.
  bool open_existing(Reporter& r);
  // Reads the record into s; reports "Get(" when the file holds less than the settings (a new,
  // empty file does), and s becomes blank settings (blank path and code, offsets 0).
  void get(Reporter& r, EffectsSettings& s);
  // Writes s as the whole record at position 1; reports "Put(".
  void put(Reporter& r, const EffectsSettings& s);
  void close() { file_.close(); }

 private:
  std::filesystem::path path() const;
  std::filesystem::path folder_;
  BlockFile file_;
};

// The report's reading of the settings: open, get, close. Leaves GLO:DOSFILENAME set to
// "EFF.INI" and the settings in the session's G3PARMS (blank when they could not be read and
// the stop was answered Ignore).
EffectsSettings load_effects_settings(Session& s, Reporter& r);

}  // namespace mervane
