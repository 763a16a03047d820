#include "core/runtime/sqlite.h"

#include <cerrno>
#include <string>

namespace mervane::sql {

Status status_of(int rc, sqlite3* db) {
  const int primary = rc & 0xff;
  switch (primary) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
      return Status::ok();
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Status(kFileLocked);
    case SQLITE_CONSTRAINT:
      if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
        return Status(kDuplicateKey);
      break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return Status(kInvalidFile);
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return Status(kAccessDenied);
    case SQLITE_CANTOPEN:
      return Status(kFileNotFound);
    case SQLITE_FULL:
      return Status::from_errno(ENOSPC);
    case SQLITE_IOERR:
      // A full disk also shows as a failed write ("disk I/O error"): the system's own error
      // says what to do about it.
      if (db && sqlite3_system_errno(db) == ENOSPC) return Status::from_errno(ENOSPC);
      break;
    default:
      break;
  }
  std::string text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  return Status::file_error(rc, text);
}

Stmt::Stmt(sqlite3* db, std::string_view sql) {
  rc_ = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                           &s_, nullptr);
  if (rc_ != SQLITE_OK) {
    sqlite3_finalize(s_);
    s_ = nullptr;
  }
}

Stmt& Stmt::operator=(Stmt&& o) noexcept {
  if (this != &o) {
    sqlite3_finalize(s_);
    s_ = o.s_;
    rc_ = o.rc_;
    o.s_ = nullptr;
  }
  return *this;
}

Status Db::open(const std::filesystem::path& file, bool create) {
  close();
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  const int rc = sqlite3_open_v2(file.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    Status st = status_of(rc, db_);
    close();
    return st;
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, 2000);  // the two-second lock wait of every operation
  return Status::ok();
}

void Db::close() {
  if (db_) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

Status Db::exec(std::string_view sql) {
  std::string s(sql);
  const int rc = sqlite3_exec(db_, s.c_str(), nullptr, nullptr, nullptr);
  return status_of(rc, db_);
}

std::string ident(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace mervane::sql
