#include "core/runtime/text_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>

#include "core/runtime/process.h"
#include "core/util/text.h"

namespace mervane {
namespace {

constexpr std::size_t kChunk = 1 << 16;

constexpr std::string_view kTempMarker = ".tmp-";
// Symbolic links followed before the target is taken as a loop.
constexpr int kMaxLinks = 40;

std::filesystem::path temp_beside(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  return target.parent_path() /
         (target.filename().string() + std::string(kTempMarker) +
          std::to_string(current_process_id()) + "-" + std::to_string(counter++));
}

// The process number in a temporary's name after "<target><marker>": digits, optionally
// followed by "-" and a count. Nothing when the rest of the name is anything else.
std::optional<std::int64_t> temp_owner(std::string_view rest) {
  std::int64_t pid = 0;
  std::size_t i = 0;
  for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) {
    if (pid > (std::numeric_limits<std::int64_t>::max() - 9) / 10) return std::nullopt;
    pid = pid * 10 + (rest[i] - '0');
  }
  if (i == 0) return std::nullopt;
  if (i == rest.size()) return pid;
  if (rest[i] != '-' || i + 1 == rest.size()) return std::nullopt;
  for (++i; i < rest.size(); ++i)
    if (rest[i] < '0' || rest[i] > '9') return std::nullopt;
  return pid;
}

}  // namespace

Status TextReader::open(const std::filesystem::path& file) {
  close();
  if (Status st = fs_.open_readable(file, f_); st.failed()) return st;
  buf_.resize(kChunk);
  pos_ = end_ = 0;
  eof_ = false;
  read_error_ = Status::ok();
  return Status::ok();
}

bool TextReader::fill() {
  if (eof_) return false;
  if (pos_ > 0) {
    std::copy(buf_.begin() + static_cast<std::ptrdiff_t>(pos_),
              buf_.begin() + static_cast<std::ptrdiff_t>(end_), buf_.begin());
    end_ -= pos_;
    pos_ = 0;
  }
  if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);  // a line longer than the buffer
  std::size_t n = 0;
  read_error_ = f_->read(buf_.data() + end_, buf_.size() - end_, n);
  if (n == 0 || read_error_.failed()) eof_ = true;
  end_ += n;
  return n > 0;
}

Status TextReader::next(std::string& line) {
  line.clear();
  if (!f_) return Status(kFileNotOpen);
  std::size_t scan = pos_;
  for (;;) {
    for (; scan < end_; ++scan) {
      if (buf_[scan] == '\n') {
        std::size_t e = scan;
        if (e > pos_ && buf_[e - 1] == '\r') --e;
        line.assign(buf_.data() + pos_, e - pos_);
        pos_ = scan + 1;
        return Status::ok();
      }
    }
    const std::size_t consumed = scan - pos_;
    if (!fill()) break;
    scan = pos_ + consumed;
  }
  // A line cut off by a failed read is not given out as a whole one.
  if (read_error_.failed()) return read_error_;
  if (pos_ == end_) return Status(kRecordNotAvailable);
  // The last line has no line end.
  std::size_t e = end_;
  if (e > pos_ && buf_[e - 1] == '\r') --e;
  line.assign(buf_.data() + pos_, e - pos_);
  pos_ = end_;
  return Status::ok();
}

Status TextReader::rewind() {
  if (!f_) return Status(kFileNotOpen);
  if (Status st = f_->rewind(); st.failed()) return st;
  pos_ = end_ = 0;
  eof_ = false;
  read_error_ = Status::ok();
  return Status::ok();
}

void TextReader::close() {
  f_.reset();
  buf_.clear();
  buf_.shrink_to_fit();
}

Status TextWriter::create(const std::filesystem::path& target) {
  discard();
  if (target.filename().empty()) return Status(kBadFileName);
  // Renaming over a symbolic link would replace the link; writing beside its final target and
  // renaming over that keeps it.
  if (Status st = final_target(target, target_); st.failed()) return st;
  remove_left_temporaries(target_, kTempMarker);
  // Runs that wrote before the link was made left theirs beside the link.
  if (target_ != target) remove_left_temporaries(target, kTempMarker);
  temp_ = temp_beside(target_);
  if (Status st = fs_.create_new(temp_, f_); st.failed()) return st;
  error_ = Status::ok();
  // The file to be replaced is read along as the new one is written: an unchanged file is
  // then known at close() without writing the new one out to the disk.
  old_.reset();
  old_pos_ = old_end_ = 0;
  same_ = keep_unchanged_ && fs_.open_readable(target_, old_).is_ok();
  return Status::ok();
}

void TextWriter::compare(std::string_view bytes) {
  while (same_ && !bytes.empty()) {
    if (old_pos_ == old_end_) {
      old_buf_.resize(kChunk);
      old_pos_ = old_end_ = 0;
      if (old_->read(old_buf_.data(), old_buf_.size(), old_end_).failed() || old_end_ == 0) {
        same_ = false;
        break;
      }
    }
    const std::size_t n = std::min(bytes.size(), old_end_ - old_pos_);
    same_ = std::memcmp(bytes.data(), old_buf_.data() + old_pos_, n) == 0;
    old_pos_ += n;
    bytes.remove_prefix(n);
  }
}

bool TextWriter::old_ended() {
  if (!same_ || old_pos_ < old_end_) return false;
  std::size_t more = 0;
  char c;
  return old_->read(&c, 1, more).is_ok() && more == 0;
}

Status TextWriter::add(std::string_view line) {
  if (!f_) return Status(kFileNotOpen);
  line = clip(line);
  Status st = f_->append(line);
  if (st.is_ok()) st = f_->append("\r\n");
  if (st.failed() && error_.is_ok()) error_ = std::move(st);
  compare(line);
  compare("\r\n");
  return error_;
}

Status TextWriter::write_raw(std::string_view bytes) {
  if (!f_) return Status(kFileNotOpen);
  if (Status st = f_->append(bytes); st.failed() && error_.is_ok()) error_ = std::move(st);
  compare(bytes);
  return error_;
}

Status TextWriter::close() {
  if (!f_) return Status(kFileNotOpen);
  replaced_ = true;
  changed_lines_ = 0;
  if (keep_unchanged_ && error_.is_ok() && old_ended()) {
    replaced_ = false;
    discard();
    return Status::ok();
  }
  old_.reset();
  // The data is on disk before the new name points at it.
  Status st = f_->sync_and_close();
  f_.reset();
  if (st.is_ok() && error_.failed()) st = error_;
  if (st.is_ok() && keep_unchanged_) changed_lines_ = mervane::changed_lines(target_, temp_, fs_);
  if (st.is_ok()) st = fs_.rename(temp_, target_);
  // The failure being returned is what the caller reports; a temporary that cannot be removed
  // either is removed by the next run of the same target or shows beside it.
  if (st.failed()) (void)fs_.remove(temp_);
  temp_.clear();
  return st;
}

void TextWriter::discard() {
  old_.reset();
  if (f_) {
    f_.reset();
    (void)fs_.remove(temp_);  // nothing to report it to: a discard is the end of a failure
  }
  temp_.clear();
}

namespace {

// The sorted hashes of a file's lines (empty when it cannot be read).
std::vector<std::size_t> line_hashes(const std::filesystem::path& file, FileSystem& fs) {
  std::vector<std::size_t> out;
  TextReader in(fs);
  if (in.open(file).failed()) return out;
  std::string line;
  const std::hash<std::string> hash;
  while (in.next(line).is_ok()) out.push_back(hash(line));
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

std::int64_t changed_lines(const std::filesystem::path& old_file,
                           const std::filesystem::path& new_file, FileSystem& fs) {
  const std::vector<std::size_t> a = line_hashes(old_file, fs), b = line_hashes(new_file, fs);
  std::size_t only_a = 0, only_b = 0, i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    if (j == b.size() || (i < a.size() && a[i] < b[j])) {
      ++only_a;
      ++i;
    } else if (i == a.size() || b[j] < a[i]) {
      ++only_b;
      ++j;
    } else {
      ++i;
      ++j;
    }
  }
  return static_cast<std::int64_t>(std::max(only_a, only_b));
}

Status write_file_atomic(const std::filesystem::path& target, std::string_view bytes,
                         FileSystem& fs) {
  TextWriter w(fs);
  if (Status st = w.create(target); st.failed()) return st;
  if (Status st = w.write_raw(bytes); st.failed()) return st;
  return w.close();
}

Status remove_file(const std::filesystem::path& file, FileSystem& fs) {
  return fs.remove(file);
}

bool file_exists(const std::filesystem::path& file, FileSystem& fs) {
  return fs.kind(file) == FileKind::Plain;
}

Status final_target(const std::filesystem::path& target, std::filesystem::path& resolved) {
  std::filesystem::path p = target;
  for (int links = 0;; ++links) {
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::symlink_status(p, ec);
    if (st.type() == std::filesystem::file_type::not_found ||
        st.type() == std::filesystem::file_type::regular) {
      resolved = p;
      return Status::ok();
    }
    if (ec) return Status::from_errno(ec.value());
    if (st.type() != std::filesystem::file_type::symlink)
      return Status(kBadFileName, "not a plain file");
    if (links == kMaxLinks) return Status::from_errno(ELOOP);
    const std::filesystem::path link = std::filesystem::read_symlink(p, ec);
    if (ec) return Status::from_errno(ec.value());
    p = link.is_absolute() ? link : p.parent_path() / link;
  }
}

void remove_left_temporaries(const std::filesystem::path& target, std::string_view marker) {
  const std::string prefix = target.filename().string() + std::string(marker);
  const std::filesystem::path folder =
      target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  const std::int64_t me = current_process_id();
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    const auto pid = temp_owner(std::string_view(name).substr(prefix.size()));
    std::error_code type_ec;
    if (!pid || *pid == me || process_running(*pid) || !it->is_regular_file(type_ec)) continue;
    std::error_code rm_ec;
    std::filesystem::remove(it->path(), rm_ec);  // another run may have removed it first
  }
}

}  // namespace mervane
