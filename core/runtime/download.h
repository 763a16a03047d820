// Fetching a web page into a file.
//
// A Downloader brings the body of one URL into a file. The file is replaced only when the whole
// body arrived with a success status (2xx): the body goes to a temporary file beside the target
// that is renamed over it at the end, so a failed or interrupted download never leaves half a
// page where the reader would take it for a whole one.
//
// CurlDownloader is the built-in fetch over HTTP and HTTPS (libcurl): redirects are followed,
// the User-Agent is a browser's unless set, and the connection and the whole transfer have time
// limits. A
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

class Downloader {
 public:
  virtual ~Downloader() = default;
  virtual Status fetch(const std::string& url, const std::filesystem::path& target) = 0;
  // The User-Agent of the requests from now on; empty: the downloader's own.
  virtual void set_user_agent(std::string agent) { (void)agent; }
  // The start (at most 8 KB) of the body of the last answer refused with an HTTP status, so the
  // caller can tell what refused it; empty when there was none.
  virtual std::string refused_body() const { return {}; }
};

// The program's own name and version as a User-Agent: "Mervane/3.3.0".
std::string program_user_agent();

class CurlDownloader final : public Downloader {
 public:
  static constexpr std::chrono::milliseconds kConnectTimeout{30000};
  static constexpr std::chrono::milliseconds kTransferTimeout{120000};
  // A calendar week is a few hundred kilobytes; anything this large is not one.
  static constexpr std::int64_t kMaxBody = 64 << 20;

  explicit CurlDownloader(std::chrono::milliseconds connect_timeout = kConnectTimeout,
                          std::chrono::milliseconds transfer_timeout = kTransferTimeout);

  Status fetch(const std::string& url, const std::filesystem::path& target) override;
  void set_user_agent(std::string agent) override { user_agent_ = std::move(agent); }
  std::string refused_body() const override { return refused_body_; }

 private:
  std::chrono::milliseconds connect_timeout_;
  std::chrono::milliseconds transfer_timeout_;
  std::string user_agent_;
  std::string refused_body_;
};

}  // namespace mervane
