#include "core/runtime/table_core.h"

#include <cctype>
#include <exception>
#include <map>
#include <system_error>

#include "core/util/dates.h"

namespace mervane {
namespace {

std::string column_type(const ColumnDef& c) {
  switch (c.kind) {
    case FieldKind::Text:
      return "TEXT NOT NULL DEFAULT '' COLLATE NOCASE";
    case FieldKind::Real:
      return "REAL NOT NULL DEFAULT 0";
    default:
      return "INTEGER NOT NULL DEFAULT 0";
  }
}

std::string index_name(const std::string& key_name) {
  std::string s = "key_";
  for (char c : key_name)
    s += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '_';
  return s;
}

// A key value as a person reads it, for the duplicate-key message of a key build.
std::string readable(const ColumnDef& c, sqlite3_stmt* st, int col) {
  if (c.kind == FieldKind::Text) {
    const auto* p = sqlite3_column_text(st, col);
    return p ? std::string(reinterpret_cast<const char*>(p)) : std::string();
  }
  if (c.kind == FieldKind::Real) return std::to_string(sqlite3_column_double(st, col));
  const auto v = sqlite3_column_int64(st, col);
  char buf[32];
  if (c.kind == FieldKind::Date && v != 0) {
    const Ymd d = ymd_of(static_cast<std::int32_t>(v));
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04lld", d.month, d.day,
                  static_cast<long long>(d.year));
    return buf;
  }
  if (c.kind == FieldKind::Time && v > 0) {
    const long long s = (v - 1) / 100;
    std::snprintf(buf, sizeof buf, "%02lld:%02lld", s / 3600, s % 3600 / 60);
    return buf;
  }
  return std::to_string(v);
}

}  // namespace

TableCore::TableCore(const TableSchema& schema, std::filesystem::path folder, FileSystem& fs)
    : schema_(&schema), folder_(std::move(folder)), fs_(fs), key_stmts_(schema.keys.size()) {}

// Removes what an earlier attempt may have left; a file that stays would be taken for part of
// the table.
Status TableCore::remove_leftover(const std::filesystem::path& f) {
  const Status st = fs_.remove(f);
  return st.code == kFileNotFound ? Status::ok() : st;
}

TableCore::~TableCore() {
  close();
}

std::filesystem::path TableCore::file() const {
  return folder_ / (schema_->store + ".db");
}

std::string TableCore::select_list() const {
  std::string s = "id, _ver";
  for (const auto& c : schema_->columns) s += ", " + sql::ident(c.name);
  return s;
}

std::string TableCore::partial_condition(int key) const {
  const auto& k = schema_->keys[static_cast<std::size_t>(key)];
  if (k.def.keeps_blank) return {};
  std::string s = "(";
  for (std::size_t i = 0; i < k.columns.size(); ++i) {
    const auto& c = schema_->columns[static_cast<std::size_t>(k.columns[i])];
    if (i) s += " OR ";
    s += sql::ident(c.name) + (c.kind == FieldKind::Text ? " <> ''" : " <> 0");
  }
  return s + ")";
}

std::string TableCore::key_columns(int key, bool desc) const {
  const auto& k = schema_->keys[static_cast<std::size_t>(key)];
  std::string s;
  for (std::size_t i = 0; i < k.columns.size(); ++i) {
    if (i) s += ", ";
    s += sql::ident(schema_->columns[static_cast<std::size_t>(k.columns[i])].name);
    if (desc) s += " DESC";
  }
  return s;
}

std::string TableCore::key_index_sql(int key) const {
  const auto& k = schema_->keys[static_cast<std::size_t>(key)];
  std::string s = k.def.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ";
  s += sql::ident(index_name(k.def.name)) + " ON data(" + key_columns(key, false) + ")";
  const std::string partial = partial_condition(key);
  if (!partial.empty()) s += " WHERE " + partial;
  return s;
}

Status TableCore::open_db(const std::filesystem::path& f, bool create_new) {
  if (Status st = db_.open(f, create_new); st.failed()) return st;
  return db_.exec("PRAGMA synchronous=FULL; PRAGMA cache_size=-65536; PRAGMA temp_store=MEMORY;");
}

Status TableCore::check_layout() {
  sql::Stmt st(db_.get(), "SELECT value FROM meta WHERE name = 'layout'");
  if (!st.valid()) {
    Status s = sql::status_of(st.prepare_rc(), db_.get());
    // A database without our meta table is not one of our tables.
    return s.code == kFileSystemError || s.code == kFileNotFound ? Status(kInvalidFile) : s;
  }
  const int rc = st.step();
  if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? Status(kInvalidFile) : step_error(rc);
  if (st.text(0) != schema_->layout()) return Status(kInvalidFile);
  std::map<std::string, std::string> indexes;
  sql::Stmt ix(db_.get(), "SELECT name, sql FROM sqlite_master WHERE type = 'index'");
  if (!ix.valid()) return sql::status_of(ix.prepare_rc(), db_.get());
  int r;
  while ((r = ix.step()) == SQLITE_ROW) indexes[std::string(ix.text(0))] = std::string(ix.text(1));
  if (r != SQLITE_DONE) return step_error(r);
  for (std::size_t k = 0; k < schema_->keys.size(); ++k) {
    auto it = indexes.find(index_name(schema_->keys[k].def.name));
    if (it == indexes.end() || it->second != key_index_sql(static_cast<int>(k)))
      return Status(kInvalidKeyFile);
  }
  return Status::ok();
}

Status TableCore::open(OpenMode mode) {
  if (is_open()) return Status(kFileAlreadyOpen);
  if (fs_.kind(file()) == FileKind::Missing) return Status(kFileNotFound);
  if (Status st = lock_.acquire(file().string() + "-lock", mode.share, mode.writes); st.failed())
    return st;
  Status st = open_db(file(), false);
  if (st.is_ok()) st = check_layout();
  if (st.code == kInvalidKeyFile) {
    keys_dropped_ = true;  // stays open so that build_keys() can repair the keys
    return st;
  }
  if (st.failed()) {
    db_.close();
    lock_.release();
    return st;
  }
  keys_dropped_ = false;
  cursor_valid_ = false;
  return st;
}

Status TableCore::create_keys() {
  // Building a key sorts every record: give the sorter room in memory for the time of the build.
  // A cache size is a hint: without it the build is slower, not wrong.
  (void)db_.exec("PRAGMA cache_size=-262144;");
  struct Restore {
    sql::Db& db;
    ~Restore() { (void)db.exec("PRAGMA cache_size=-65536;"); }
  } restore{db_};
  for (std::size_t k = 0; k < schema_->keys.size(); ++k) {
    Status st = db_.exec(key_index_sql(static_cast<int>(k)));
    if (st.code == kDuplicateKey) {
      // Name the key value that repeats, so the user can find the two records.
      const auto& key = schema_->keys[k];
      std::string where = partial_condition(static_cast<int>(k));
      std::string q = "SELECT " + key_columns(static_cast<int>(k), false) + " FROM data" +
                      (where.empty() ? "" : " WHERE " + where) + " GROUP BY " +
                      key_columns(static_cast<int>(k), false) + " HAVING count(*) > 1 LIMIT 1";
      sql::Stmt dup(db_.get(), q);
      if (dup.valid() && dup.step() == SQLITE_ROW) {
        std::string values;
        for (std::size_t i = 0; i < key.columns.size(); ++i) {
          if (i) values += ' ';
          values += readable(schema_->columns[static_cast<std::size_t>(key.columns[i])], dup.get(),
                             static_cast<int>(i));
        }
        st.text = "Creates Duplicate Key " + key.def.name + ": two records with " + values;
      }
      return st;
    }
    if (st.failed()) return st;
  }
  return Status::ok();
}

Status TableCore::create() {
  if (is_open()) return Status(kFileAlreadyOpen);
  const auto f = file();
  if (fs_.kind(f) != FileKind::Missing) {
    if (Status st = lock_.acquire(f.string() + "-lock", ShareMode::Exclusive, true); st.failed())
      return st;
    Status st = open_db(f, false);
    if (st.is_ok()) st = check_layout();
    if (st.is_ok() || st.code == kInvalidKeyFile) {
      st = db_.exec("BEGIN IMMEDIATE");
      if (st.is_ok()) {
        st = db_.exec("DELETE FROM data");
        for (std::size_t k = 0; st.is_ok() && k < schema_->keys.size(); ++k)
          st =
              db_.exec("DROP INDEX IF EXISTS " + sql::ident(index_name(schema_->keys[k].def.name)));
        if (st.is_ok()) st = create_keys();
        if (st.is_ok()) {
          st = db_.exec("COMMIT");
        } else {
          // The failure that stopped the work is the one to report; should the rollback fail
          // too, closing the connection below rolls back all the same.
          (void)db_.exec("ROLLBACK");
        }
      }
    }
    finalize_all();
    db_.close();
    lock_.release();
    return st;
  }
  // A new table is built under a temporary name and renamed into place, so a failure part way
  // never leaves a file that later opens as an invalid table.
  const std::filesystem::path tmp = f.string() + ".new";
  Status st = remove_leftover(tmp);
  if (st.is_ok()) st = remove_leftover(tmp.string() + "-wal");
  if (st.is_ok()) st = remove_leftover(tmp.string() + "-shm");
  if (st.failed()) return st;
  st = open_db(tmp, true);
  if (st.is_ok()) st = db_.exec("PRAGMA journal_mode=WAL");
  if (st.is_ok()) {
    std::string ddl = "BEGIN; CREATE TABLE meta(name TEXT PRIMARY KEY, value TEXT NOT NULL);";
    ddl += "CREATE TABLE data(id INTEGER PRIMARY KEY, _ver INTEGER NOT NULL DEFAULT 0";
    for (const auto& c : schema_->columns) ddl += ", " + sql::ident(c.name) + " " + column_type(c);
    ddl += ");";
    for (std::size_t k = 0; k < schema_->keys.size(); ++k)
      ddl += key_index_sql(static_cast<int>(k)) + ";";
    ddl += "INSERT INTO meta VALUES('store', '" + schema_->store + "');";
    st = db_.exec(ddl);
    if (st.is_ok()) {
      sql::Stmt ins(db_.get(), "INSERT INTO meta VALUES('layout', ?1)");
      const std::string layout = schema_->layout();
      ins.bind(1, layout);
      const int rc = ins.step();
      st = rc == SQLITE_DONE ? db_.exec("COMMIT") : step_error(rc);
    }
  }
  // The new table must be whole in its own file before it takes the name: what is still in the
  // log (a checkpoint that found the disk full) would stay behind under the temporary name.
  if (st.is_ok()) {
    const int rc =
        sqlite3_wal_checkpoint_v2(db_.get(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    if (rc != SQLITE_OK) st = step_error(rc);
  }
  db_.close();
  // A stray log must not replay into the new table.
  if (st.is_ok()) st = remove_leftover(f.string() + "-wal");
  if (st.is_ok()) st = remove_leftover(f.string() + "-shm");
  if (st.is_ok()) st = fs_.rename(tmp, f);
  if (st.failed()) {
    // What failed is reported; a leftover that stays is removed by the next attempt.
    (void)fs_.remove(tmp);
    (void)fs_.remove(tmp.string() + "-wal");
    (void)fs_.remove(tmp.string() + "-shm");
  }
  return st;
}

void TableCore::finalize_all() {
  for (auto& k : key_stmts_) {
    for (auto& s : k.scans) s.reset();
    k.get.reset();
  }
  for (auto& s : storage_scans_) s.reset();
  insert_.reset();
  update_.reset();
  delete_.reset();
  by_id_.reset();
}

void TableCore::close() {
  if (!is_open()) return;
  // A batch that was not ended is dropped like an uncommitted transaction: committing it here
  // would leave its failure (a full disk, a lock) with nobody to report it.
  while (depth_ > 0) rollback_transaction();
  batch_ = batch_txn_ = false;
  finalize_all();
  db_.close();
  lock_.release();
  cursor_valid_ = false;
}

Status TableCore::step_error(int rc) {
  return sql::status_of(rc, db_.get());
}

Status TableCore::records(std::int64_t& count) {
  count = 0;
  if (!is_open()) return Status(kFileNotOpen);
  sql::Stmt st(db_.get(), "SELECT count(*) FROM data");
  if (!st.valid()) return sql::status_of(st.prepare_rc(), db_.get());
  const int rc = st.step();
  if (rc != SQLITE_ROW) return step_error(rc);
  count = st.int64(0);
  return Status::ok();
}

Status TableCore::empty() {
  if (!is_open()) return Status(kFileNotOpen);
  cursor_valid_ = false;
  return db_.exec("DELETE FROM data");
}

Status TableCore::drop_keys_for_append() {
  if (keys_dropped_) return Status::ok();
  for (const auto& k : schema_->keys)
    if (Status st = db_.exec("DROP INDEX IF EXISTS " + sql::ident(index_name(k.def.name)));
        st.failed())
      return st;
  finalize_all();  // statements planned with the indexes must be prepared again
  keys_dropped_ = true;
  return Status::ok();
}

Status TableCore::build_keys() {
  if (!is_open()) return Status(kFileNotOpen);
  for (const auto& k : schema_->keys)
    if (Status st = db_.exec("DROP INDEX IF EXISTS " + sql::ident(index_name(k.def.name)));
        st.failed())
      return st;
  finalize_all();
  keys_dropped_ = true;
  Status st = create_keys();
  if (st.is_ok()) keys_dropped_ = false;
  cursor_valid_ = false;
  return st;
}

Status TableCore::begin_transaction() {
  if (!is_open()) return Status(kFileNotOpen);
  Status st =
      depth_ == 0 ? db_.exec("BEGIN IMMEDIATE") : db_.exec("SAVEPOINT sp" + std::to_string(depth_));
  if (st.is_ok()) ++depth_;
  return st;
}

Status TableCore::commit_transaction() {
  if (depth_ == 0) return Status(kNoTransaction);
  Status st =
      depth_ == 1 ? db_.exec("COMMIT") : db_.exec("RELEASE sp" + std::to_string(depth_ - 1));
  if (st.is_ok()) {
    --depth_;
    if (depth_ == 0) batch_txn_ = false;
  }
  return st;
}

void TableCore::rollback_transaction() {
  if (depth_ == 0) return;
  // SQLite refuses a rollback only where the transaction has already gone: after a full disk or
  // an I/O error it may roll back by itself. Either way nothing of it is left to undo.
  if (depth_ == 1) {
    (void)db_.exec("ROLLBACK");
    batch_txn_ = false;
  } else {
    const std::string sp = "sp" + std::to_string(depth_ - 1);
    (void)db_.exec("ROLLBACK TO " + sp + "; RELEASE " + sp);
  }
  --depth_;
  cursor_valid_ = false;
  finalize_all();
  // The rolled back work may have dropped or rebuilt keys: find out what is there now.
  keys_dropped_ = check_layout().code == kInvalidKeyFile;
}

Status TableCore::begin_batch() {
  if (!is_open()) return Status(kFileNotOpen);
  if (batch_) return Status::ok();
  if (depth_ == 0) {
    if (Status st = begin_transaction(); st.failed()) return st;
    batch_txn_ = true;
  }
  batch_ = true;
  return Status::ok();
}

Status TableCore::end_batch() {
  if (!batch_) return Status::ok();
  batch_ = false;
  if (batch_txn_) return commit_transaction();
  return Status::ok();
}

void TableCore::bind_key(sql::Stmt& st, int key, const std::vector<FieldValue>& values, int first) {
  const auto& k = schema_->keys[static_cast<std::size_t>(key)];
  for (std::size_t i = 0; i < k.columns.size(); ++i) {
    const FieldValue& v = values[static_cast<std::size_t>(k.columns[i])];
    const int at = first + static_cast<int>(i);
    if (const auto* n = std::get_if<std::int64_t>(&v))
      st.bind(at, *n);
    else if (const auto* d = std::get_if<double>(&v))
      st.bind(at, *d);
    else
      st.bind(at, std::string_view(std::get<std::string>(v)));
  }
}

sql::Stmt* TableCore::scan_stmt(int key, Scan scan) {
  std::unique_ptr<sql::Stmt>* slot;
  std::string q = "SELECT " + select_list() + " FROM data";
  if (key < 0) {
    slot = &storage_scans_[scan == Scan::After ? 1 : 0];
    if (!*slot) {
      q += scan == Scan::After ? " WHERE id > ?1" : "";
      q += " ORDER BY id LIMIT :lim";
    }
  } else {
    slot = &key_stmts_[static_cast<std::size_t>(key)].scans[static_cast<std::size_t>(scan)];
    if (!*slot) {
      const auto n = schema_->keys[static_cast<std::size_t>(key)].columns.size();
      std::string params, params_id;
      for (std::size_t i = 0; i < n; ++i) params += (i ? ", ?" : "?") + std::to_string(i + 1);
      params_id = params + ", ?" + std::to_string(n + 1);
      const std::string cols = key_columns(key, false);
      std::vector<std::string> where;
      if (auto p = partial_condition(key); !p.empty() && !unkeyed_) where.push_back(p);
      bool desc = false;
      switch (scan) {
        case Scan::GreaterEqual:
          where.push_back("(" + cols + ") >= (" + params + ")");
          break;
        case Scan::After:
          where.push_back("(" + cols + ", id) > (" + params_id + ")");
          break;
        case Scan::LessEqual:
          where.push_back("(" + cols + ") <= (" + params + ")");
          desc = true;
          break;
        case Scan::Before:
          where.push_back("(" + cols + ", id) < (" + params_id + ")");
          desc = true;
          break;
        case Scan::First:
          break;
        case Scan::Last:
          desc = true;
          break;
      }
      for (std::size_t i = 0; i < where.size(); ++i) q += (i ? " AND " : " WHERE ") + where[i];
      q += " ORDER BY " + key_columns(key, desc) + (desc ? ", id DESC" : ", id");
      q += " LIMIT :lim";
    }
  }
  if (!*slot) *slot = std::make_unique<sql::Stmt>(db_.get(), q);
  return (*slot)->valid() ? slot->get() : nullptr;
}

void TableCore::include_unkeyed(bool on) {
  if (on == unkeyed_) return;
  unkeyed_ = on;
  for (auto& k : key_stmts_)
    for (auto& s : k.scans) s.reset();
  cursor_valid_ = false;
}

Status TableCore::key_taken(int key, const std::vector<FieldValue>& values, std::int64_t except,
                            bool& taken) {
  taken = false;
  if (!is_open()) return Status(kFileNotOpen);
  const auto& k = schema_->keys[static_cast<std::size_t>(key)];
  std::string q = "SELECT id FROM data WHERE ";
  if (auto p = partial_condition(key); !p.empty() && !unkeyed_) q += p + " AND ";
  for (std::size_t i = 0; i < k.columns.size(); ++i)
    q += sql::ident(schema_->columns[static_cast<std::size_t>(k.columns[i])].name) + " = ?" +
         std::to_string(i + 1) + " AND ";
  q += "id <> ?" + std::to_string(k.columns.size() + 1) + " LIMIT 1";
  sql::Stmt st(db_.get(), q);
  if (!st.valid()) return sql::status_of(st.prepare_rc(), db_.get());
  bind_key(st, key, values, 1);
  st.bind(static_cast<int>(k.columns.size()) + 1, except);
  const int rc = st.step();
  if (rc == SQLITE_ROW) taken = true;
  return rc == SQLITE_ROW || rc == SQLITE_DONE ? Status::ok() : step_error(rc);
}

sql::Stmt* TableCore::get_stmt(int key) {
  auto& slot = key_stmts_[static_cast<std::size_t>(key)].get;
  if (!slot) {
    const auto& k = schema_->keys[static_cast<std::size_t>(key)];
    std::string q = "SELECT " + select_list() + " FROM data WHERE ";
    if (auto p = partial_condition(key); !p.empty()) q += p + " AND ";
    for (std::size_t i = 0; i < k.columns.size(); ++i) {
      if (i) q += " AND ";
      q += sql::ident(schema_->columns[static_cast<std::size_t>(k.columns[i])].name) + " = ?" +
           std::to_string(i + 1);
    }
    q += " ORDER BY id LIMIT 1";
    slot = std::make_unique<sql::Stmt>(db_.get(), q);
  }
  return slot->valid() ? slot.get() : nullptr;
}

sql::Stmt* TableCore::insert_stmt() {
  if (!insert_) {
    std::string cols, params;
    for (std::size_t i = 0; i < schema_->columns.size(); ++i) {
      cols += (i ? ", " : "") + sql::ident(schema_->columns[i].name);
      params += (i ? ", ?" : "?") + std::to_string(i + 1);
    }
    insert_ = std::make_unique<sql::Stmt>(db_.get(),
                                          "INSERT INTO data(" + cols + ") VALUES(" + params + ")");
  }
  return insert_->valid() ? insert_.get() : nullptr;
}

sql::Stmt* TableCore::update_stmt() {
  if (!update_) {
    std::string q = "UPDATE data SET ";
    const auto n = schema_->columns.size();
    for (std::size_t i = 0; i < n; ++i)
      q += sql::ident(schema_->columns[i].name) + " = ?" + std::to_string(i + 1) + ", ";
    q += "_ver = _ver + 1 WHERE id = ?" + std::to_string(n + 1) + " AND _ver = ?" +
         std::to_string(n + 2);
    update_ = std::make_unique<sql::Stmt>(db_.get(), q);
  }
  return update_->valid() ? update_.get() : nullptr;
}

sql::Stmt* TableCore::delete_stmt() {
  if (!delete_) delete_ = std::make_unique<sql::Stmt>(db_.get(), "DELETE FROM data WHERE id = ?1");
  return delete_->valid() ? delete_.get() : nullptr;
}

}  // namespace mervane

namespace mervane {

sql::Stmt* TableCore::by_id_stmt() {
  if (!by_id_)
    by_id_ = std::make_unique<sql::Stmt>(db_.get(),
                                         "SELECT " + select_list() + " FROM data WHERE id = ?1");
  return by_id_->valid() ? by_id_.get() : nullptr;
}

}  // namespace mervane
