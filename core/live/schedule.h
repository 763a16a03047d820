// When the watch runs next. All moments are Unix seconds.
//
// A run comes a few minutes after the next release of an event the Build settings select (the
// calendar needs a moment to publish the number), at the latest every `every` minutes, and when
// the next week begins. While a selected event released within the hour still has no actual
// value, runs come every 5 minutes. None comes before the pace allows: the service is asked at
// most once in 5 minutes, the feed at most once in its 30-minute keep, and after HTTP 429 or
// the service's browser check the wait doubles from 30 minutes up to 6 hours until a request
// goes through.
#pragma once

#include <cstdint>
#include <vector>

namespace mervane {

// Answers of the calendar service that refuse the asker rather than the page: HTTP 429 (too
// many requests) and its browser check (download_failure tells them). Asking again at once only
// prolongs them, so the watch doubles its wait after each.
enum class Refusal { None, TooManyRequests, BrowserCheck };

constexpr int kAfterReleaseMinutes = 2;
constexpr int kPendingActualMinutes = 5;
constexpr int kPendingActualHorizon = 60;
constexpr int kPageIntervalMinutes = 5;
constexpr int kFeedIntervalMinutes = 30;
constexpr int kFirstBackoffMinutes = 30;
constexpr int kLongestBackoffMinutes = 360;

struct ScheduleFacts {
  std::int64_t now = 0;
  int every_minutes = 60;
  std::vector<std::int64_t> releases;  // release moments of the selected events, any order
  bool actual_pending = false;         // a selected event released within the hour lacks its actual
  std::int64_t next_week = 0;          // the moment the next week begins
  std::int64_t earliest = 0;           // the pace's earliest request
};

std::int64_t next_run(const ScheduleFacts& f);

// How often the service may be asked.
class RequestPace {
 public:
  // A request went out at `at` with this answer.
  void requested(std::int64_t at, Refusal refusal);
  // The earliest moment of the next request; feed_loaded is the last feed download of any
  // program (FEEDLOADED), 0 when unknown.
  std::int64_t earliest(bool feed, std::int64_t feed_loaded) const;
  // The wait after refusals in a row; 0 after a request that went through.
  int backoff_minutes() const { return backoff_; }

 private:
  std::int64_t last_ = 0;
  std::int64_t refused_at_ = 0;
  int backoff_ = 0;
};

}  // namespace mervane
