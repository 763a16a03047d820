// Keyed tables.
//
// A Table<Def> is one opener of one table: its own SQLite connection and its own record buffer
// `rec`, so two windows, or a window and a run, never share a buffer. Reads fill rec; add and put
// write it. Def names the record type, the key enum and the store:
//
//   struct CalendarTable {
//     using Record = CalendarRecord;
//     using Key = CalendarKey;                 // enum, in the order of keys()
//     static const TableSchema& schema();
//   };
//
// Reading by key: set(k) positions at the first record whose key is not below the key fields of
// rec (blank and zero fields are the lowest values, so partial values work); next() then reads
// forward in key order and previous() backward from the last record not above the position.
// Records come in batches from the last key read, so a million-record scan is a few thousand
// queries, and reading stays correct when the record last read is deleted or changed.
//
// A table object is used by one thread at a time. Every operation returns its Status; nothing
// throws except Transaction's use of the table after a failed begin.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <type_traits>
#include <vector>

#include "core/runtime/table_core.h"

namespace mervane {

template <class Def>
class Table : public TableCore {
 public:
  using Record = typename Def::Record;
  using Key = typename Def::Key;

  Record rec{};

  explicit Table(std::filesystem::path folder, FileSystem& fs = FileSystem::local())
      : TableCore(Def::schema(), std::move(folder), fs) {}

  void clear() { rec = Record{}; }

  // Positions by key from the key fields of rec.
  Status set(Key k) { return position(static_cast<int>(k), Mode::Seek); }
  // Before the first record of a key (next() gives the first) or after the last (previous()
  // gives the last).
  Status set_start(Key k) { return position(static_cast<int>(k), Mode::Start); }
  Status set_end(Key k) { return position(static_cast<int>(k), Mode::End); }
  // The order records were stored in.
  Status set_storage_order() { return position(-1, Mode::Start); }
  // Positions by key at a record known by its key values (those of r) and its position id
  // (row_id() when it was read): next() reads that record, or the first after it when it has
  // been deleted meanwhile, previous() the record before it. A list keeps these two for each row
  // it shows, so it can read on from any row.
  Status set_at(Key k, const Record& r, std::int64_t id);

  // 33 "Record Not Available" past the end.
  Status next() { return read(true); }
  Status previous() { return read(false); }

  // Reads the record whose full key equals the key fields of rec: 35 "Record Not Found".
  Status get(Key k);
  // Adds rec as a new record: 40 when a unique key would repeat.
  Status add() { return insert(false); }
  // Changes the record last read to rec: 89 when another opener changed or deleted it since it
  // was read (the stored record stays as it is), 40 on a repeated unique key.
  Status put();
  // Deletes the record last read.
  Status erase();
  // Adds rec without maintaining the keys; build_keys() recreates them once at the end. Use it
  // inside a transaction so that a failure cannot leave the table without keys.
  Status append() { return insert(true); }

  // Reads the record last read again from its stored position into rec (after 89: the version
  // another opener stored). 35 when it was deleted meanwhile.
  Status reread();
  // Reads the record stored at a position (a row_id()) into rec: 35 when it is gone. It becomes
  // the record last read, so put() and erase() act on it and next() reads on in the order of
  // the last key used.
  Status get_at(std::int64_t id);
  // Whether another record than the one at position except has r's values in key k.
  Status key_taken(Key k, const Record& r, std::int64_t except, bool& taken) {
    return TableCore::key_taken(static_cast<int>(k), values_of(r), except, taken);
  }
  // The position of the record last read or added; 0 when there is none.
  std::int64_t row_id() const { return have_last_ ? last_.id : 0; }

  // The number of records the next query of next() or previous() fetches, for a reader that
  // knows how many it wants (a page of a list). Call it after positioning, which starts again
  // with a few.
  void read_ahead(int rows) { batch_rows_ = std::clamp(rows, 1, kBatchRows); }

  // The stored record last read, as it was read (before any change of rec).
  const Record& last_read() const { return last_.rec; }
  bool has_last_read() const { return have_last_; }

 private:
  enum class Mode { None, Seek, Start, End, AfterLast, At };
  struct Row {
    Record rec{};
    std::int64_t id = 0;
    std::int64_t ver = 0;
  };

  Status position(int key, Mode mode);
  Status read(bool forward);
  Status refill(bool forward);
  Status insert(bool append);
  Status fetch(std::int64_t id, Row& row);  // the stored record at a position
  void take(const Row& row);
  static void read_row(sql::Stmt& st, Row& row);
  static void bind_record(sql::Stmt& st, const Record& r);

  int key_ = -1;
  Mode mode_ = Mode::None;
  bool forward_ = true;
  std::vector<FieldValue> seek_;  // key values of a Seek or At position
  std::int64_t at_id_ = 0;        // and the record position of an At position
  std::vector<Row> buffer_;
  std::size_t pos_ = 0;
  int batch_rows_ = kFirstBatchRows;  // rows the next query asks for
  int asked_ = 0;                     // rows the last query asked for
  Row last_;
  bool have_last_ = false;
};

// A transaction on one table: rolls back in its destructor unless committed, so an Abort that
// unwinds through it leaves the table as it was before begin.
class Transaction {
 public:
  explicit Transaction(TableCore& t) : t_(&t), status_(t.begin_transaction()) {}
  ~Transaction() {
    if (active()) t_->rollback_transaction();
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // The result of beginning it: 32 when another writer held the table for two seconds.
  const Status& status() const { return status_; }
  bool active() const { return status_.is_ok() && !done_; }
  Status commit() {
    if (!active()) return status_.is_ok() ? Status(kNoTransaction) : status_;
    done_ = true;
    return t_->commit_transaction();
  }
  void rollback() {
    if (active()) t_->rollback_transaction();
    done_ = true;
  }

 private:
  TableCore* t_;
  Status status_;
  bool done_ = false;
};

// ---- implementation ----

template <class Def>
void Table<Def>::read_row(sql::Stmt& st, Row& row) {
  row.id = st.int64(0);
  row.ver = st.int64(1);
  int col = 2;
  Record::fields(row.rec, [&](const char*, auto& field, FieldKind) {
    using T = std::remove_cvref_t<decltype(field)>;
    if constexpr (detail::is_text<T>::value) {
      field.assign(st.text(col));
    } else if constexpr (std::is_floating_point_v<T>) {
      field = static_cast<T>(st.real(col));
    } else {
      field = static_cast<T>(st.int64(col));
    }
    ++col;
  });
}

template <class Def>
void Table<Def>::bind_record(sql::Stmt& st, const Record& r) {
  int i = 1;
  Record::fields(const_cast<Record&>(r), [&](const char*, auto& field, FieldKind) {
    using T = std::remove_cvref_t<decltype(field)>;
    if constexpr (detail::is_text<T>::value) {
      st.bind(i, field.view());
    } else if constexpr (std::is_floating_point_v<T>) {
      st.bind(i, static_cast<double>(field));
    } else {
      st.bind(i, static_cast<std::int64_t>(field));
    }
    ++i;
  });
}

template <class Def>
void Table<Def>::take(const Row& row) {
  rec = row.rec;
  last_ = row;
  have_last_ = true;
  mode_ = Mode::AfterLast;
}

template <class Def>
Status Table<Def>::position(int key, Mode mode) {
  if (!is_open()) return Status(kFileNotOpen);
  key_ = key;
  mode_ = mode;
  if (mode == Mode::Seek) seek_ = values_of(rec);
  buffer_.clear();
  pos_ = 0;
  batch_rows_ = kFirstBatchRows;
  cursor_valid_ = true;
  return Status::ok();
}

template <class Def>
Status Table<Def>::set_at(Key k, const Record& r, std::int64_t id) {
  if (Status st = position(static_cast<int>(k), Mode::At); st.failed()) return st;
  seek_ = values_of(r);
  at_id_ = id;
  return Status::ok();
}

template <class Def>
Status Table<Def>::refill(bool forward) {
  buffer_.clear();
  pos_ = 0;
  Scan scan;
  switch (mode_) {
    case Mode::Seek:
      scan = forward ? Scan::GreaterEqual : Scan::LessEqual;
      break;
    case Mode::Start:
      scan = forward ? Scan::First : Scan::Last;
      break;
    case Mode::End:
      scan = forward ? Scan::Last : Scan::Last;
      break;
    case Mode::AfterLast:
    case Mode::At:
      scan = forward ? Scan::After : Scan::Before;
      break;
    default:
      return Status(kRecordNotAvailable);
  }
  if (mode_ == Mode::End && forward) return Status(kRecordNotAvailable);
  if (mode_ == Mode::Start && !forward) return Status(kRecordNotAvailable);
  if (key_ < 0 && scan != Scan::First && scan != Scan::After) return Status(kRecordNotAvailable);
  sql::Stmt* st = scan_stmt(key_, scan);
  if (!st) return Status(kFileSystemError);
  st->reset();
  std::vector<FieldValue> last_values;
  if (scan == Scan::GreaterEqual || scan == Scan::LessEqual) {
    bind_key(*st, key_, seek_, 1);
  } else if (mode_ == Mode::At) {
    // Forward from the record itself: after (values, id - 1), as positions are whole numbers.
    bind_key(*st, key_, seek_, 1);
    st->bind(static_cast<int>(schema().keys[static_cast<std::size_t>(key_)].columns.size()) + 1,
             forward ? at_id_ - 1 : at_id_);
  } else if (scan == Scan::After || scan == Scan::Before) {
    if (key_ < 0) {
      st->bind(1, last_.id);
    } else {
      last_values = values_of(last_.rec);
      bind_key(*st, key_, last_values, 1);
      st->bind(static_cast<int>(schema().keys[static_cast<std::size_t>(key_)].columns.size()) + 1,
               last_.id);
    }
  }
  asked_ = batch_rows_;
  sqlite3_bind_int(st->get(), sqlite3_bind_parameter_index(st->get(), ":lim"), asked_);
  batch_rows_ = std::min(batch_rows_ * 2, kBatchRows);
  int rc;
  while ((rc = st->step()) == SQLITE_ROW) {
    buffer_.emplace_back();
    read_row(*st, buffer_.back());
  }
  st->reset();
  if (rc != SQLITE_DONE) {
    buffer_.clear();
    return step_error(rc);
  }
  cursor_valid_ = true;
  forward_ = forward;
  return buffer_.empty() ? Status(kRecordNotAvailable) : Status::ok();
}

template <class Def>
Status Table<Def>::read(bool forward) {
  if (!is_open()) return Status(kFileNotOpen);
  if (mode_ == Mode::None) return Status(kRecordNotAvailable);
  if (!cursor_valid_ || forward != forward_ || pos_ >= buffer_.size()) {
    // A full batch may have more behind it; a short one was the end of the key.
    const bool exhausted = cursor_valid_ && forward == forward_ && !buffer_.empty() &&
                           buffer_.size() < static_cast<std::size_t>(asked_) &&
                           pos_ >= buffer_.size();
    if (exhausted) return Status(kRecordNotAvailable);
    if (Status st = refill(forward); st.failed()) return st;
  }
  take(buffer_[pos_++]);
  return Status::ok();
}

template <class Def>
Status Table<Def>::get(Key k) {
  if (!is_open()) return Status(kFileNotOpen);
  const int key = static_cast<int>(k);
  sql::Stmt* st = get_stmt(key);
  if (!st) return Status(kFileSystemError);
  st->reset();
  const std::vector<FieldValue> values = values_of(rec);
  bind_key(*st, key, values, 1);
  const int rc = st->step();
  if (rc == SQLITE_ROW) {
    Row row;
    read_row(*st, row);
    st->reset();
    key_ = key;
    buffer_.clear();
    pos_ = 0;
    batch_rows_ = kFirstBatchRows;
    take(row);
    return Status::ok();
  }
  st->reset();
  return rc == SQLITE_DONE ? Status(kRecordNotFound) : step_error(rc);
}

template <class Def>
Status Table<Def>::insert(bool append) {
  if (!is_open()) return Status(kFileNotOpen);
  if (append) {
    if (Status s = drop_keys_for_append(); s.failed()) return s;
  }
  sql::Stmt* st = insert_stmt();
  if (!st) return Status(kFileSystemError);
  st->reset();
  bind_record(*st, rec);
  const int rc = st->step();
  st->reset();
  if (rc != SQLITE_DONE) return step_error(rc);
  last_.rec = rec;
  last_.id = sqlite3_last_insert_rowid(sqlite3_db_handle(st->get()));
  last_.ver = 0;
  have_last_ = true;
  if (mode_ != Mode::None) mode_ = Mode::AfterLast;
  cursor_valid_ = false;  // the new record may fall inside the batch already read
  return Status::ok();
}

template <class Def>
Status Table<Def>::put() {
  if (!is_open()) return Status(kFileNotOpen);
  if (!have_last_) return Status(kRecordNotAvailable);
  sql::Stmt* st = update_stmt();
  if (!st) return Status(kFileSystemError);
  st->reset();
  bind_record(*st, rec);
  const int n = static_cast<int>(schema().columns.size());
  st->bind(n + 1, last_.id);
  st->bind(n + 2, last_.ver);
  const int rc = st->step();
  st->reset();
  if (rc != SQLITE_DONE) return step_error(rc);
  if (sqlite3_changes(sqlite3_db_handle(st->get())) == 0) return Status(kRecordChanged);
  const bool moved = values_of(last_.rec) != values_of(rec);
  last_.rec = rec;
  ++last_.ver;
  if (moved) cursor_valid_ = false;
  return Status::ok();
}

template <class Def>
Status Table<Def>::fetch(std::int64_t id, Row& row) {
  if (!is_open()) return Status(kFileNotOpen);
  sql::Stmt* st = by_id_stmt();
  if (!st) return Status(kFileSystemError);
  st->reset();
  st->bind(1, id);
  const int rc = st->step();
  if (rc != SQLITE_ROW) {
    st->reset();
    return rc == SQLITE_DONE ? Status(kRecordNotFound) : step_error(rc);
  }
  read_row(*st, row);
  st->reset();
  return Status::ok();
}

template <class Def>
Status Table<Def>::reread() {
  if (is_open() && !have_last_) return Status(kRecordNotAvailable);
  Row row;
  if (Status st = fetch(last_.id, row); st.failed()) return st;
  rec = row.rec;
  last_ = row;
  return Status::ok();
}

template <class Def>
Status Table<Def>::get_at(std::int64_t id) {
  Row row;
  if (Status st = fetch(id, row); st.failed()) return st;
  buffer_.clear();
  pos_ = 0;
  batch_rows_ = kFirstBatchRows;
  take(row);
  return Status::ok();
}

template <class Def>
Status Table<Def>::erase() {
  if (!is_open()) return Status(kFileNotOpen);
  if (!have_last_) return Status(kRecordNotAvailable);
  sql::Stmt* st = delete_stmt();
  if (!st) return Status(kFileSystemError);
  st->reset();
  st->bind(1, last_.id);
  const int rc = st->step();
  st->reset();
  if (rc != SQLITE_DONE) return step_error(rc);
  // The batch already read lies after the deleted record and stays valid; the next read goes on
  // from the deleted record's key.
  return Status::ok();
}

}  // namespace mervane
