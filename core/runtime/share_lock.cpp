#include "core/runtime/share_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace mervane {
namespace {

constexpr off_t kGate = 0;       // held exclusively while an opener checks and takes its locks
constexpr off_t kOpen = 1;       // every opener
constexpr off_t kWriting = 2;    // openers that may write (all of ours)
constexpr off_t kDenyWrite = 3;  // DenyWrite and Exclusive openers
constexpr off_t kDenyAll = 4;    // Exclusive openers

int lock_byte(int fd, off_t byte, short type, bool wait) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = byte;
  fl.l_len = 1;
  fl.l_pid = 0;
  while (fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

// True when some other opener holds a lock on the byte.
bool taken(int fd, off_t byte) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = byte;
  fl.l_len = 1;
  fl.l_pid = 0;
  if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return true;
  return fl.l_type != F_UNLCK;
}

}  // namespace

ShareLock& ShareLock::operator=(ShareLock&& o) noexcept {
  if (this != &o) {
    release();
    fd_ = o.fd_;
    o.fd_ = -1;
  }
  return *this;
}

Status ShareLock::acquire(const std::filesystem::path& lock_file, ShareMode mode, bool writes) {
  release();
  const int fd = ::open(lock_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return Status::from_errno(errno);
  if (int err = lock_byte(fd, kGate, F_WRLCK, true); err != 0) {
    ::close(fd);
    return Status::from_errno(err);
  }
  const bool conflict = taken(fd, kDenyAll) || (writes && taken(fd, kDenyWrite)) ||
                        (mode != ShareMode::Shared && taken(fd, kWriting)) ||
                        (mode == ShareMode::Exclusive && taken(fd, kOpen));
  Status st;
  if (conflict) {
    st = Status(kFileLocked);
  } else {
    int err = lock_byte(fd, kOpen, F_RDLCK, false);
    if (err == 0 && writes) err = lock_byte(fd, kWriting, F_RDLCK, false);
    if (err == 0 && mode != ShareMode::Shared) err = lock_byte(fd, kDenyWrite, F_RDLCK, false);
    if (err == 0 && mode == ShareMode::Exclusive) err = lock_byte(fd, kDenyAll, F_RDLCK, false);
    if (err != 0) st = Status::from_errno(err);
  }
  lock_byte(fd, kGate, F_UNLCK, false);
  if (st.failed()) {
    ::close(fd);
    return st;
  }
  fd_ = fd;
  return st;
}

void ShareLock::release() {
  if (fd_ >= 0) {
    ::close(fd_);  // closing the description drops every lock it holds
    fd_ = -1;
  }
}

}  // namespace mervane
