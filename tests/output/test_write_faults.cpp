// What a user meets when the disk fills while a file is written, or when the finished file
// cannot be put in place (the indicator holds News.CSV open on Windows): one stop message naming
// the operation and the file, the previous file as it was, no temporary file left behind, and
// the tables as they were. After Ignore the run goes on with its other files.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/analysis/nci_output.h"
#include "core/import/acquisition.h"
#include "core/output/procfile.h"
#include "core/output/profiles.h"
#include "core/runtime/paths.h"
#include "tests/output/history_fixture.h"
#include "tests/output/procfile_stubs.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using C = ProcFileControl;
using test::day;

enum class Fault { DiskFull, RenameRefused };

// How the message ends for each fault.
std::string error_of(Fault f) {
  return f == Fault::DiskFull ? "No space left on device (28)" : "Access Denied";
}

// Every output of a Build run and the previous contents they must keep.
const std::vector<std::pair<std::string, std::string>> kPrevious = {
    {"News.CSV", "old news\r\n"},       {"XLOutput.CSV", "old export\r\n"},
    {"@BACKUP@.CSV", "old backup\r\n"}, {"#EU1#.INI", "old profile\r\n"},
    {"NCI1.CSV", "old nci\r\n"},
};

class WriteFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    test::store(dir.path(), test::sample_week());
    SettingsRecord rec = built_in_defaults(day(2008, 3, 11), dir.path());
    rec.b.outname = "News.CSV";
    rec.b.checkhist = 0;
    rec.b.xout = 4;
    rec.b.outxlsname = "XLOutput.CSV";
    rec.b.fromdate = day(2008, 3, 1);
    rec.b.thrudate = day(2008, 3, 31);
    rec.b.nciout = 1;
    ASSERT_TRUE(write_settings_file(dir / "trune.INI", rec).is_ok());
    settings_before = test::read_file(dir / "trune.INI");
    for (const auto& [name, text] : kPrevious) test::write_file(dir / name, text);
    history_before = history();
  }

  // Every stored event, in key order.
  std::vector<std::string> history() {
    std::vector<std::string> out;
    Table<CalendarTable> t(dir.path());
    EXPECT_TRUE(t.open(OpenMode::read_only()).is_ok());
    Status st = t.set_start(CalendarKey::Key);
    while (st.is_ok() && (st = t.next()).is_ok())
      out.push_back(std::to_string(t.rec.date) + t.rec.descr.str() + t.rec.actual.str());
    EXPECT_EQ(st.code, kRecordNotAvailable);
    return out;
  }

  // The file as it was before the run.
  std::string previous(const std::string& name) const {
    if (name == "trune.INI") return settings_before;
    for (const auto& [n, text] : kPrevious)
      if (n == name) return text;
    return {};
  }

  std::vector<std::string> temporaries() const {
    std::vector<std::string> out;
    for (const std::string& f : file_names(dir.path()))
      if (f.find(".tmp-") != std::string::npos) out.push_back(f);
    return out;
  }

  std::unique_ptr<ProcFile> window() {
    auto w =
        std::make_unique<ProcFile>(WindowServices{session, rep, progress, windows, downloader});
    w->open();
    return w;
  }

  void arm(Fault f, const std::string& name) {
    if (f == Fault::DiskFull)
      fs.fill_disk_after(name, 10);  // part of the first line goes in
    else
      fs.fail_rename_to(name);
  }

  test::TempDir dir;
  FixedClock clock{day(2008, 3, 11), 1};
  test::FaultyFileSystem fs;
  Session session{dir.path(), clock, fs};
  test::ScriptedReporter rep;
  NoProgress progress;
  test::StubWindows windows{session};
  test::StubDownloader downloader;
  std::string settings_before;
  std::vector<std::string> history_before;
};

struct Case {
  const char* file;
  const char* full_op;    // the operation a full disk shows
  const char* rename_op;  // the one a refused rename shows
};

TEST_F(WriteFaults, BuildRunKeepsEachPreviousFile) {
  const Case cases[] = {
      {"News.CSV", "Add", "Add"},
      {"XLOutput.CSV", "Add", "Add"},
      {"trune.INI", "Create", "Create"},
      {"@BACKUP@.CSV", "Add", "Create"},
  };
  for (const Case& c : cases) {
    for (const Fault f : {Fault::DiskFull, Fault::RenameRefused}) {
      SetUp();
      const std::string what = std::string(c.file) + (f == Fault::DiskFull ? " full" : " rename");
      fs.clear();
      rep.stops.clear();
      rep.stop_answers = {Answer::Ignore};
      auto w = window();
      arm(f, c.file);
      EXPECT_EQ(w->accepted(number(C::OK)), Reply::closed(Response::Completed)) << what;
      EXPECT_GT(fs.faults(), 0) << what;
      const std::string op = f == Fault::DiskFull ? c.full_op : c.rename_op;
      EXPECT_EQ(rep.stops, std::vector<std::string>{op + "(" + c.file + ") - " + error_of(f)})
          << what;
      EXPECT_EQ(test::read_file(dir / c.file), previous(c.file)) << what;
      EXPECT_EQ(temporaries(), std::vector<std::string>{}) << what;
      EXPECT_EQ(history(), history_before) << what;
      // The run went on: the other files are the new ones.
      for (const char* other : {"News.CSV", "XLOutput.CSV", "@BACKUP@.CSV"}) {
        if (std::string(other) != c.file) {
          EXPECT_NE(test::read_file(dir / other), previous(other)) << what << ": " << other;
        }
      }
    }
  }
}

TEST_F(WriteFaults, AbortKeepsEveryPreviousFile) {
  rep.stop_answers = {Answer::Abort};
  auto w = window();
  fs.fill_disk_after("News.CSV", 100);
  EXPECT_THROW(w->accepted(number(C::OK)), Aborted);
  for (const auto& [name, text] : kPrevious) EXPECT_EQ(test::read_file(dir / name), text) << name;
  EXPECT_EQ(test::read_file(dir / "trune.INI"), settings_before);
  EXPECT_EQ(temporaries(), std::vector<std::string>{});
  EXPECT_EQ(history(), history_before);
}

TEST_F(WriteFaults, ProfileKeepsItsPreviousFile) {
  for (const Fault f : {Fault::DiskFull, Fault::RenameRefused}) {
    SetUp();
    fs.clear();
    rep.stops.clear();
    rep.stop_answers = {Answer::Ignore};
    auto w = window();
    ASSERT_EQ(w->type(number(C::PFILENAME), "EU1"), Reply::stay());
    arm(f, "#EU1#.INI");
    w->accepted(number(C::SAVE1));
    EXPECT_EQ(rep.stops, std::vector<std::string>{"Create(#EU1#.INI) - " + error_of(f)});
    EXPECT_EQ(test::read_file(dir / "#EU1#.INI"), "old profile\r\n");
    EXPECT_EQ(temporaries(), std::vector<std::string>{});
    EXPECT_EQ(w->profiles(), std::vector<ProfileName>{"EU1"}) << "the profile is still there";
  }
}

TEST_F(WriteFaults, NciFileKeepsItsPreviousLines) {
  BuildSettings g2 = built_in_defaults(day(2008, 3, 11), dir.path()).b;
  g2.nciout = 1;
  session.set_g2(g2);
  session.with([](Globals& g) { g.outname = "News.CSV"; });
  for (const Fault f : {Fault::DiskFull, Fault::RenameRefused}) {
    fs.clear();
    rep.stops.clear();
    rep.stop_answers = {Answer::Ignore};
    arm(f, "NCI1.CSV");
    nci_output(session, rep, progress);
    EXPECT_EQ(rep.stops, std::vector<std::string>{"Append(NCI1.CSV) - " + error_of(f)});
    EXPECT_EQ(test::read_file(dir / "NCI1.CSV"), "old nci\r\n");
    EXPECT_EQ(temporaries(), std::vector<std::string>{});
    EXPECT_EQ(history(), history_before);
  }
  // A read error in the old file: its values cannot all be taken in, so it is not rewritten.
  fs.clear();
  test::write_file(dir / "NCI1.CSV", std::string(100000, 'x') + "\r\n");
  fs.fail_reads_of("NCI1.CSV", 70000);
  rep.stops.clear();
  nci_output(session, rep, progress);
  EXPECT_EQ(rep.stops, std::vector<std::string>{"Get(NCI1.CSV) - Input/output error (5)"});
  EXPECT_EQ(test::read_file(dir / "NCI1.CSV").size(), 100002u);
}

TEST_F(WriteFaults, UnreadableSettingsFileIsReportedNotTakenForMissing) {
  fs.fail_reads_of("trune.INI", 100);
  rep.stop_answers = {Answer::Ignore};
  auto w = window();
  EXPECT_EQ(rep.stops, std::vector<std::string>{"Open(trune.INI) - Input/output error (5)"});
  EXPECT_EQ(test::read_file(dir / "trune.INI"), settings_before);
}

TEST_F(WriteFaults, TriggerFileThatCannotBeRemovedIsReported) {
  // Left in place it would make every later start an automatic run.
  test::write_file(dir / "Autoplay.CSV", "75250\r\n");
  fs.fail_removal_of("Autoplay.CSV");
  rep.stop_answers = {Answer::Ignore};
  EXPECT_EQ(read_autoplay(dir.path(), rep, fs), 75250) << "after Ignore the run is automatic";
  EXPECT_EQ(rep.stops, std::vector<std::string>{"Remove(Autoplay.CSV) - Access Denied"});
}

TEST_F(WriteFaults, ProfileThatCannotBeRemovedKeepsItsEntry) {
  rep.stop_answers = {Answer::Ignore};
  auto w = window();
  ASSERT_EQ(w->profiles(), std::vector<ProfileName>{"EU1"});
  fs.fail_removal_of("#EU1#.INI");
  ASSERT_EQ(w->type(number(C::PFILENAME), "EU1"), Reply::stay());
  w->accepted(number(C::DELETE1));
  EXPECT_EQ(rep.stops, std::vector<std::string>{"Remove(#EU1#.INI) - Access Denied"});
  EXPECT_EQ(w->profiles(), std::vector<ProfileName>{"EU1"});
  EXPECT_TRUE(file_exists(dir / "#EU1#.INI"));
}

}  // namespace
}  // namespace mervane
