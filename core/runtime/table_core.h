// The untyped part of a keyed table: one SQLite database file per table, opened by one opener.
//
// See table.h for the typed table that the program uses. This class owns the connection, the
// share lock, the prepared statements and the transaction state; it knows the columns and keys
// from the schema but not the record type.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/runtime/file_system.h"
#include "core/runtime/schema.h"
#include "core/runtime/share_lock.h"
#include "core/runtime/sqlite.h"
#include "core/runtime/status.h"

namespace mervane {

// How a table is opened: the share mode that others must respect, and whether this opener writes.
struct OpenMode {
  ShareMode share = ShareMode::Shared;
  bool writes = true;
  static OpenMode shared() { return {}; }
  static OpenMode deny_write() { return {ShareMode::DenyWrite, true}; }
  static OpenMode exclusive() { return {ShareMode::Exclusive, true}; }
  static OpenMode read_only() { return {ShareMode::Shared, false}; }
};

class TableCore {
 public:
  // The table's file checks (whether it exists, the new file put in place by create()) go through
  // fs; SQLite reads and writes the file itself.
  TableCore(const TableSchema& schema, std::filesystem::path folder,
            FileSystem& fs = FileSystem::local());
  virtual ~TableCore();
  TableCore(const TableCore&) = delete;
  TableCore& operator=(const TableCore&) = delete;

  const TableSchema& schema() const { return *schema_; }
  const std::string& store() const { return schema_->store; }
  // The file that holds the table ("CALENDAR.db" in the working folder).
  std::filesystem::path file() const;
  // The name stop messages use for the table: its file name.
  std::string file_name() const { return file().filename().string(); }
  bool is_open() const { return db_.is_open(); }

  // Opens the existing table: 2 when it does not exist, 47 when the file is not a table of this
  // layout, 46 when a key is missing or differs (build_keys() repairs it), 32 when another opener
  // holds it in a mode that excludes this one, 52 when this object already has it open.
  Status open(OpenMode mode = OpenMode::shared());
  // Makes a new empty table, or empties an existing one of the same layout. An existing file of
  // another layout is never replaced (47). The table is left closed.
  Status create();
  // Closes the table. Open transactions, and a batch not ended by end_batch(), roll back.
  void close();

  // Number of records.
  Status records(std::int64_t& count);
  // Removes every record.
  Status empty();
  // Recreates every key from the stored records: 40 (naming the repeated key) when a unique key
  // would hold two records with the same value.
  Status build_keys();

  // Batch mode: the writes until end_batch() go into one transaction (when none is active);
  // end_batch() commits it, and its writes are lost when the table closes without it.
  Status begin_batch();
  Status end_batch();
  bool in_batch() const { return batch_; }

  // Transactions on this table alone; nested ones are savepoints. See Transaction in table.h.
  Status begin_transaction();
  Status commit_transaction();
  void rollback_transaction();
  int transaction_depth() const { return depth_; }

  // Changes made through add/put/erase since the last invalidation may move records.
  void invalidate_cursor() { cursor_valid_ = false; }

  // Key-ordered reading of this opener includes the records a key leaves out (those whose key
  // fields are all blank or zero), in their place in the key's order. Such reading sorts the
  // whole table on every query: for tables of a few records only (the swap definitions, where
  // Date Add 0 is the Sunday's definition). Exact gets are not affected.
  void include_unkeyed(bool on);

  // Whether a record other than the one at position `except` (0: none) has the key values
  // `values` (values_of() of a record) in key `key`: for a unique key, whether storing a record
  // with these values would repeat the key. Reading through this opener is not disturbed. With
  // include_unkeyed(true) records the key leaves out count too.
  Status key_taken(int key, const std::vector<FieldValue>& values, std::int64_t except,
                   bool& taken);

 protected:
  enum class Scan { GreaterEqual, After, LessEqual, Before, First, Last };

  sql::Stmt* scan_stmt(int key, Scan scan);  // key -1: storage order (First, After only)
  sql::Stmt* get_stmt(int key);
  sql::Stmt* insert_stmt();
  sql::Stmt* update_stmt();
  sql::Stmt* delete_stmt();
  sql::Stmt* by_id_stmt();
  Status drop_keys_for_append();
  Status step_error(int rc);
  void bind_key(sql::Stmt& st, int key, const std::vector<FieldValue>& values, int first);
  std::string select_list() const;  // id, _ver and every column

  bool cursor_valid_ = false;
  // Rows fetched per query: a read right after positioning fetches few (most positioned reads
  // want one or two records), each further query twice as many, up to kBatchRows.
  static constexpr int kFirstBatchRows = 4;
  static constexpr int kBatchRows = 256;

 private:
  Status remove_leftover(const std::filesystem::path& f);
  Status open_db(const std::filesystem::path& file, bool create_new);
  Status check_layout();
  Status create_keys();
  std::string key_index_sql(int key) const;
  std::string partial_condition(int key) const;
  std::string key_columns(int key, bool desc) const;
  void finalize_all();

  const TableSchema* schema_;
  std::filesystem::path folder_;
  FileSystem& fs_;
  sql::Db db_;
  ShareLock lock_;
  int depth_ = 0;
  bool batch_ = false;
  bool batch_txn_ = false;
  bool keys_dropped_ = false;
  bool unkeyed_ = false;
  struct KeyStmts {
    std::array<std::unique_ptr<sql::Stmt>, 6> scans;
    std::unique_ptr<sql::Stmt> get;
  };
  std::vector<KeyStmts> key_stmts_;
  std::array<std::unique_ptr<sql::Stmt>, 2> storage_scans_;
  std::unique_ptr<sql::Stmt> insert_, update_, delete_, by_id_;
};

}  // namespace mervane
