// A file system that is the machine's until a test tells it to fail, as a user's machine fails:
// the disk fills part way through a file, a rename is refused (the indicator holds the file open
// on Windows), a read meets a bad sector, a file cannot be removed.
//
// Faults name files by their name without folder. A write fault on "News.CSV" applies to every
// file whose name starts with it, which takes in the temporary files a writer puts beside it.
// Each fault stays until cleared. Thread-safe.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "core/runtime/file_system.h"

namespace mervane::test {

class FaultyFileSystem final : public FileSystem {
 public:
  explicit FaultyFileSystem(FileSystem& base = FileSystem::local()) : base_(base) {}

  // Writes to files starting with name fail with "No space left on device" once bytes more
  // bytes have gone to them (0: the first write fails).
  void fill_disk_after(const std::string& name, std::int64_t bytes);
  // Renames onto a file of that name fail with "Access Denied".
  void fail_rename_to(const std::string& name);
  // Reads of a file of that name fail with an I/O error once bytes of it have been read (for a
  // block file: reads reaching past its first bytes bytes).
  void fail_reads_of(const std::string& name, std::int64_t bytes = 0);
  // Removing a file of that name fails with "Access Denied".
  void fail_removal_of(const std::string& name);
  void clear();

  // How many times a fault has struck.
  int faults() const;

  Status open_readable(const std::filesystem::path& file,
                       std::unique_ptr<ReadableFile>& out) override;
  Status create_new(const std::filesystem::path& file, std::unique_ptr<WritableFile>& out) override;
  Status open_blocks(const std::filesystem::path& file, BlockMode mode,
                     std::unique_ptr<BlockAccess>& out) override;
  Status rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
  Status remove(const std::filesystem::path& file) override;
  FileKind kind(const std::filesystem::path& path) override;

  // For the wrapped files: the bytes a write to file may still take (-1: no limit), and the
  // bytes a read may still give; both count down and record a fault when they run out.
  std::int64_t write_room(const std::filesystem::path& file);
  void wrote(const std::filesystem::path& file, std::int64_t bytes);
  std::int64_t read_room(const std::filesystem::path& file);
  void read(const std::filesystem::path& file, std::int64_t bytes);
  void struck();

 private:
  FileSystem& base_;
  mutable std::mutex mu_;
  std::map<std::string, std::int64_t> disk_room_;  // name prefix -> bytes left
  std::map<std::string, std::int64_t> read_room_;  // name -> bytes left
  std::set<std::string> no_rename_, no_removal_;
  int faults_ = 0;
};

}  // namespace mervane::test
