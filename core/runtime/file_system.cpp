#include "core/runtime/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace mervane {
namespace {

class LocalReadable final : public ReadableFile {
 public:
  explicit LocalReadable(std::FILE* f) : f_(f) {}
  ~LocalReadable() override { std::fclose(f_); }
  LocalReadable(const LocalReadable&) = delete;
  LocalReadable& operator=(const LocalReadable&) = delete;

  Status read(char* out, std::size_t n, std::size_t& got) override {
    got = std::fread(out, 1, n, f_);
    if (got < n && std::ferror(f_)) return Status::from_errno(errno ? errno : EIO);
    return Status::ok();
  }
  Status rewind() override {
    std::rewind(f_);
    return Status::ok();
  }

 private:
  std::FILE* f_;
};

class LocalWritable final : public WritableFile {
 public:
  explicit LocalWritable(std::FILE* f) : f_(f) {}
  ~LocalWritable() override {
    if (f_) std::fclose(f_);
  }
  LocalWritable(const LocalWritable&) = delete;
  LocalWritable& operator=(const LocalWritable&) = delete;

  Status append(std::string_view bytes) override {
    if (!f_) return Status(kFileNotOpen);
    if (std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size())
      return Status::from_errno(errno);
    return Status::ok();
  }
  Status sync_and_close() override {
    if (!f_) return Status(kFileNotOpen);
    Status st;
    if (std::fflush(f_) != 0 || ::fsync(::fileno(f_)) != 0) st = Status::from_errno(errno);
    if (std::fclose(f_) != 0 && st.is_ok()) st = Status::from_errno(errno);
    f_ = nullptr;
    return st;
  }

 private:
  std::FILE* f_;
};

class LocalBlocks final : public BlockAccess {
 public:
  explicit LocalBlocks(int fd) : fd_(fd) {}
  ~LocalBlocks() override { ::close(fd_); }
  LocalBlocks(const LocalBlocks&) = delete;
  LocalBlocks& operator=(const LocalBlocks&) = delete;

  Status read_at(std::int64_t offset, void* out, std::size_t n, std::size_t& got) override {
    got = 0;
    auto* dst = static_cast<unsigned char*>(out);
    while (got < n) {
      const ssize_t r = ::pread(fd_, dst + got, n - got, static_cast<off_t>(offset + got));
      if (r < 0) {
        if (errno == EINTR) continue;
        return Status::from_errno(errno);
      }
      if (r == 0) break;
      got += static_cast<std::size_t>(r);
    }
    return Status::ok();
  }
  Status write_at(std::int64_t offset, const void* data, std::size_t n) override {
    const auto* src = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < n) {
      const ssize_t w = ::pwrite(fd_, src + done, n - done, static_cast<off_t>(offset + done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return Status::from_errno(errno);
      }
      done += static_cast<std::size_t>(w);
    }
    return Status::ok();
  }
  Status size(std::int64_t& bytes) override {
    bytes = 0;
    struct stat sb {};
    if (::fstat(fd_, &sb) != 0) return Status::from_errno(errno);
    bytes = sb.st_size;
    return Status::ok();
  }

 private:
  int fd_;
};

class LocalFileSystem final : public FileSystem {
 public:
  Status open_readable(const std::filesystem::path& file,
                       std::unique_ptr<ReadableFile>& out) override {
    out.reset();
    // A folder opens as a file on some systems and then reads as nothing at all.
    if (kind(file) == FileKind::Folder) return Status(kAccessDenied);
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return Status::from_errno(errno);
    out = std::make_unique<LocalReadable>(f);
    return Status::ok();
  }

  Status create_new(const std::filesystem::path& file,
                    std::unique_ptr<WritableFile>& out) override {
    out.reset();
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return Status::from_errno(errno);
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) {
      const int err = errno;
      ::close(fd);
      ::unlink(file.c_str());
      return Status::from_errno(err);
    }
    out = std::make_unique<LocalWritable>(f);
    return Status::ok();
  }

  Status open_blocks(const std::filesystem::path& file, BlockMode mode,
                     std::unique_ptr<BlockAccess>& out) override {
    out.reset();
    const int flags = mode == BlockMode::Read        ? O_RDONLY
                      : mode == BlockMode::ReadWrite ? O_RDWR
                                                     : O_RDWR | O_CREAT | O_TRUNC;
    const int fd = ::open(file.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) return Status::from_errno(errno);
    struct stat sb {};
    if (::fstat(fd, &sb) == 0 && S_ISDIR(sb.st_mode)) {
      ::close(fd);
      return Status(kAccessDenied);
    }
    out = std::make_unique<LocalBlocks>(fd);
    return Status::ok();
  }

  Status rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return Status::from_errno(errno);
    return Status::ok();
  }

  Status remove(const std::filesystem::path& file) override {
    if (::unlink(file.c_str()) != 0) return Status::from_errno(errno);
    return Status::ok();
  }

  FileKind kind(const std::filesystem::path& path) override {
    struct stat sb {};
    if (::stat(path.c_str(), &sb) != 0) return FileKind::Missing;
    if (S_ISREG(sb.st_mode)) return FileKind::Plain;
    if (S_ISDIR(sb.st_mode)) return FileKind::Folder;
    return FileKind::Other;
  }
};

}  // namespace

FileSystem& FileSystem::local() {
  static LocalFileSystem fs;
  return fs;
}

}  // namespace mervane
