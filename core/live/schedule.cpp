#include "core/live/schedule.h"

#include <algorithm>

namespace mervane {

std::int64_t next_run(const ScheduleFacts& f) {
  std::int64_t next = f.now + std::int64_t{std::max(f.every_minutes, 1)} * 60;
  for (const std::int64_t r : f.releases)
    if (r > f.now - kAfterReleaseMinutes * 60) next = std::min(next, r + kAfterReleaseMinutes * 60);
  if (f.actual_pending) next = std::min(next, f.now + kPendingActualMinutes * 60);
  if (f.next_week > f.now) next = std::min(next, f.next_week);
  return std::max({next, f.earliest, f.now});
}

void RequestPace::requested(std::int64_t at, Refusal refusal) {
  last_ = at;
  if (refusal == Refusal::None) {
    backoff_ = 0;
    return;
  }
  backoff_ = backoff_ == 0 ? kFirstBackoffMinutes : std::min(backoff_ * 2, kLongestBackoffMinutes);
  refused_at_ = at;
}

std::int64_t RequestPace::earliest(bool feed, std::int64_t feed_loaded) const {
  std::int64_t e = 0;
  if (last_ != 0) e = last_ + (feed ? kFeedIntervalMinutes : kPageIntervalMinutes) * 60;
  if (feed && feed_loaded != 0) e = std::max(e, feed_loaded + kFeedIntervalMinutes * 60);
  if (backoff_ != 0) e = std::max(e, refused_at_ + std::int64_t{backoff_} * 60);
  return e;
}

}  // namespace mervane
