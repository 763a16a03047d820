// Values the windows of one program run share: the GLO: values, the two settings groups, the
// saved storage error of the standard services, the per-table use counts, the request and
// response passed between a list and its form, the record each kind of form saved last (for
// the ditto key) and the places windows keep for the run. One Session per program (and per
// test); every access goes through its lock, so windows on different threads see whole values.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "core/model/records.h"
#include "core/model/settings.h"
#include "core/runtime/clock.h"
#include "core/runtime/file_system.h"
#include "core/runtime/windows_places.h"
#include "core/util/text.h"

namespace mervane {

struct Globals {
  Text<99> inpname;
  Text<kNewsPathWidth> outname;
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
};

// The last storage error kept for a later standard warning.
struct SavedError {
  int code = 0;
  std::string text;
  int file_code = 0;
  std::string file_text;
};

// GLOBALREQUEST: what a list asks of the form it calls.
enum class Request : int { None = 0, Insert = 1, Change = 2, Delete = 3, Select = 4 };

// A request as a form takes it: with the position (Table::row_id()) of the record to change or
// delete, since every window reads the record through its own opener.
struct FormRequest {
  Request request = Request::None;
  std::int64_t position = 0;
};

// GLOBALRESPONSE (1 completed, 2 cancelled), with the position of the record the form stored.
struct FormResponse {
  int response = 0;
  std::int64_t position = 0;
};

// A window's place in its frame, in dialog units.
struct Place {
  int x = 0, y = 0;
  bool operator==(const Place&) const = default;
};

class Session {
 public:
  // fs: where the run's files are read and written (tests give one that fails on demand).
  Session(std::filesystem::path folder, const Clock& clock, FileSystem& fs = FileSystem::local())
      : folder_(std::move(folder)), clock_(&clock), files_(&fs) {}

  const std::filesystem::path& folder() const { return folder_; }
  const Clock& clock() const { return *clock_; }
  FileSystem& files() const { return *files_; }

  // The machine the windows look for MT4 terminals on (its HOME, WINEPREFIX, ...). A new session
  // has none (an empty HOME): it finds nothing until the program sets the process's own, so a
  // test's windows never see the terminals of the machine they run on.
  HostEnvironment host() const {
    std::lock_guard lock(mu_);
    return host_;
  }
  void set_host(HostEnvironment env) {
    std::lock_guard lock(mu_);
    host_ = std::move(env);
  }

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

  // GLOBALREQUEST: the caller sets it before it opens a window (a form); the window takes it on
  // entry, which clears it (LOCALREQUEST). Both are zero at start.
  void set_request(Request r, std::int64_t position = 0) {
    std::lock_guard lock(mu_);
    request_ = {r, position};
  }
  FormRequest take_request() {
    std::lock_guard lock(mu_);
    return std::exchange(request_, FormRequest{});
  }
  // GLOBALRESPONSE: the window sets it when it closes; the caller reads it afterwards.
  void set_response(int response, std::int64_t position = 0) {
    std::lock_guard lock(mu_);
    response_ = {response, position};
  }
  FormResponse response() const {
    std::lock_guard lock(mu_);
    return response_;
  }

  // The record a kind of form saved last in this run (the ditto key recalls its fields);
  // nothing before the first save. Record is one of the four edited record types.
  template <class Record>
  std::optional<Record> ditto() const {
    std::lock_guard lock(mu_);
    return std::get<std::optional<Record>>(ditto_);
  }
  template <class Record>
  void set_ditto(const Record& r) {
    std::lock_guard lock(mu_);
    std::get<std::optional<Record>>(ditto_) = r;
  }

  // Where a window was placed when it first opened in this run, by the window's name.
  std::optional<Place> place(const std::string& window) const {
    std::lock_guard lock(mu_);
    auto it = places_.find(window);
    if (it == places_.end()) return std::nullopt;
    return it->second;
  }
  // Keeps the place unless one is kept already; returns the place kept.
  Place keep_first_place(const std::string& window, Place p) {
    std::lock_guard lock(mu_);
    return places_.try_emplace(window, p).first->second;
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
  FormRequest request_;
  FormResponse response_;
  std::tuple<std::optional<CalendarRecord>, std::optional<SwaprateRecord>,
             std::optional<SwapdataRecord>, std::optional<SwapoutRecord>>
      ditto_;
  std::map<std::string, Place> places_;
  HostEnvironment host_;
};

}  // namespace mervane
