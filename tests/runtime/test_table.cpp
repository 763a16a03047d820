// The keyed table store: key rules, positioned reading, changes by two openers, append and key
// builds, transactions and share modes.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "core/model/records.h"
#include "core/runtime/reporter.h"
#include "core/runtime/table.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using Cal = Table<CalendarTable>;

CalendarRecord event(std::int32_t date, std::int32_t time, std::string_view ccy,
                     std::string_view descr, std::string_view actual = "") {
  CalendarRecord r;
  r.date = date;
  r.time = time;
  r.currency = ccy;
  r.descr = descr;
  r.actual = actual;
  return r;
}

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Cal(dir.path()).create().is_ok());
    ASSERT_TRUE(t.open().is_ok());
  }
  Status add(const CalendarRecord& r) {
    t.rec = r;
    return t.add();
  }
  // Reads forward from a position and returns the descriptions.
  std::vector<std::string> read_all(Cal& table, bool forward = true) {
    std::vector<std::string> out;
    while ((forward ? table.next() : table.previous()).is_ok())
      out.push_back(table.rec.descr.str());
    return out;
  }
  test::TempDir dir;
  Cal t{dir.path()};
};

TEST_F(TableTest, PrimaryKeyRejectsSameEventIgnoringCaseAndTrailingBlanks) {
  ASSERT_TRUE(add(event(70000, 1, "USD", "CPI m/m", "0.4%")).is_ok());
  EXPECT_EQ(add(event(70000, 1, "usd", "cpi M/M   ")).code, kDuplicateKey);
  // Differing in another field only is still the same event.
  EXPECT_EQ(add(event(70000, 1, "USD", "CPI m/m", "0.9%")).code, kDuplicateKey);
  // Differing in time is another event.
  EXPECT_TRUE(add(event(70000, 2, "USD", "CPI m/m")).is_ok());
  std::int64_t n = 0;
  ASSERT_TRUE(t.records(n).is_ok());
  EXPECT_EQ(n, 2);
}

TEST_F(TableTest, SetPositionsAtFirstRecordNotBelowPartialValues) {
  ASSERT_TRUE(add(event(70001, 360001, "USD", "b")).is_ok());
  ASSERT_TRUE(add(event(70001, 1, "EUR", "a")).is_ok());
  ASSERT_TRUE(add(event(70000, 1, "USD", "before")).is_ok());
  ASSERT_TRUE(add(event(70001, 360001, "CAD", "c")).is_ok());
  ASSERT_TRUE(add(event(70002, 1, "USD", "after")).is_ok());
  t.clear();
  t.rec.date = 70001;  // time 0, blank currency and description: the first event of that day
  ASSERT_TRUE(t.set(CalendarKey::Key).is_ok());
  EXPECT_EQ(read_all(t), (std::vector<std::string>{"a", "c", "b", "after"}));
  EXPECT_EQ(t.next().code, kRecordNotAvailable);
}

TEST_F(TableTest, PreviousFromAPositionAndFromTheEnd) {
  for (int d = 0; d < 5; ++d)
    ASSERT_TRUE(add(event(70000 + d, 1, "USD", std::to_string(d))).is_ok());
  t.clear();
  t.rec.date = 99999999;
  ASSERT_TRUE(t.set(CalendarKey::Key).is_ok());
  ASSERT_TRUE(t.previous().is_ok());
  EXPECT_EQ(t.rec.descr, "4");
  ASSERT_TRUE(t.set_end(CalendarKey::Key).is_ok());
  EXPECT_EQ(read_all(t, false), (std::vector<std::string>{"4", "3", "2", "1", "0"}));
  t.clear();
  t.rec.date = 70002;
  t.rec.time = 1;
  t.rec.currency = "USD";
  t.rec.descr = "2";
  ASSERT_TRUE(
      t.set(CalendarKey::Key).is_ok());  // a full key value: previous() starts at that record
  EXPECT_EQ(read_all(t, false), (std::vector<std::string>{"2", "1", "0"}));
}

TEST_F(TableTest, SecondaryKeysOrderByTheirComponents) {
  ASSERT_TRUE(add(event(70002, 1, "USD", "CPI")).is_ok());
  ASSERT_TRUE(add(event(70001, 1, "usd", "CPI")).is_ok());
  ASSERT_TRUE(add(event(70003, 1, "EUR", "zz")).is_ok());
  ASSERT_TRUE(add(event(70000, 1, "USD", "Auctions")).is_ok());
  ASSERT_TRUE(t.set_start(CalendarKey::NameKey).is_ok());
  std::vector<std::string> got;
  while (t.next().is_ok()) got.push_back(t.rec.currency.str() + std::to_string(t.rec.date));
  EXPECT_EQ(got, (std::vector<std::string>{"EUR70003", "USD70000", "usd70001", "USD70002"}));
}

TEST_F(TableTest, ScanSurvivesBatchesAndDeletingEveryRecordRead) {
  // More records than one batch holds, deleted as they are read, as a week is cleared.
  for (int i = 0; i < 1000; ++i)
    ASSERT_TRUE(add(event(70000 + i / 100, 1 + i % 100, "USD", "e")).is_ok());
  t.clear();
  t.rec.date = 70003;
  ASSERT_TRUE(t.set(CalendarKey::Key).is_ok());
  int deleted = 0;
  while (t.next().is_ok() && t.rec.date <= 70008) {
    ASSERT_TRUE(t.erase().is_ok());
    ++deleted;
  }
  EXPECT_EQ(deleted, 600);
  std::int64_t n = 0;
  ASSERT_TRUE(t.records(n).is_ok());
  EXPECT_EQ(n, 400);
  EXPECT_EQ(t.rec.date, 70009);  // the read that stopped the loop
}

TEST_F(TableTest, DuplicateKeysAreAllReadInOrderAcrossBatches) {
  Table<NcidbTable> n(dir.path());
  ASSERT_TRUE(n.create().is_ok());
  ASSERT_TRUE(n.open().is_ok());
  for (int i = 0; i < 700; ++i) {
    n.clear();
    n.rec.kxid = i % 2 ? "777" : "";
    n.rec.date = i;
    ASSERT_TRUE(n.add().is_ok());
  }
  n.clear();
  n.rec.kxid = "777";
  ASSERT_TRUE(n.set(NcidbKey::KeyKxid).is_ok());
  int count = 0, last = -1;
  while (n.next().is_ok() && n.rec.kxid == "777") {
    EXPECT_GT(n.rec.date, last);  // equal keys come in the order they were stored
    last = n.rec.date;
    ++count;
  }
  EXPECT_EQ(count, 350);
  // The KX ID key keeps blank KX IDs; the date key leaves out the record whose fields are all
  // blank or zero (date 0).
  n.clear();
  ASSERT_TRUE(n.get(NcidbKey::KeyKxid).is_ok());
  EXPECT_EQ(n.rec.date, 0);
  ASSERT_TRUE(n.set_start(NcidbKey::KeyDate).is_ok());
  ASSERT_TRUE(n.next().is_ok());
  EXPECT_EQ(n.rec.date, 1);
}

TEST_F(TableTest, AllBlankKeyIsLeftOutButStaysStored) {
  ASSERT_TRUE(add(CalendarRecord{}).is_ok());
  ASSERT_TRUE(add(CalendarRecord{}).is_ok());  // not in the unique key, so no duplicate
  ASSERT_TRUE(add(event(70000, 1, "USD", "x")).is_ok());
  ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  EXPECT_EQ(read_all(t), std::vector<std::string>{"x"});
  ASSERT_TRUE(t.set_storage_order().is_ok());
  EXPECT_EQ(read_all(t).size(), 3u);
  t.clear();
  EXPECT_EQ(t.get(CalendarKey::Key).code, kRecordNotFound);
}

TEST_F(TableTest, GetReadsTheFullKeyAndPutChangesIt) {
  ASSERT_TRUE(add(event(70000, 1, "USD", "CPI", "1")).is_ok());
  t.clear();
  t.rec.date = 70000;
  t.rec.time = 1;
  t.rec.currency = "usd";
  t.rec.descr = "cpi";
  ASSERT_TRUE(t.get(CalendarKey::Key).is_ok());
  EXPECT_EQ(t.rec.actual, "1");
  EXPECT_EQ(t.rec.currency, "USD");  // the stored spelling
  t.rec.actual = "2";
  ASSERT_TRUE(t.put().is_ok());
  t.rec.descr = "missing";
  EXPECT_EQ(t.get(CalendarKey::Key).code, kRecordNotFound);
  ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  ASSERT_TRUE(t.next().is_ok());
  EXPECT_EQ(t.rec.actual, "2");
}

TEST_F(TableTest, TwoOpenersHaveTheirOwnBuffersAndAStaleChangeFails) {
  ASSERT_TRUE(add(event(70000, 1, "USD", "CPI", "1")).is_ok());
  Cal other(dir.path());
  ASSERT_TRUE(other.open().is_ok());
  ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  ASSERT_TRUE(other.set_start(CalendarKey::Key).is_ok());
  ASSERT_TRUE(t.next().is_ok());
  ASSERT_TRUE(other.next().is_ok());
  t.rec.actual = "mine";
  other.rec.actual = "theirs";
  EXPECT_EQ(t.rec.actual, "mine");  // separate buffers
  ASSERT_TRUE(other.put().is_ok());
  EXPECT_EQ(t.put().code, kRecordChanged);
  ASSERT_TRUE(t.reread().is_ok());
  EXPECT_EQ(t.rec.actual, "theirs");  // the stored version, untouched by the failed change
  // Deleted by the other opener: a change fails the same way.
  ASSERT_TRUE(other.set_start(CalendarKey::Key).is_ok());
  ASSERT_TRUE(other.next().is_ok());
  ASSERT_TRUE(other.erase().is_ok());
  t.rec.actual = "again";
  EXPECT_EQ(t.put().code, kRecordChanged);
}

TEST_F(TableTest, PositionAtARowReadsOnFromItEvenAfterItWasDeleted) {
  // Three events with the same name key: the position decides their order.
  for (int d = 0; d < 3; ++d) ASSERT_TRUE(add(event(70000 + d, 1, "USD", "same")).is_ok());
  ASSERT_TRUE(add(event(70000, 1, "EUR", "eur")).is_ok());
  ASSERT_TRUE(add(event(70000, 1, "JPY", "jpy")).is_ok());
  t.clear();
  ASSERT_TRUE(t.set_start(CalendarKey::NameKey).is_ok());
  std::vector<std::pair<CalendarRecord, std::int64_t>> rows;
  while (t.next().is_ok()) rows.emplace_back(t.rec, t.row_id());
  ASSERT_EQ(rows.size(), 5u);  // eur, jpy, same x 3
  const auto& [mid, mid_id] = rows[3];
  ASSERT_TRUE(t.set_at(CalendarKey::NameKey, mid, mid_id).is_ok());
  ASSERT_TRUE(t.next().is_ok());
  EXPECT_EQ(t.row_id(), mid_id);  // the row itself first
  ASSERT_TRUE(t.set_at(CalendarKey::NameKey, mid, mid_id).is_ok());
  ASSERT_TRUE(t.previous().is_ok());
  EXPECT_EQ(t.row_id(), rows[2].second);  // the duplicate before it
  // After the row: its position plus one.
  ASSERT_TRUE(t.set_at(CalendarKey::NameKey, mid, mid_id + 1).is_ok());
  ASSERT_TRUE(t.next().is_ok());
  EXPECT_EQ(t.row_id(), rows[4].second);

  // Another opener deletes the row: reading from it goes on with the next one.
  Cal other(dir.path());
  ASSERT_TRUE(other.open().is_ok());
  ASSERT_TRUE(other.get_at(mid_id).is_ok());
  ASSERT_TRUE(other.erase().is_ok());
  ASSERT_TRUE(t.set_at(CalendarKey::NameKey, mid, mid_id).is_ok());
  ASSERT_TRUE(t.next().is_ok());
  EXPECT_EQ(t.row_id(), rows[4].second);
  EXPECT_EQ(t.get_at(mid_id).code, kRecordNotFound);
}

TEST_F(TableTest, GetAtMakesTheRecordTheOneLastReadAndReadAheadFetchesAPage) {
  for (int d = 0; d < 40; ++d)
    ASSERT_TRUE(add(event(70000 + d, 1, "USD", std::to_string(d))).is_ok());
  ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(t.next().is_ok());
  const std::int64_t tenth = t.row_id();
  t.clear();
  ASSERT_TRUE(t.get_at(tenth).is_ok());
  EXPECT_EQ(t.rec.descr, "9");
  t.rec.actual = "changed";
  ASSERT_TRUE(t.put().is_ok());
  ASSERT_TRUE(t.next().is_ok());  // on in the order of the last key used
  EXPECT_EQ(t.rec.descr, "10");
  ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  t.read_ahead(25);
  EXPECT_EQ(read_all(t).size(), 40u);  // larger batches after the first read on as before
}

TEST_F(TableTest, KeyTakenSeesOtherRecordsOnlyAndUnkeyedOnesOnRequest) {
  ASSERT_TRUE(add(event(70000, 1, "USD", "a")).is_ok());
  const std::int64_t a = t.row_id();
  ASSERT_TRUE(add(event(0, 0, "", "")).is_ok());  // left out of every key
  const std::int64_t blank = t.row_id();
  ASSERT_TRUE(add(event(0, 0, "", "")).is_ok());
  bool taken = true;
  ASSERT_TRUE(t.key_taken(CalendarKey::Key, event(70000, 1, "usd", "A"), 0, taken).is_ok());
  EXPECT_TRUE(taken);
  ASSERT_TRUE(t.key_taken(CalendarKey::Key, event(70000, 1, "usd", "A"), a, taken).is_ok());
  EXPECT_FALSE(taken) << "the record itself does not count";
  ASSERT_TRUE(t.key_taken(CalendarKey::Key, event(0, 0, "", ""), blank, taken).is_ok());
  EXPECT_FALSE(taken) << "a blank key is no key value";
  t.include_unkeyed(true);
  ASSERT_TRUE(t.key_taken(CalendarKey::Key, event(0, 0, "", ""), blank, taken).is_ok());
  EXPECT_TRUE(taken);
  // Key-ordered reading now includes them, in their place.
  ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  EXPECT_EQ(read_all(t), (std::vector<std::string>{"", "", "a"}));
  t.include_unkeyed(false);
  ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  EXPECT_EQ(read_all(t), std::vector<std::string>{"a"});
}

TEST_F(TableTest, AppendThenBuildKeysNamesTheRepeatedKey) {
  {
    Transaction tx(t);
    ASSERT_TRUE(tx.status().is_ok());
    t.rec = event(70000, 360001, "USD", "CPI");
    ASSERT_TRUE(t.append().is_ok());
    ASSERT_TRUE(t.append().is_ok());  // no key maintenance: the repeat is not seen yet
    const Status st = t.build_keys();
    EXPECT_EQ(st.code, kDuplicateKey);
    EXPECT_NE(st.text.find("CAL:KEY"), std::string::npos);
    EXPECT_NE(st.text.find("08/23/1992 01:00 USD CPI"), std::string::npos) << st.text;
  }  // rolled back: the table is as before, keys included
  t.close();
  ASSERT_TRUE(t.open().is_ok());
  std::int64_t n = -1;
  ASSERT_TRUE(t.records(n).is_ok());
  EXPECT_EQ(n, 0);
  {
    Transaction tx(t);
    for (int i = 0; i < 10; ++i) {
      t.rec = event(70000, 1 + i, "USD", "x");
      ASSERT_TRUE(t.append().is_ok());
    }
    ASSERT_TRUE(t.build_keys().is_ok());
    ASSERT_TRUE(tx.commit().is_ok());
  }
  t.close();
  ASSERT_TRUE(t.open().is_ok());
  ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  EXPECT_EQ(read_all(t).size(), 10u);
}

TEST_F(TableTest, TransactionRollsBackUnlessCommitted) {
  ASSERT_TRUE(add(event(70000, 1, "USD", "kept")).is_ok());
  {
    Transaction tx(t);
    ASSERT_TRUE(add(event(70001, 1, "USD", "lost")).is_ok());
    ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
    while (t.next().is_ok()) ASSERT_TRUE(t.erase().is_ok());
  }
  ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  EXPECT_EQ(read_all(t), std::vector<std::string>{"kept"});
  {
    Transaction outer(t);
    ASSERT_TRUE(add(event(70002, 1, "USD", "outer")).is_ok());
    {
      Transaction inner(t);
      ASSERT_TRUE(add(event(70003, 1, "USD", "inner")).is_ok());
    }
    ASSERT_TRUE(outer.commit().is_ok());
  }
  ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  EXPECT_EQ(read_all(t), (std::vector<std::string>{"kept", "outer"}));
}

TEST_F(TableTest, WriterWaitsTwoSecondsThenFindsTheTableLocked) {
  Cal other(dir.path());
  ASSERT_TRUE(other.open().is_ok());
  Transaction tx(t);
  ASSERT_TRUE(tx.status().is_ok());
  const auto start = std::chrono::steady_clock::now();
  Transaction blocked(other);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(blocked.status().code, kFileLocked);
  EXPECT_GE(waited, std::chrono::milliseconds(1900));
}

TEST_F(TableTest, ShareModes) {
  Cal second(dir.path());
  EXPECT_EQ(second.open(OpenMode::exclusive()).code, kFileLocked);  // t holds it
  EXPECT_EQ(second.open(OpenMode::deny_write()).code, kFileLocked);
  ASSERT_TRUE(second.open(OpenMode::shared()).is_ok());
  second.close();
  t.close();
  ASSERT_TRUE(t.open(OpenMode::deny_write()).is_ok());
  EXPECT_EQ(second.open(OpenMode::shared()).code, kFileLocked);  // others may not write
  ASSERT_TRUE(second.open(OpenMode::read_only()).is_ok());       // but may read
  second.close();
  t.close();
  ASSERT_TRUE(t.open(OpenMode::exclusive()).is_ok());
  EXPECT_EQ(second.open(OpenMode::read_only()).code, kFileLocked);
  t.close();
  EXPECT_TRUE(second.open(OpenMode::exclusive()).is_ok());  // released on close
}

TEST(TableFiles, MissingInvalidAndDamagedTables) {
  test::TempDir dir;
  Cal t(dir.path());
  EXPECT_EQ(t.open().code, kFileNotFound);
  EXPECT_FALSE(std::filesystem::exists(t.file()));  // open never creates

  test::write_file(t.file(), "this is not a table");
  EXPECT_EQ(t.open().code, kInvalidFile);
  EXPECT_EQ(t.create().code, kInvalidFile);  // an unknown file is never replaced
  EXPECT_EQ(test::read_file(t.file()), "this is not a table");

  std::filesystem::remove(t.file());
  ASSERT_TRUE(t.create().is_ok());
  // A table of another layout is not this table.
  Table<PviewTable> p(dir.path());
  std::filesystem::copy_file(t.file(), p.file());
  EXPECT_EQ(p.open().code, kInvalidFile);

  // A key lost (as by a crash in the middle of an append outside a transaction) reads as an
  // invalid key file, which build_keys() repairs.
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(t.file().c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "DROP INDEX key_cal_namekey", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  EXPECT_EQ(t.open().code, kInvalidKeyFile);
  ASSERT_TRUE(t.build_keys().is_ok());
  t.close();
  EXPECT_TRUE(t.open().is_ok());
}

TEST(TableFiles, CreateEmptiesAnExistingTable) {
  test::TempDir dir;
  Table<PviewTable> p(dir.path());
  ASSERT_TRUE(p.create().is_ok());
  ASSERT_TRUE(p.open().is_ok());
  p.rec.date = 1;
  ASSERT_TRUE(p.add().is_ok());
  p.close();
  ASSERT_TRUE(p.create().is_ok());
  ASSERT_TRUE(p.open().is_ok());
  std::int64_t n = -1;
  ASSERT_TRUE(p.records(n).is_ok());
  EXPECT_EQ(n, 0);
}

}  // namespace
}  // namespace mervane

namespace mervane {
namespace {

TEST(TableBatch, WritesOfABatchAreKeptByItsEndOnly) {
  // Only end_batch() can report a failure of the batch's commit, so only it keeps the writes: a
  // table closed with the batch still on, or an Abort unwinding through it, drops them.
  test::TempDir dir;
  ASSERT_TRUE(Cal(dir.path()).create().is_ok());
  {
    Cal t(dir.path());
    ASSERT_TRUE(t.open().is_ok());
    ASSERT_TRUE(t.begin_batch().is_ok());
    t.rec = event(70000, 1, "USD", "kept");
    ASSERT_TRUE(t.add().is_ok());
    ASSERT_TRUE(t.end_batch().is_ok());
  }
  {
    Cal t(dir.path());
    ASSERT_TRUE(t.open().is_ok());
    ASSERT_TRUE(t.begin_batch().is_ok());
    t.rec = event(70001, 1, "USD", "never ended");
    ASSERT_TRUE(t.add().is_ok());
  }
  try {
    Cal t(dir.path());
    ASSERT_TRUE(t.open().is_ok());
    ASSERT_TRUE(t.begin_batch().is_ok());
    t.rec = event(70002, 1, "USD", "aborted");
    ASSERT_TRUE(t.add().is_ok());
    throw Aborted("Add(CALENDAR.db) - test");
  } catch (const Aborted&) {
  }
  Cal t(dir.path());
  ASSERT_TRUE(t.open().is_ok());
  std::int64_t n = 0;
  ASSERT_TRUE(t.records(n).is_ok());
  EXPECT_EQ(n, 1);
}

}  // namespace
}  // namespace mervane
