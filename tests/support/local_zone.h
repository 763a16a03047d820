// The process's local zone for a test (TZ), put back afterwards: the live clock's wall time is
// the local zone's.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace mervane::test {

class LocalZone {
 public:
  explicit LocalZone(const char* zone) {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~LocalZone() {
    if (saved_)
      ::setenv("TZ", saved_->c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }
  LocalZone(const LocalZone&) = delete;
  LocalZone& operator=(const LocalZone&) = delete;

 private:
  std::optional<std::string> saved_;
};

}  // namespace mervane::test
