// Fetching a web page into a file.
//
// A Downloader brings the body of one URL into a file. The file is replaced only when the whole
// body arrived with a success status (2xx): the body goes to a temporary file beside the target
// that is renamed over it at the end, so a failed or interrupted download never leaves half a
// page where the reader would take it for a whole one.
//
// CurlDownloader is the built-in fetch over HTTP and HTTPS (libcurl): redirects are followed,
// the User-Agent is a browser's, and the connection and the whole transfer have time limits. A
// failure comes back as code 90 with a text for the user: the HTTP status ("HTTP status 404"),
// or what went wrong with the connection ("Failed to connect to ... Connection refused",
// "Operation timed out after 120000 milliseconds ..."). One object may be used by one thread
// at a time; separate objects work on separate threads.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/runtime/status.h"

namespace mervane {

// Answers of a web service that refuse the asker rather than the page: HTTP 429 (too many
// requests), and the check a service puts before its pages to keep programs out (HTTP 403 or
// 503 in place of the page). Asking again at once only prolongs them: a program that repeats
// its downloads waits longer after each (the watch doubles its wait).
enum class Refusal { None, TooManyRequests, BrowserCheck };
Refusal refusal_of(const Status& st);

class Downloader {
 public:
  virtual ~Downloader() = default;
  virtual Status fetch(const std::string& url, const std::filesystem::path& target) = 0;
};

class CurlDownloader final : public Downloader {
 public:
  static constexpr std::chrono::milliseconds kConnectTimeout{30000};
  static constexpr std::chrono::milliseconds kTransferTimeout{120000};
  // A calendar week is a few hundred kilobytes; anything this large is not one.
  static constexpr std::int64_t kMaxBody = 64 << 20;

  explicit CurlDownloader(std::chrono::milliseconds connect_timeout = kConnectTimeout,
                          std::chrono::milliseconds transfer_timeout = kTransferTimeout);

  Status fetch(const std::string& url, const std::filesystem::path& target) override;

 private:
  std::chrono::milliseconds connect_timeout_;
  std::chrono::milliseconds transfer_timeout_;
};

}  // namespace mervane
