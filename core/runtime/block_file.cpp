#include "core/runtime/block_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mervane {
namespace {
constexpr std::size_t kAhead = 1 << 16;
}

Status BlockFile::open(const std::filesystem::path& file, bool write) {
  close();
  fd_ = ::open(file.c_str(), (write ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd_ < 0) return Status::from_errno(errno);
  struct stat sb {};
  if (::fstat(fd_, &sb) == 0 && S_ISDIR(sb.st_mode)) {
    close();
    return Status(kAccessDenied);
  }
  return Status::ok();
}

Status BlockFile::create(const std::filesystem::path& file) {
  close();
  fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) return Status::from_errno(errno);
  return Status::ok();
}

void BlockFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ahead_len_ = 0;
}

Status BlockFile::read(std::int64_t pos, std::size_t n, void* out, std::size_t* got) {
  if (got) *got = 0;
  if (fd_ < 0) return Status(kFileNotOpen);
  if (pos < 1) return Status(kRecordNotAvailable);
  const std::int64_t off = pos - 1;
  auto* dst = static_cast<unsigned char*>(out);
  std::size_t done = 0;
  while (done < n) {
    const std::int64_t at = off + static_cast<std::int64_t>(done);
    if (n - done >= kAhead) {
      // A read as large as the read-ahead goes straight into the caller's buffer: copying it
      // through the read-ahead would only double the work.
      ssize_t r;
      do {
        r = ::pread(fd_, dst + done, n - done, static_cast<off_t>(at));
      } while (r < 0 && errno == EINTR);
      if (r < 0) return Status::from_errno(errno);
      if (r == 0) break;
      done += static_cast<std::size_t>(r);
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
    ssize_t r;
    do {
      r = ::pread(fd_, ahead_.data(), kAhead, static_cast<off_t>(at));
    } while (r < 0 && errno == EINTR);
    if (r < 0) {
      ahead_len_ = 0;
      return Status::from_errno(errno);
    }
    ahead_start_ = at;
    ahead_len_ = static_cast<std::size_t>(r);
    if (r == 0) break;
  }
  if (got) *got = done;
  return done == n ? Status::ok() : Status(kRecordNotAvailable);
}

Status BlockFile::write(std::int64_t pos, const void* data, std::size_t n) {
  if (fd_ < 0) return Status(kFileNotOpen);
  if (pos < 1) return Status(kBadValue);
  ahead_len_ = 0;
  const auto* src = static_cast<const unsigned char*>(data);
  std::size_t done = 0;
  while (done < n) {
    const ssize_t w = ::pwrite(fd_, src + done, n - done, static_cast<off_t>(pos - 1 + done));
    if (w < 0) {
      if (errno == EINTR) continue;
      return Status::from_errno(errno);
    }
    done += static_cast<std::size_t>(w);
  }
  return Status::ok();
}

Status BlockFile::size(std::int64_t& bytes) const {
  bytes = 0;
  if (fd_ < 0) return Status(kFileNotOpen);
  struct stat sb {};
  if (::fstat(fd_, &sb) != 0) return Status::from_errno(errno);
  bytes = sb.st_size;
  return Status::ok();
}

}  // namespace mervane
