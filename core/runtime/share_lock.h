// Share modes of an opened table, across threads and processes.
//
// A table may be opened so that others may also write (Shared), only read (DenyWrite: used by a
// run that must not see the history change under it), or not open it at all (Exclusive: the
// rebuild). SQLite itself has no such modes, so every opener holds locks on a few bytes of a
// small lock file beside the table ("<store>.db-lock"): one byte says "open", one "writing", one
// "denies writers", one "denies everyone". The locks are open-file-description locks, so two
// openers in the same process conflict just as two processes do, and a killed process leaves no
// stale lock behind.
#pragma once

#include <filesystem>

#include "core/runtime/status.h"

namespace mervane {

enum class ShareMode { Shared, DenyWrite, Exclusive };

class ShareLock {
 public:
  ShareLock() = default;
  ~ShareLock() { release(); }
  ShareLock(const ShareLock&) = delete;
  ShareLock& operator=(const ShareLock&) = delete;
  ShareLock(ShareLock&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
  ShareLock& operator=(ShareLock&& o) noexcept;

  // Takes the locks of an opener in the given mode, with write access or for reading only. Fails
  // with 32 (file is locked) when an opener already holds the table in a mode that excludes this
  // one.
  Status acquire(const std::filesystem::path& lock_file, ShareMode mode, bool writes = true);
  void release();
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace mervane
