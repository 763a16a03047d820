// Plain text lines.
//
// TextReader reads a file line by line; a line ends at LF, and a CR before the LF is dropped, so
// files written on Windows and elsewhere read the same. Lines are returned whole, however long.
//
// TextWriter writes lines ended by CR LF, as the files' readers on Windows (the MT4 indicator,
// spreadsheets) expect, with trailing blanks removed. It writes to a temporary file beside the
// target and renames it over the target on close(), so a reader never sees half a file and a
// run that fails or is aborted leaves the previous file as it was.
//
// Both work through a FileSystem (file_system.h), the machine's unless one is given.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/runtime/file_system.h"
#include "core/runtime/status.h"

namespace mervane {

class TextReader {
 public:
  explicit TextReader(FileSystem& fs = FileSystem::local()) : fs_(fs) {}
  ~TextReader() { close(); }
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // 2 when the file does not exist, 5 when it may not be read.
  Status open(const std::filesystem::path& file);
  // The next line without its line end; 33 "Record Not Available" after the last line, the
  // error of the file system when a read fails.
  Status next(std::string& line);
  // Back to the first line.
  Status rewind();
  void close();
  bool is_open() const { return f_ != nullptr; }

 private:
  bool fill();
  FileSystem& fs_;
  std::unique_ptr<ReadableFile> f_;
  std::vector<char> buf_;
  std::size_t pos_ = 0, end_ = 0;
  bool eof_ = false;
  Status read_error_;
};

class TextWriter {
 public:
  explicit TextWriter(FileSystem& fs = FileSystem::local()) : fs_(fs) {}
  ~TextWriter() { discard(); }
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  // Starts a new file that will replace target on close().
  Status create(const std::filesystem::path& target);
  // Adds one line: trailing blanks removed, CR LF appended. 37 when no file is open.
  Status add(std::string_view line);
  // Adds bytes exactly as given (for files that need another line end).
  Status write_raw(std::string_view bytes);
  // Writes everything out and puts the file in place of the target. After any failure the
  // temporary file is gone and the target is as it was.
  Status close();
  // Drops the new file; the target stays as it was.
  void discard();
  bool is_open() const { return f_ != nullptr; }
  const std::filesystem::path& target() const { return target_; }

 private:
  FileSystem& fs_;
  std::unique_ptr<WritableFile> f_;
  std::filesystem::path target_, temp_;
  Status error_;
};

// Writes a whole file the same way (temporary file, then rename).
Status write_file_atomic(const std::filesystem::path& target, std::string_view bytes,
                         FileSystem& fs = FileSystem::local());

// Removes a file: 2 when it is not there.
Status remove_file(const std::filesystem::path& file, FileSystem& fs = FileSystem::local());
// True when file is a plain file (or a link to one).
bool file_exists(const std::filesystem::path& file, FileSystem& fs = FileSystem::local());

}  // namespace mervane
