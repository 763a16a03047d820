// Values the windows of one program run share: the GLO: values, the two settings groups, the
// saved storage error of the standard services and the per-table use counts. One Session per
// program (and per test); every access goes through its lock, so windows on different threads
// see whole values.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "core/model/records.h"
#include "core/model/settings.h"
#include "core/runtime/clock.h"
#include "core/runtime/file_system.h"
#include "core/util/text.h"

namespace mervane {

struct Globals {
  Text<99> inpname;
  Text<99> outname;
  Text<99> outxlsname;
  Text<99> pfilename;
  Text<99> dosfilename;
  SwapoutRecord sworec;       // the item kept for "Duplicate (F7)"
  std::int16_t parm1 = 0;     // Initial Setup: hours MT4 is ahead of the calendar
  std::int16_t parm2 = 0;     // Initial Setup: hours local time is ahead of MT4
  Text<40> parm3;             // Initial Setup: the broker's MT4 folder; blank after Cancel
  std::uint8_t autop = 0;     // automatic run ("Autoplay.CSV" was present)
  std::int32_t cdate = 0;     // date passed to and from the date picker
  Text<7> cmask = "1111111";  // weekdays Monday..Sunday the date picker allows
  // GLOBALREQUEST: what a caller asks of the form it opens (kRequest* below); GLOBALRESPONSE:
  // the form's answer (1 completed, 2 cancelled); VCRREQUEST: the browse navigation request.
  // All three are zero at start.
  std::int32_t globalrequest = 0;
  std::int32_t globalresponse = 0;
  std::int32_t vcrrequest = 0;
};

// GLOBALREQUEST values.
constexpr std::int32_t kRequestInsert = 1;
constexpr std::int32_t kRequestChange = 2;
constexpr std::int32_t kRequestDelete = 3;
constexpr std::int32_t kRequestSelect = 4;
// GLOBALRESPONSE values.
constexpr std::int32_t kRequestCompleted = 1;
constexpr std::int32_t kRequestCancelled = 2;

// The last storage error kept for a later standard warning.
struct SavedError {
  int code = 0;
  std::string text;
  int file_code = 0;
  std::string file_text;
};

class Session {
 public:
  // fs: where the run's files are read and written (tests give one that fails on demand).
  Session(std::filesystem::path folder, const Clock& clock, FileSystem& fs = FileSystem::local())
      : folder_(std::move(folder)), clock_(&clock), files_(&fs) {}

  const std::filesystem::path& folder() const { return folder_; }
  const Clock& clock() const { return *clock_; }
  FileSystem& files() const { return *files_; }

  // Runs f with the values under the lock: with([](Globals& g) { g.outname = ...; }).
  template <class F>
  auto with(F&& f) {
    std::lock_guard lock(mu_);
    return f(globals_);
  }
  Globals globals() const {
    std::lock_guard lock(mu_);
    return globals_;
  }

  BuildSettings g2() const {
    std::lock_guard lock(mu_);
    return g2_;
  }
  void set_g2(const BuildSettings& s) {
    std::lock_guard lock(mu_);
    g2_ = s;
  }
  EffectsSettings g3() const {
    std::lock_guard lock(mu_);
    return g3_;
  }
  void set_g3(const EffectsSettings& s) {
    std::lock_guard lock(mu_);
    g3_ = s;
  }

  SavedError saved_error() const {
    std::lock_guard lock(mu_);
    return saved_;
  }
  void set_saved_error(SavedError e) {
    std::lock_guard lock(mu_);
    saved_ = std::move(e);
  }

  // Use count of a table: add returns the count after adding 1, release after subtracting 1.
  int add_use(const std::string& store) {
    std::lock_guard lock(mu_);
    return ++uses_[store];
  }
  int release_use(const std::string& store) {
    std::lock_guard lock(mu_);
    int& n = uses_[store];
    if (n > 0) --n;
    return n;
  }
  int uses(const std::string& store) const {
    std::lock_guard lock(mu_);
    auto it = uses_.find(store);
    return it == uses_.end() ? 0 : it->second;
  }

 private:
  std::filesystem::path folder_;
  const Clock* clock_;
  FileSystem* files_;
  mutable std::mutex mu_;
  Globals globals_;
  BuildSettings g2_;
  EffectsSettings g3_;
  SavedError saved_;
  std::map<std::string, int> uses_;
};

}  // namespace mervane
