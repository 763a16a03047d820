// Plain text lines.
//
// TextReader reads a file line by line; a line ends at LF, and a CR before the LF is dropped, so
// files written on Windows and elsewhere read the same. Lines are returned whole, however long.
//
// TextWriter writes lines ended by CR LF, as the files' readers on Windows (the MT4 indicator,
// spreadsheets) expect, with trailing blanks removed. It writes to a temporary file beside the
// target and renames it over the target on close(), so a reader never sees half a file and a
// run that fails or is aborted leaves the previous file as it was. A target that is a symbolic
// link is written through the link: beside its final target, which is replaced, so the link
// stays (traders point News.CSV into the terminal's folder so). A target that is neither a
// plain file nor missing (a folder, a device, a pipe) is refused with "not a plain file".
// Temporary files of the same target left by a process that no longer runs (a killed run) are
// removed before a new one is written.
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

  // Starts a new file that will replace target (its final target, through symbolic links) on
  // close(). 36 "not a plain file" for a folder, device or pipe.
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

  // Before create(): close() then leaves the target as it is when the new file holds exactly
  // its bytes, so a reader that reloads the file when it changes (the MT4 indicator) sees no
  // change; otherwise it counts the lines that changed.
  void keep_when_unchanged() { keep_unchanged_ = true; }
  // After a close() that succeeded: whether the target was replaced, and how many lines changed:
  // the greater of the lines only the new file has and the lines only the old one had (an
  // event whose value changed counts once, a line added or removed once; every line of a new
  // file). Without keep_when_unchanged() the target is always replaced and no lines are counted.
  bool replaced() const { return replaced_; }
  std::int64_t changed_lines() const { return changed_lines_; }

 private:
  FileSystem& fs_;
  std::unique_ptr<WritableFile> f_;
  std::filesystem::path target_, temp_;
  Status error_;
  bool keep_unchanged_ = false;
  bool replaced_ = false;
  std::int64_t changed_lines_ = 0;
  // With keep_when_unchanged(): the target as it was, compared with what is written.
  void compare(std::string_view bytes);
  bool old_ended();  // the target held exactly what was written
  std::unique_ptr<ReadableFile> old_;
  std::vector<char> old_buf_;
  std::size_t old_pos_ = 0, old_end_ = 0;
  bool same_ = false;
};

// The lines that differ between two files as TextWriter::changed_lines() counts them; a file
// that cannot be read counts as empty.
std::int64_t changed_lines(const std::filesystem::path& old_file,
                           const std::filesystem::path& new_file,
                           FileSystem& fs = FileSystem::local());

// The file a write to target replaces: target itself, or the final target of the symbolic
// links it is (which may be missing). 36 "not a plain file" when that is anything but a plain
// file or missing; an error of the file system when a link cannot be followed (a loop of
// links).
Status final_target(const std::filesystem::path& target, std::filesystem::path& resolved);

// Removes the temporary files "<target's name><marker><process number>[-<count>]" beside target
// that a process no longer running left behind; never one of a running process. Failures are
// passed over: the next write tries again.
void remove_left_temporaries(const std::filesystem::path& target, std::string_view marker);

// Writes a whole file the same way (temporary file, then rename).
Status write_file_atomic(const std::filesystem::path& target, std::string_view bytes,
                         FileSystem& fs = FileSystem::local());

// Removes a file: 2 when it is not there.
Status remove_file(const std::filesystem::path& file, FileSystem& fs = FileSystem::local());
// True when file is a plain file (or a link to one).
bool file_exists(const std::filesystem::path& file, FileSystem& fs = FileSystem::local());

}  // namespace mervane
