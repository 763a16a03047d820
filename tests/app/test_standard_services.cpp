// The standard open policy, the record services and the standard warnings as the user sees them.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "core/app/record_services.h"
#include "core/app/scroll_stops.h"
#include "core/app/standard_warning.h"
#include "core/model/records.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

class Services : public ::testing::Test {
 protected:
  test::TempDir dir;
  FixedClock clock{75250, 1};
  Session session{dir.path(), clock};
  test::ScriptedReporter rep;
};

TEST_F(Services, WarningTextsAreExact) {
  struct Case {
    int id;
    const char* t1;
    const char* t2;
    Status err;
    const char* text;
    const char* caption;
  };
  const Case cases[] = {
      {34, "Delete", "Calendar", Status(kFileLocked),
       "Error: (File Is Locked (32)) attempting to frame the delete transaction on Calendar.  "
       "Delete transaction cancelled.",
       "Transaction Framing Error"},
      {15, "whatever", "", Status(kRecordChanged), "This record was changed by another station.",
       "Update Operation Error"},
      {15, "Swaprate", "", Status(kFileLocked),
       "An error (File Is Locked (32)) was experienced when attempting to update a record from "
       "the file.  Probable Cause: Swaprate.",
       "Update Operation Error"},
      {2, "CALENDAR", "", Status(kInvalidKeyFile),
       "CALENDAR key file is invalid.  Do you want to rebuild the key?", "Invalid Key"},
      {5, "PVIEW", "", Status(kAccessDenied),
       "Error: (Access Denied (5)) opening created file:PVIEW.  Press OK to end this "
       "application.",
       "File Creation Error"},
      {24, "SWR:KeyPair", "", Status(kDuplicateKey),
       "Adding this record creates a duplicate entry for the key:SWR:KeyPair",
       "Duplicate Key Error"},
      {30, "SWAPOUT", "", Status::file_error(13, "disk I/O error"),
       "File (SWAPOUT) could not be opened.  Error: disk I/O error (13).", "File Access Error"},
  };
  for (const auto& c : cases) {
    const Warning w = make_standard_warning(c.id, c.t1, c.t2, c.err);
    EXPECT_EQ(w.text, c.text) << c.id;
    EXPECT_EQ(w.caption, c.caption) << c.id;
  }
  const Warning del = make_standard_warning(32, "", "", Status::ok());
  EXPECT_EQ(del.buttons, kOkButton + kCancelButton);
  EXPECT_EQ(del.default_button, kCancelButton);
  EXPECT_EQ(del.icon, Icon::Exclamation);
}

TEST_F(Services, SavedErrorIsUsedOnceThenTheCurrentOne) {
  ri_save_error(session, Status(kAccessDenied, "Access Denied"));
  standard_warning(rep, session, 17, "Swaprate", "", Status(kFileLocked));
  standard_warning(rep, session, 17, "Swaprate", "", Status(kFileLocked));
  ASSERT_EQ(rep.warnings.size(), 2u);
  EXPECT_EQ(rep.warnings[0].text,
            "An error (Access Denied (5)) was experienced when attempting to delete a record from "
            "the file Swaprate.");
  EXPECT_NE(rep.warnings[1].text.find("(File Is Locked (32))"), std::string::npos);
}

TEST_F(Services, WarningsThatEndTheProgram) {
  EXPECT_THROW(standard_warning(rep, session, 1, "CALENDAR"), Aborted);
  rep.warning_answers = {kNoButton};
  try {
    standard_warning(rep, session, 2, "CALENDAR");
    FAIL() << "answering No must end the program";
  } catch (const Aborted& a) {
    EXPECT_STREQ(a.what(), "Invalid Key!");
  }
  rep.warning_answers = {kOkButton};
  EXPECT_EQ(standard_warning(rep, session, 34, "Delete", "Calendar"), 0);
}

TEST_F(Services, CheckOpenCreatesAMissingTableSilently) {
  Table<SwaprateTable> t(dir.path());
  check_open(t, rep, session);
  EXPECT_TRUE(t.is_open());
  EXPECT_TRUE(rep.warnings.empty());
}

TEST_F(Services, CheckOpenEndsOnAnInvalidFileWithoutReplacingIt) {
  Table<SwaprateTable> t(dir.path());
  test::write_file(t.file(), "garbage");
  EXPECT_THROW(check_open(t, rep, session), Aborted);
  ASSERT_EQ(rep.warnings.size(), 1u);
  EXPECT_EQ(rep.warnings[0].caption, "Invalid File");
  EXPECT_EQ(test::read_file(t.file()), "garbage");
}

TEST_F(Services, CheckOpenRebuildsAnInvalidKeyWhenAsked) {
  Table<CalendarTable> t(dir.path());
  ASSERT_TRUE(t.create().is_ok());
  sqlite3* db = nullptr;
  sqlite3_open(t.file().c_str(), &db);
  sqlite3_exec(db, "DROP INDEX key_cal_key", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  rep.warning_answers = {kYesButton};
  check_open(t, rep, session);
  EXPECT_TRUE(t.is_open());
  ASSERT_EQ(rep.warnings.size(), 1u);
  EXPECT_EQ(rep.warnings[0].caption, "Invalid Key");
  t.rec.date = 1;
  t.rec.descr = "a";
  ASSERT_TRUE(t.add().is_ok());
  EXPECT_EQ(t.add().code, kDuplicateKey);  // the unique key works again
}

TEST_F(Services, CheckOpenWaitsForALockedTableThenGivesUp) {
  Table<SwapdataTable> holder(dir.path());
  ASSERT_TRUE(holder.create().is_ok());
  ASSERT_TRUE(holder.open(OpenMode::exclusive()).is_ok());
  Table<SwapdataTable> t(dir.path());
  try {
    check_open(t, rep, session);
    FAIL();
  } catch (const Aborted& a) {
    EXPECT_STREQ(a.what(), "Disk Error");
  }
  ASSERT_EQ(rep.warnings.size(), 1u);
  EXPECT_EQ(rep.warnings[0].caption, "File Access Error");
}

TEST_F(Services, DeleteAndUpdateServices) {
  Table<SwaprateTable> t(dir.path());
  check_open(t, rep, session);
  t.rec.pair = "EURUSD";
  t.rec.buy = 1.5;
  ASSERT_TRUE(t.add().is_ok());
  Table<SwaprateTable> other(dir.path());
  check_open(other, rep, session);
  ASSERT_TRUE(t.set_start(SwaprateKey::KeyPair).is_ok());
  ASSERT_TRUE(other.set_start(SwaprateKey::KeyPair).is_ok());
  ASSERT_TRUE(t.next().is_ok());
  ASSERT_TRUE(other.next().is_ok());
  t.rec.buy = 2;
  EXPECT_EQ(ri_update(t, rep, session, "Swaprate", true), 0);
  other.rec.buy = 3;
  EXPECT_EQ(ri_update(other, rep, session, "Swaprate", true), 2);
  EXPECT_DOUBLE_EQ(other.rec.buy, 2);  // the stored version is shown
  ASSERT_EQ(rep.warnings.size(), 1u);
  EXPECT_EQ(rep.warnings[0].caption, "Record Was Not Updated");
  EXPECT_EQ(ri_delete(other, rep, session, "Swaprate"), 0);
  std::int64_t n = -1;
  ASSERT_TRUE(t.records(n).is_ok());
  EXPECT_EQ(n, 0);

  // Changed by this screen after another one deleted it: there is no stored version to show.
  t.rec.pair = "GBPUSD";
  ASSERT_TRUE(t.add().is_ok());
  ASSERT_TRUE(t.set_start(SwaprateKey::KeyPair).is_ok());
  ASSERT_TRUE(other.set_start(SwaprateKey::KeyPair).is_ok());
  ASSERT_TRUE(t.next().is_ok());
  ASSERT_TRUE(other.next().is_ok());
  ASSERT_EQ(ri_delete(t, rep, session, "Swaprate"), 0);
  other.rec.buy = 4;
  EXPECT_EQ(ri_update(other, rep, session, "Swaprate", false), 1);
  ASSERT_EQ(rep.warnings.size(), 3u);
  EXPECT_EQ(rep.warnings[1].caption, "Update Operation Error");
  EXPECT_EQ(rep.warnings[2].caption, "Record Retrieval Error");
  EXPECT_EQ(rep.warnings[2].text,
            "Error: (Record Not Found (35)) attempting to access a record from the Swaprate "
            "file.  Returning to previous window.");
}

TEST(ScrollStops, EvenStepsBetweenLowAndHigh) {
  RealStops r(0, 99);
  EXPECT_DOUBLE_EQ(r.next(), 0);
  EXPECT_DOUBLE_EQ(r.next(), 1);
  for (int i = 3; i < 100; ++i) r.next();
  EXPECT_DOUBLE_EQ(r.next(), 99);

  // Text keys compare without regard to case, as if the letters were lower case.
  auto key_order = [](std::string v) {
    for (char& c : v) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return v;
  };
  StringStops s("AUD", "USD", 4);
  std::string prev = s.next();
  EXPECT_EQ(prev, "AUD ");
  for (int i = 2; i <= 100; ++i) {
    const std::string cur = s.next();
    EXPECT_LE(key_order(prev), key_order(cur)) << "stop " << i;  // never backwards in key order
    prev = cur;
  }
  EXPECT_EQ(prev, "USD ");
}

}  // namespace
}  // namespace mervane
