#include "tests/support/faulty_file_system.h"

#include <algorithm>
#include <cerrno>

namespace mervane::test {
namespace {

std::string name_of(const std::filesystem::path& p) {
  return p.filename().string();
}

class FaultyWritable final : public WritableFile {
 public:
  FaultyWritable(FaultyFileSystem& fs, std::filesystem::path file,
                 std::unique_ptr<WritableFile> base)
      : fs_(fs), file_(std::move(file)), base_(std::move(base)) {}

  Status append(std::string_view bytes) override {
    const std::int64_t room = fs_.write_room(file_);
    if (room >= 0 && static_cast<std::int64_t>(bytes.size()) > room) {
      // What fits goes in, as on a disk that fills up.
      const auto fits = static_cast<std::size_t>(room);
      if (fits > 0) {
        if (Status st = base_->append(bytes.substr(0, fits)); st.failed()) return st;
        fs_.wrote(file_, room);
      }
      fs_.struck();
      return Status::from_errno(ENOSPC);
    }
    if (Status st = base_->append(bytes); st.failed()) return st;
    fs_.wrote(file_, static_cast<std::int64_t>(bytes.size()));
    return Status::ok();
  }
  Status sync_and_close() override { return base_->sync_and_close(); }

 private:
  FaultyFileSystem& fs_;
  std::filesystem::path file_;
  std::unique_ptr<WritableFile> base_;
};

class FaultyReadable final : public ReadableFile {
 public:
  FaultyReadable(FaultyFileSystem& fs, std::filesystem::path file,
                 std::unique_ptr<ReadableFile> base)
      : fs_(fs), file_(std::move(file)), base_(std::move(base)) {}

  Status read(char* out, std::size_t n, std::size_t& got) override {
    got = 0;
    const std::int64_t room = fs_.read_room(file_);
    if (room == 0) {
      fs_.struck();
      return Status::from_errno(EIO);
    }
    const std::size_t ask = room < 0 ? n : std::min(n, static_cast<std::size_t>(room));
    if (Status st = base_->read(out, ask, got); st.failed()) return st;
    fs_.read(file_, static_cast<std::int64_t>(got));
    return Status::ok();
  }
  Status rewind() override { return base_->rewind(); }

 private:
  FaultyFileSystem& fs_;
  std::filesystem::path file_;
  std::unique_ptr<ReadableFile> base_;
};

class FaultyBlocks final : public BlockAccess {
 public:
  FaultyBlocks(FaultyFileSystem& fs, std::filesystem::path file, std::unique_ptr<BlockAccess> base)
      : fs_(fs), file_(std::move(file)), base_(std::move(base)) {}

  Status read_at(std::int64_t offset, void* out, std::size_t n, std::size_t& got) override {
    got = 0;
    const std::int64_t room = fs_.read_room(file_);
    if (room >= 0 && offset + static_cast<std::int64_t>(n) > room) {
      fs_.struck();
      return Status::from_errno(EIO);
    }
    return base_->read_at(offset, out, n, got);
  }
  Status write_at(std::int64_t offset, const void* data, std::size_t n) override {
    const std::int64_t room = fs_.write_room(file_);
    if (room >= 0 && static_cast<std::int64_t>(n) > room) {
      fs_.struck();
      return Status::from_errno(ENOSPC);
    }
    if (Status st = base_->write_at(offset, data, n); st.failed()) return st;
    fs_.wrote(file_, static_cast<std::int64_t>(n));
    return Status::ok();
  }
  Status size(std::int64_t& bytes) override { return base_->size(bytes); }

 private:
  FaultyFileSystem& fs_;
  std::filesystem::path file_;
  std::unique_ptr<BlockAccess> base_;
};

}  // namespace

void FaultyFileSystem::fill_disk_after(const std::string& name, std::int64_t bytes) {
  std::lock_guard lock(mu_);
  disk_room_[name] = bytes;
}

void FaultyFileSystem::fail_rename_to(const std::string& name) {
  std::lock_guard lock(mu_);
  no_rename_.insert(name);
}

void FaultyFileSystem::fail_reads_of(const std::string& name, std::int64_t bytes) {
  std::lock_guard lock(mu_);
  read_room_[name] = bytes;
}

void FaultyFileSystem::fail_removal_of(const std::string& name) {
  std::lock_guard lock(mu_);
  no_removal_.insert(name);
}

void FaultyFileSystem::clear() {
  std::lock_guard lock(mu_);
  disk_room_.clear();
  read_room_.clear();
  no_rename_.clear();
  no_removal_.clear();
}

int FaultyFileSystem::faults() const {
  std::lock_guard lock(mu_);
  return faults_;
}

void FaultyFileSystem::struck() {
  std::lock_guard lock(mu_);
  ++faults_;
}

std::int64_t FaultyFileSystem::write_room(const std::filesystem::path& file) {
  std::lock_guard lock(mu_);
  const std::string name = name_of(file);
  for (const auto& [prefix, room] : disk_room_)
    if (name.compare(0, prefix.size(), prefix) == 0) return room;
  return -1;
}

void FaultyFileSystem::wrote(const std::filesystem::path& file, std::int64_t bytes) {
  std::lock_guard lock(mu_);
  const std::string name = name_of(file);
  for (auto& [prefix, room] : disk_room_)
    if (name.compare(0, prefix.size(), prefix) == 0) room = std::max<std::int64_t>(0, room - bytes);
}

std::int64_t FaultyFileSystem::read_room(const std::filesystem::path& file) {
  std::lock_guard lock(mu_);
  const auto it = read_room_.find(name_of(file));
  return it == read_room_.end() ? -1 : it->second;
}

void FaultyFileSystem::read(const std::filesystem::path& file, std::int64_t bytes) {
  std::lock_guard lock(mu_);
  const auto it = read_room_.find(name_of(file));
  if (it != read_room_.end()) it->second = std::max<std::int64_t>(0, it->second - bytes);
}

Status FaultyFileSystem::open_readable(const std::filesystem::path& file,
                                       std::unique_ptr<ReadableFile>& out) {
  std::unique_ptr<ReadableFile> base;
  if (Status st = base_.open_readable(file, base); st.failed()) return st;
  out = std::make_unique<FaultyReadable>(*this, file, std::move(base));
  return Status::ok();
}

Status FaultyFileSystem::create_new(const std::filesystem::path& file,
                                    std::unique_ptr<WritableFile>& out) {
  std::unique_ptr<WritableFile> base;
  if (Status st = base_.create_new(file, base); st.failed()) return st;
  out = std::make_unique<FaultyWritable>(*this, file, std::move(base));
  return Status::ok();
}

Status FaultyFileSystem::open_blocks(const std::filesystem::path& file, BlockMode mode,
                                     std::unique_ptr<BlockAccess>& out) {
  std::unique_ptr<BlockAccess> base;
  if (Status st = base_.open_blocks(file, mode, base); st.failed()) return st;
  out = std::make_unique<FaultyBlocks>(*this, file, std::move(base));
  return Status::ok();
}

Status FaultyFileSystem::rename(const std::filesystem::path& from,
                                const std::filesystem::path& to) {
  {
    std::lock_guard lock(mu_);
    if (no_rename_.contains(name_of(to))) {
      ++faults_;
      return Status::from_errno(EACCES);
    }
  }
  return base_.rename(from, to);
}

Status FaultyFileSystem::remove(const std::filesystem::path& file) {
  {
    std::lock_guard lock(mu_);
    if (no_removal_.contains(name_of(file))) {
      ++faults_;
      return Status::from_errno(EACCES);
    }
  }
  return base_.remove(file);
}

FileKind FaultyFileSystem::kind(const std::filesystem::path& path) {
  return base_.kind(path);
}

}  // namespace mervane::test
