// The file access of the whole program behind one interface, so that a test can put a file
// system in its place that fails on demand (a full disk, a rename refused, a read error) and
// check what the user would see. Text files, block files, the temporaries of atomic writes and
// the tables' own file checks all go through it; SQLite does its own I/O inside a table file.
//
// FileSystem::local() is the machine's. Another one is handed down explicitly: the Session
// carries the one of a run (Session::files()), and the file classes take it in their
// constructors, the machine's when none is given.
//
// Every operation returns its Status: 2 "File Not Found" for a missing file, 5 "Access Denied"
// where the file may not be used (a folder where a file was expected, for instance), and 90
// with the system's own code and text for anything else (a full disk: "No space left on
// device"). A FileSystem and its files may be used from several threads, each file object by
// one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "core/runtime/status.h"

namespace mervane {

// A file read from its start.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Reads up to n bytes into out; got 0 at the end of the file.
  virtual Status read(char* out, std::size_t n, std::size_t& got) = 0;
  // Back to the first byte.
  virtual Status rewind() = 0;
};

// A new file written from its start. The destructor closes it without the guarantees of
// sync_and_close(), for a file that is dropped anyway.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Adds bytes at the end. The data may stay in a buffer until sync_and_close(), so a full disk
  // can also show there.
  virtual Status append(std::string_view bytes) = 0;
  // Puts everything appended on the disk and closes the file: after it, a rename that moves the
  // file into place cannot leave a reader with an empty or partial file after a power loss.
  virtual Status sync_and_close() = 0;
};

// A file read and written at byte offsets (from 0), for MT4 history files and "EFF.INI".
class BlockAccess {
 public:
  virtual ~BlockAccess() = default;
  // Reads up to n bytes at offset; got less than n only at the end of the file.
  virtual Status read_at(std::int64_t offset, void* out, std::size_t n, std::size_t& got) = 0;
  // Writes all n bytes at offset.
  virtual Status write_at(std::int64_t offset, const void* data, std::size_t n) = 0;
  virtual Status size(std::int64_t& bytes) = 0;
};

enum class FileKind { Missing, Plain, Folder, Other };
enum class BlockMode { Read, ReadWrite, Create };  // Create empties an existing file

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The machine's own: lives as long as the program.
  static FileSystem& local();

  virtual Status open_readable(const std::filesystem::path& file,
                               std::unique_ptr<ReadableFile>& out) = 0;
  // Creates a file that does not exist yet (an existing one is an error, never overwritten).
  virtual Status create_new(const std::filesystem::path& file,
                            std::unique_ptr<WritableFile>& out) = 0;
  virtual Status open_blocks(const std::filesystem::path& file, BlockMode mode,
                             std::unique_ptr<BlockAccess>& out) = 0;
  // Gives from the name to, replacing a file of that name in one step: a reader of to sees the
  // old file or the new one, never neither.
  virtual Status rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  // Removes a file; 2 when there is none.
  virtual Status remove(const std::filesystem::path& file) = 0;
  // What is at path (a link counts as what it points at).
  virtual FileKind kind(const std::filesystem::path& path) = 0;
};

}  // namespace mervane
