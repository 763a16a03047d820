// Thin RAII wrappers over SQLite connections and prepared statements, used by the table store.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/runtime/status.h"

namespace mervane::sql {

// Maps a SQLite result code to the table store's error: busy/locked 32, constraint (unique) 40,
// not a database / corrupt 47, read-only 5, a write that found the disk full 90 with the
// system's "No space left on device", anything else 90 with SQLite's own code and text.
Status status_of(int rc, sqlite3* db);

class Stmt {
 public:
  Stmt() = default;
  Stmt(sqlite3* db, std::string_view sql);
  ~Stmt() { sqlite3_finalize(s_); }
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
  Stmt(Stmt&& o) noexcept : s_(o.s_), rc_(o.rc_) { o.s_ = nullptr; }
  Stmt& operator=(Stmt&& o) noexcept;

  bool valid() const { return s_ != nullptr; }
  int prepare_rc() const { return rc_; }
  sqlite3_stmt* get() const { return s_; }

  void reset() {
    sqlite3_reset(s_);
    sqlite3_clear_bindings(s_);
  }
  void bind(int i, std::int64_t v) { sqlite3_bind_int64(s_, i, v); }
  void bind(int i, double v) { sqlite3_bind_double(s_, i, v); }
  // The text must outlive the step (bound without a copy).
  void bind(int i, std::string_view v) {
    sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
  }
  int step() { return sqlite3_step(s_); }

  std::int64_t int64(int col) const { return sqlite3_column_int64(s_, col); }
  double real(int col) const { return sqlite3_column_double(s_, col); }
  std::string_view text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s_, col));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(s_, col)))
             : std::string_view();
  }

 private:
  sqlite3_stmt* s_ = nullptr;
  int rc_ = SQLITE_OK;
};

class Db {
 public:
  Db() = default;
  ~Db() { close(); }
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  // Opens an existing database file (never creates one) or, with create, makes a new file.
  Status open(const std::filesystem::path& file, bool create);
  void close();
  bool is_open() const { return db_ != nullptr; }
  sqlite3* get() const { return db_; }

  // Runs statements without results; the error of the first failing one.
  Status exec(std::string_view sql);

 private:
  sqlite3* db_ = nullptr;
};

// Quotes an SQL identifier.
std::string ident(std::string_view name);

}  // namespace mervane::sql
