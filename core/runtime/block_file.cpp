#include "core/runtime/block_file.h"

#include <cstring>

namespace mervane {
namespace {
constexpr std::size_t kAhead = 1 << 16;
}

Status BlockFile::open(const std::filesystem::path& file, bool write) {
  close();
  return fs_.open_blocks(file, write ? BlockMode::ReadWrite : BlockMode::Read, file_);
}

Status BlockFile::create(const std::filesystem::path& file) {
  close();
  return fs_.open_blocks(file, BlockMode::Create, file_);
}

void BlockFile::close() {
  file_.reset();
  ahead_len_ = 0;
}

Status BlockFile::read(std::int64_t pos, std::size_t n, void* out, std::size_t* got) {
  if (got) *got = 0;
  if (!file_) return Status(kFileNotOpen);
  if (pos < 1) return Status(kRecordNotAvailable);
  const std::int64_t off = pos - 1;
  auto* dst = static_cast<unsigned char*>(out);
  std::size_t done = 0;
  while (done < n) {
    const std::int64_t at = off + static_cast<std::int64_t>(done);
    if (n - done >= kAhead) {
      // A read as large as the read-ahead goes straight into the caller's buffer: copying it
      // through the read-ahead would only double the work.
      const std::size_t want = n - done;
      std::size_t r = 0;
      if (Status st = file_->read_at(at, dst + done, want, r); st.failed()) return st;
      done += r;
      if (r < want) break;  // the end of the file
      continue;
    }
    if (at >= ahead_start_ && at < ahead_start_ + static_cast<std::int64_t>(ahead_len_)) {
      const auto from = static_cast<std::size_t>(at - ahead_start_);
      const std::size_t take = std::min(n - done, ahead_len_ - from);
      std::memcpy(dst + done, ahead_.data() + from, take);
      done += take;
      continue;
    }
    ahead_.resize(kAhead);
    std::size_t r = 0;
    if (Status st = file_->read_at(at, ahead_.data(), kAhead, r); st.failed()) {
      ahead_len_ = 0;
      return st;
    }
    ahead_start_ = at;
    ahead_len_ = r;
    if (r == 0) break;
  }
  if (got) *got = done;
  return done == n ? Status::ok() : Status(kRecordNotAvailable);
}

Status BlockFile::write(std::int64_t pos, const void* data, std::size_t n) {
  if (!file_) return Status(kFileNotOpen);
  if (pos < 1) return Status(kBadValue);
  ahead_len_ = 0;
  return file_->write_at(pos - 1, data, n);
}

Status BlockFile::size(std::int64_t& bytes) const {
  bytes = 0;
  if (!file_) return Status(kFileNotOpen);
  return file_->size(bytes);
}

}  // namespace mervane
