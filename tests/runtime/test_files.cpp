// Text lines, atomic output files, binary blocks and comma-delimited records.
#include <gtest/gtest.h>

#include "core/model/records.h"
#include "core/runtime/block_file.h"
#include "core/runtime/delimited.h"
#include "core/runtime/table.h"
#include "core/runtime/text_file.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

std::vector<std::string> lines_of(const std::filesystem::path& p) {
  TextReader r;
  std::vector<std::string> out;
  if (r.open(p).failed()) return out;
  std::string line;
  while (r.next(line).is_ok()) out.push_back(line);
  return out;
}

TEST(TextReader, AcceptsLfAndCrLfAndALastLineWithoutEnd) {
  test::TempDir dir;
  test::write_file(dir / "a", "one\r\ntwo\n\nthree \r\nlast");
  EXPECT_EQ(lines_of(dir / "a"), (std::vector<std::string>{"one", "two", "", "three ", "last"}));
  test::write_file(dir / "b", "");
  EXPECT_TRUE(lines_of(dir / "b").empty());
  // A line far longer than the read buffer comes back whole.
  const std::string long_line(300000, 'x');
  test::write_file(dir / "c", "a\n" + long_line + "\nb");
  EXPECT_EQ(lines_of(dir / "c"), (std::vector<std::string>{"a", long_line, "b"}));
}

TEST(TextReader, MissingFileEndAndRewind) {
  test::TempDir dir;
  TextReader r;
  EXPECT_EQ(r.open(dir / "none").code, kFileNotFound);
  EXPECT_EQ(r.open(dir.path()).code, kAccessDenied);
  test::write_file(dir / "f", "x\ny\n");
  ASSERT_TRUE(r.open(dir / "f").is_ok());
  std::string l;
  ASSERT_TRUE(r.next(l).is_ok());
  ASSERT_TRUE(r.next(l).is_ok());
  EXPECT_EQ(r.next(l).code, kRecordNotAvailable);
  ASSERT_TRUE(r.rewind().is_ok());
  ASSERT_TRUE(r.next(l).is_ok());
  EXPECT_EQ(l, "x");
}

TEST(TextWriter, WritesCrLfWithoutTrailingBlanksAndReplacesOnlyOnClose) {
  test::TempDir dir;
  const auto target = dir / "News.CSV";
  test::write_file(target, "previous run\r\n");
  {
    TextWriter w;
    ASSERT_TRUE(w.create(target).is_ok());
    ASSERT_TRUE(w.add("first   ").is_ok());
    ASSERT_TRUE(w.add("second\t").is_ok());
    // Until close the reader (the indicator) still sees the whole previous file.
    EXPECT_EQ(test::read_file(target), "previous run\r\n");
    ASSERT_TRUE(w.close().is_ok());
  }
  EXPECT_EQ(test::read_file(target), "first\r\nsecond\t\r\n");
  {
    TextWriter w;  // a run that fails or is aborted before close
    ASSERT_TRUE(w.create(target).is_ok());
    ASSERT_TRUE(w.add("half").is_ok());
  }
  EXPECT_EQ(test::read_file(target), "first\r\nsecond\t\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
      << "no temporary file may be left behind";
}

TEST(TextWriter, FailuresAreReported) {
  test::TempDir dir;
  TextWriter w;
  EXPECT_EQ(w.add("x").code, kFileNotOpen);
  EXPECT_EQ(w.create(dir / "no-such-folder" / "f.csv").code, kFileNotFound);
  EXPECT_EQ(w.create(dir.path()).code, kBadFileName);
  EXPECT_EQ(remove_file(dir / "none").code, kFileNotFound);
}

TEST(BlockFile, ReadsAtOneBasedPositionsAndReportsShortReads) {
  test::TempDir dir;
  BlockFile f;
  ASSERT_TRUE(f.create(dir / "EFF.INI").is_ok());
  std::string rec(512, ' ');
  rec.replace(0, 5, "hello");
  ASSERT_TRUE(f.write(1, rec.data(), rec.size()).is_ok());
  char buf[8] = {};
  ASSERT_TRUE(f.read(2, 4, buf).is_ok());
  EXPECT_EQ(std::string(buf, 4), "ello");
  std::size_t got = 0;
  EXPECT_EQ(f.read(510, 8, buf, &got).code, kRecordNotAvailable);
  EXPECT_EQ(got, 3u);
  EXPECT_EQ(f.read(513, 1, buf, &got).code, kRecordNotAvailable);
  EXPECT_EQ(got, 0u);
  // A write after a read is seen by the next read (the read-ahead is dropped).
  ASSERT_TRUE(f.write(2, "ELLO", 4).is_ok());
  ASSERT_TRUE(f.read(1, 5, buf).is_ok());
  EXPECT_EQ(std::string(buf, 5), "hELLO");
  std::int64_t size = 0;
  ASSERT_TRUE(f.size(size).is_ok());
  EXPECT_EQ(size, 512);
  BlockFile missing;
  EXPECT_EQ(missing.open(dir / "none").code, kFileNotFound);
}

TEST(FileFaults, ReadErrorsEndTheLinesInsteadOfPassingForTheEnd) {
  test::TempDir dir;
  test::FaultyFileSystem fs;
  test::write_file(dir / "page", "first\nsecond\nthird\n");
  fs.fail_reads_of("page", 9);  // "first\nsec": the cut line is not given out
  TextReader r(fs);
  ASSERT_TRUE(r.open(dir / "page").is_ok());
  std::string line;
  ASSERT_TRUE(r.next(line).is_ok());
  EXPECT_EQ(line, "first");
  const Status st = r.next(line);
  EXPECT_EQ(st.code, kFileSystemError);
  EXPECT_EQ(st.message(), "Input/output error (5)");
}

TEST(FileFaults, BlockFilesReportFullDisksAndReadErrors) {
  test::TempDir dir;
  test::FaultyFileSystem fs;
  BlockFile f(fs);
  ASSERT_TRUE(f.create(dir / "EFF.INI").is_ok());
  fs.fill_disk_after("EFF.INI", 4);
  EXPECT_TRUE(f.write(1, "ABCD", 4).is_ok());
  EXPECT_EQ(f.write(5, "E", 1).message(), "No space left on device (28)");
  fs.clear();
  fs.fail_reads_of("EFF.INI", 2);
  char buf[4];
  EXPECT_EQ(f.read(1, 4, buf).message(), "Input/output error (5)");
}

TEST(FileFaults, ATableWhoseNewFileCannotBePutInPlaceIsNotCreated) {
  test::TempDir dir;
  test::FaultyFileSystem fs;
  fs.fail_rename_to("CALENDAR.db");
  Table<CalendarTable> t(dir.path(), fs);
  EXPECT_EQ(t.create().code, kAccessDenied);
  EXPECT_EQ(t.open().code, kFileNotFound);
  std::vector<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    if (e.path().filename().string().starts_with("CALENDAR.db.new"))
      left.push_back(e.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{});

  // A stray log of an earlier table that cannot be removed would replay into the new one.
  fs.clear();
  test::write_file(dir / "CALENDAR.db-wal", "stray");
  fs.fail_removal_of("CALENDAR.db-wal");
  EXPECT_EQ(t.create().code, kAccessDenied);
  EXPECT_EQ(t.open().code, kFileNotFound);
}

TEST(Delimited, TextsAreQuotedSoCommasAndQuotesSurviveARoundTrip) {
  CalendarRecord c;
  c.date = 71230;
  c.time = 3060001;
  c.currency = "USD";
  c.descr = "Retail Sales, ex \"Autos\"";
  c.actual = "0.4%";
  c.revisedfrom = "0.1%";
  c.spacing = "1";
  c.kxidcode = "12345";
  const Cal2Record r = Cal2Record::from(c);
  const std::string line = to_delimited(r);
  EXPECT_EQ(line,
            "71230,3060001,\"USD\",\"Retail Sales, ex \"\"Autos\"\"\",\"\",\"\",\"\",\"0.4%\","
            "\"\",\"\",\"0.1%\",\"1\",\"12345\"");
  Cal2Record back;
  ASSERT_TRUE(from_delimited(line, back).is_ok());
  EXPECT_EQ(back.to_calendar(), c);
  // Revised-from stands in the eleventh column, spacing in the twelfth.
  const auto parts = split_delimited(line);
  EXPECT_EQ(parts[10], "0.1%");
  EXPECT_EQ(parts[11], "1");
}

TEST(Delimited, BrokenLinesAreRefused) {
  Cal2Record r;
  EXPECT_EQ(from_delimited("1,2,\"USD\"", r).code, kBadValue);
  EXPECT_EQ(from_delimited("x,2,\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"", r).code,
            kBadValue);
  EXPECT_EQ(from_delimited(std::string(13, ',') + "", r).code, kBadValue);
}

}  // namespace
}  // namespace mervane
