// The working folder the programs start in: the one --dir names, or the user's own ~/Mervane,
// made at the first start.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "core/runtime/program_options.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

namespace fs = std::filesystem;

// HOME for one test, restored afterwards.
class HomeAs {
 public:
  explicit HomeAs(const std::optional<fs::path>& home) {
    if (const char* h = std::getenv("HOME")) saved_ = h;
    if (home)
      setenv("HOME", home->c_str(), 1);
    else
      unsetenv("HOME");
  }
  ~HomeAs() {
    if (saved_)
      setenv("HOME", saved_->c_str(), 1);
    else
      unsetenv("HOME");
  }

 private:
  std::optional<std::string> saved_;
};

enum class Before { Nothing, Folder, File, NoHome };

TEST(ProgramOptions, TheUsersOwnFolderIsMadeOnceAndNeverOverAFile) {
  const struct {
    const char* what;
    Before before;
    bool made;
    const char* refused;  // the start of the message when the start is refused
  } cases[] = {
      {"first start", Before::Nothing, true, nullptr},
      {"later start", Before::Folder, false, nullptr},
      {"a file of that name", Before::File, false, "--dir: "},
      {"no home folder", Before::NoHome, false, "--dir: no home folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir home;
    const fs::path own = home / "Mervane";
    if (c.before == Before::Folder) fs::create_directory(own);
    if (c.before == Before::File) test::write_file(own, "notes");
    HomeAs as(c.before == Before::NoHome ? std::nullopt : std::optional(home.path()));
    ProgramOptions o;
    o.dir.clear();
    if (c.refused) {
      try {
        start_from(o);
        ADD_FAILURE() << "the start was not refused";
      } catch (const BadOption& e) {
        EXPECT_EQ(std::string(e.what()).rfind(c.refused, 0), 0u) << e.what();
      }
      // A file in the way stays as it was.
      if (c.before == Before::File) {
        EXPECT_EQ(test::read_file(own), "notes");
      }
      continue;
    }
    const ProgramStart s = start_from(o);
    EXPECT_EQ(s.folder, own);
    EXPECT_EQ(s.folder_made, c.made);
    EXPECT_TRUE(fs::is_directory(own));
  }
}

TEST(ProgramOptions, ANamedFolderMustExistAndRefusedOptionsMakeNoFolder) {
  test::TempDir home;
  HomeAs as(home.path());
  ProgramOptions o;
  o.dir = (home / "missing").string();
  EXPECT_THROW(start_from(o), BadOption);
  EXPECT_FALSE(fs::exists(home / "missing"));
  // A date refused before the user's own folder is made: nothing is left behind.
  o.dir.clear();
  o.today = "13/45/2009";
  EXPECT_THROW(start_from(o), BadOption);
  EXPECT_FALSE(fs::exists(home / "Mervane"));
  o.today.clear();
  o.dir = home.path().string();
  const ProgramStart s = start_from(o);
  EXPECT_EQ(s.folder, home.path());
  EXPECT_FALSE(s.folder_made);
}

}  // namespace
}  // namespace mervane
