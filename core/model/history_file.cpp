#include "core/model/history_file.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace mervane {
namespace {

constexpr std::size_t kDigitsAt = 84;
constexpr std::size_t kBarsPerBlock = 4096;  // 176 or 240 KiB: read past the read-ahead

// Little-endian loads: one plain load on a little-endian machine, bytes put together elsewhere.
template <class T>
T load_le(const unsigned char* p) {
  T v;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&v, p, sizeof v);
  } else {
    v = 0;
    for (int i = static_cast<int>(sizeof v) - 1; i >= 0; --i) v = static_cast<T>((v << 8) | p[i]);
  }
  return v;
}
std::uint64_t u64(const unsigned char* p) {
  return load_le<std::uint64_t>(p);
}
std::uint32_t u32(const unsigned char* p) {
  return load_le<std::uint32_t>(p);
}
double f64(const unsigned char* p) {
  return std::bit_cast<double>(u64(p));
}

bool time_in_range(std::int64_t t) {
  return t >= kFirstBarTime && t <= kLastBarTime;
}
bool prices_finite(const HistoryBar& b) {
  return std::isfinite(b.open) && std::isfinite(b.high) && std::isfinite(b.low);
}

}  // namespace

std::size_t bar_size(std::int32_t version) {
  return version == 400 ? 44 : version == 401 ? 60 : 0;
}

HistoryBar decode_bar(std::int32_t version, const unsigned char* p) {
  HistoryBar b;
  if (version == 400) {
    b.time = static_cast<std::int32_t>(u32(p));
    b.open = f64(p + 4);
    b.low = f64(p + 12);
    b.high = f64(p + 20);
  } else if (version == 401) {
    b.time = static_cast<std::int64_t>(u64(p));
    b.open = f64(p + 8);
    b.high = f64(p + 16);
    b.low = f64(p + 24);
  }
  return b;
}

std::int64_t bar_time(std::int32_t version, const unsigned char* p) {
  return version == 400 ? std::int64_t{static_cast<std::int32_t>(u32(p))}
                        : static_cast<std::int64_t>(u64(p));
}

HistoryOpen HistoryFile::open(const std::filesystem::path& file) {
  close();
  status_ = file_.open(file, false);
  if (status_.failed()) return HistoryOpen::CannotOpen;
  unsigned char header[kHeaderSize];
  std::size_t got = 0;
  status_ = file_.read(1, kHeaderSize, header, &got);
  bytes_read_ = static_cast<std::int64_t>(got);
  if (status_.code == kRecordNotAvailable) {
    close();
    return HistoryOpen::TooShort;
  }
  if (status_.failed()) {
    close();
    return HistoryOpen::CannotOpen;
  }
  version_ = static_cast<std::int32_t>(u32(header));
  bar_size_ = bar_size(version_);
  if (bar_size_ == 0) {
    close();
    return HistoryOpen::UnknownVersion;
  }
  digits_ = header[kDigitsAt];
  next_pos_ = kHeaderSize + 1;
  block_.resize(bar_size_ * kBarsPerBlock);
  ended_ = false;
  return HistoryOpen::Ok;
}

void HistoryFile::close() {
  file_.close();
  block_len_ = at_ = 0;
  ended_ = true;
  damaged_ = 0;
}

bool HistoryFile::fill() {
  std::size_t got = 0;
  const Status st = file_.read(next_pos_, block_.size(), block_.data(), &got);
  bytes_read_ += static_cast<std::int64_t>(got);
  next_pos_ += static_cast<std::int64_t>(got);
  block_len_ = got - got % bar_size_;
  at_ = 0;
  if (st.failed()) {
    status_ = st;
    // What came before a short read is still whole bars; a failed read ends here.
    if (st.code != kRecordNotAvailable) block_len_ = 0;
    ended_ = true;
  }
  return block_len_ > 0;
}

bool HistoryFile::last(HistoryBar& bar) {
  if (bar_size_ == 0 || !file_.is_open()) return false;
  std::int64_t size = 0;
  if (const Status st = file_.size(size); st.failed()) {
    status_ = st;
    return false;
  }
  const auto width = static_cast<std::int64_t>(bar_size_);
  const std::int64_t bars = (size - static_cast<std::int64_t>(kHeaderSize)) / width;
  std::vector<unsigned char> bytes(bar_size_);
  for (std::int64_t i = bars - 1; i >= 0 && i >= bars - kLastLook; --i) {
    const std::int64_t pos = static_cast<std::int64_t>(kHeaderSize) + i * width + 1;
    std::size_t got = 0;
    if (const Status st = file_.read(pos, bar_size_, bytes.data(), &got); st.failed()) {
      status_ = st;
      return false;
    }
    bytes_read_ += static_cast<std::int64_t>(got);
    const HistoryBar b = decode_bar(version_, bytes.data());
    if (!time_in_range(b.time) || !prices_finite(b)) continue;
    bar = b;
    return true;
  }
  status_ = Status(kRecordNotAvailable);
  return false;
}

bool HistoryFile::next(HistoryBar& bar) {
  return next_from(std::numeric_limits<std::int64_t>::min(), bar);
}

bool HistoryFile::next_from(std::int64_t time, HistoryBar& bar) {
  for (;;) {
    if (at_ >= block_len_) {
      if (ended_ || !fill()) {
        ended_ = true;
        if (status_.is_ok()) status_ = Status(kRecordNotAvailable);
        return false;
      }
    }
    for (; at_ < block_len_; at_ += bar_size_) {
      const unsigned char* p = block_.data() + at_;
      const std::int64_t t = bar_time(version_, p);
      if (!time_in_range(t)) {
        ++damaged_;
        continue;
      }
      if (t < time) continue;
      bar = decode_bar(version_, p);
      if (!prices_finite(bar)) {
        ++damaged_;
        continue;
      }
      at_ += bar_size_;
      return true;
    }
  }
}

}  // namespace mervane
