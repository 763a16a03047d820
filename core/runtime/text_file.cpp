#include "core/runtime/text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
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

// Makes the rename durable: the data is on disk before the new name points at it.
Status sync_and_close(std::FILE*& f) {
  Status st;
  if (std::fflush(f) != 0 || ::fsync(::fileno(f)) != 0) st = Status::from_errno(errno);
  if (std::fclose(f) != 0 && st.is_ok()) st = Status::from_errno(errno);
  f = nullptr;
  return st;
}

}  // namespace

Status TextReader::open(const std::filesystem::path& file) {
  close();
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) return Status(kAccessDenied);
  f_ = std::fopen(file.c_str(), "rb");
  if (!f_) return Status::from_errno(errno);
  buf_.resize(kChunk);
  pos_ = end_ = 0;
  eof_ = false;
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
  const std::size_t n = std::fread(buf_.data() + end_, 1, buf_.size() - end_, f_);
  if (n == 0) eof_ = true;
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
  if (std::ferror(f_)) return Status::from_errno(EIO);
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
  std::rewind(f_);
  pos_ = end_ = 0;
  eof_ = false;
  return Status::ok();
}

void TextReader::close() {
  if (f_) std::fclose(f_);
  f_ = nullptr;
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
  const int fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return Status::from_errno(errno);
  f_ = ::fdopen(fd, "wb");
  if (!f_) {
    const int err = errno;
    ::close(fd);
    ::unlink(temp_.c_str());
    return Status::from_errno(err);
  }
  error_ = Status::ok();
  return Status::ok();
}

Status TextWriter::add(std::string_view line) {
  if (!f_) return Status(kFileNotOpen);
  line = clip(line);
  if (std::fwrite(line.data(), 1, line.size(), f_) != line.size() ||
      std::fwrite("\r\n", 1, 2, f_) != 2) {
    if (error_.is_ok()) error_ = Status::from_errno(errno);
    return error_;
  }
  return Status::ok();
}

Status TextWriter::write_raw(std::string_view bytes) {
  if (!f_) return Status(kFileNotOpen);
  if (std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size()) {
    if (error_.is_ok()) error_ = Status::from_errno(errno);
    return error_;
  }
  return Status::ok();
}

Status TextWriter::close() {
  if (!f_) return Status(kFileNotOpen);
  Status st = sync_and_close(f_);
  if (st.is_ok() && error_.failed()) st = error_;
  if (st.is_ok()) {
    std::error_code ec;
    std::filesystem::rename(temp_, target_, ec);
    if (ec) st = Status::from_errno(ec.value());
  }
  if (st.failed()) ::unlink(temp_.c_str());
  temp_.clear();
  return st;
}

void TextWriter::discard() {
  if (f_) {
    std::fclose(f_);
    f_ = nullptr;
    ::unlink(temp_.c_str());
  }
  temp_.clear();
}

Status write_file_atomic(const std::filesystem::path& target, std::string_view bytes) {
  TextWriter w;
  if (Status st = w.create(target); st.failed()) return st;
  if (Status st = w.write_raw(bytes); st.failed()) return st;
  return w.close();
}

Status remove_file(const std::filesystem::path& file) {
  if (::unlink(file.c_str()) != 0) return Status::from_errno(errno);
  return Status::ok();
}

bool file_exists(const std::filesystem::path& file) {
  std::error_code ec;
  return std::filesystem::is_regular_file(file, ec);
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
