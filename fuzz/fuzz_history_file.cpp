// The MT4 history reader on arbitrary bytes: only a file of version 400 or 401 with a whole
// header opens, it yields exactly its whole bars but the damaged ones (times beyond the dates,
// prices that are not numbers), reads no byte twice and ends; the merge with a few sampling
// moments stays inside its lists and its arithmetic; the newest bar is the last whole one that
// is not damaged.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "core/analysis/effects_samples.h"
#include "core/model/history_file.h"

using namespace mervane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/mervane-fuzz-hst-" + std::to_string(::getpid());
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  HistoryFile h;
  const HistoryOpen opened = h.open(path);
  std::int32_t version = 0;
  if (size >= 4)
    version = static_cast<std::int32_t>(data[0] | data[1] << 8 | data[2] << 16 |
                                        static_cast<std::uint32_t>(data[3]) << 24);
  const bool valid = size >= HistoryFile::kHeaderSize && (version == 400 || version == 401);
  if ((opened == HistoryOpen::Ok) != valid) std::abort();
  if (opened == HistoryOpen::TooShort && size >= HistoryFile::kHeaderSize) std::abort();
  if (opened != HistoryOpen::Ok) return 0;
  if (h.digits() != data[84]) std::abort();

  const std::size_t bar = bar_size(version);
  std::size_t bars = 0;
  HistoryBar b;
  while (h.next(b)) {
    ++bars;
    if (b.time < kFirstBarTime || b.time > kLastBarTime || !std::isfinite(b.open) ||
        !std::isfinite(b.high) || !std::isfinite(b.low))
      std::abort();
  }
  if (bars + static_cast<std::size_t>(h.damaged()) != (size - HistoryFile::kHeaderSize) / bar)
    std::abort();
  if (h.bytes_read() != static_cast<std::int64_t>(size)) std::abort();

  // The newest bar: the last one not damaged among the last HistoryFile::kLastLook.
  const std::size_t whole = (size - HistoryFile::kHeaderSize) / bar;
  std::optional<HistoryBar> want;
  for (std::size_t i = whole; i > 0 && i + HistoryFile::kLastLook > whole; --i) {
    const HistoryBar c = decode_bar(version, data + HistoryFile::kHeaderSize + (i - 1) * bar);
    if (c.time >= kFirstBarTime && c.time <= kLastBarTime && std::isfinite(c.open) &&
        std::isfinite(c.high) && std::isfinite(c.low)) {
      want = c;
      break;
    }
  }
  HistoryBar newest;
  const bool got = h.last(newest);
  if (got != want.has_value()) std::abort();
  if (got && (newest.time != want->time || std::memcmp(&newest.open, &want->open, 8) != 0))
    std::abort();

  // Sampling moments taken from the first bars, so some of them match.
  if (h.open(path) != HistoryOpen::Ok) std::abort();
  SampleList samples(2);
  for (std::size_t i = 0; i < 6; ++i) {
    const std::size_t at = HistoryFile::kHeaderSize + (i % 3) * bar;
    std::int64_t t = 0;
    if (at + bar <= size) t = decode_bar(version, data + at).time;
    if (t < kFirstBarTime || t > kLastBarTime) t = 0;
    EffectsSample s;
    s.moment = bar_moment(t) + static_cast<std::int64_t>(i / 3) * 60;
    s.idno = static_cast<std::int32_t>(i + 1);
    samples.add(s);
  }
  samples.sort_by_moment();
  std::size_t found = 0;
  merge_prices(h, samples, 1, [&] { ++found; });
  if (found > samples.size()) std::abort();
  return 0;
}
