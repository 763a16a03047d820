// Binary blocks: reads of a number of bytes at a byte position, and writes of a whole record.
// Positions count from 1, as the settings and history file layouts are described. Sequential
// reads are served from a read-ahead buffer, so walking a price history bar by bar costs one
// system call per 64 KiB, not one per bar. The file is reached through a FileSystem, the
// machine's unless one is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/runtime/file_system.h"
#include "core/runtime/status.h"

namespace mervane {

class BlockFile {
 public:
  explicit BlockFile(FileSystem& fs = FileSystem::local()) : fs_(fs) {}
  ~BlockFile() { close(); }
  BlockFile(const BlockFile&) = delete;
  BlockFile& operator=(const BlockFile&) = delete;

  // Opens an existing file (2 when missing), for reading only or for reading and writing.
  Status open(const std::filesystem::path& file, bool write = false);
  // Creates an empty file (replacing an existing one) and opens it for reading and writing.
  Status create(const std::filesystem::path& file);
  void close();
  bool is_open() const { return file_ != nullptr; }

  // Reads n bytes at position pos (1 = the first byte) into out. 33 when fewer than n bytes are
  // there; got tells how many were. A read of 64 KiB or more goes straight into out.
  Status read(std::int64_t pos, std::size_t n, void* out, std::size_t* got = nullptr);
  // Writes n bytes at position pos.
  Status write(std::int64_t pos, const void* data, std::size_t n);
  // Size of the file in bytes.
  Status size(std::int64_t& bytes) const;

 private:
  FileSystem& fs_;
  std::unique_ptr<BlockAccess> file_;
  std::vector<unsigned char> ahead_;
  std::int64_t ahead_start_ = 0;  // file offset (from 0) of ahead_[0]
  std::size_t ahead_len_ = 0;
};

}  // namespace mervane
