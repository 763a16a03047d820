#include "core/runtime/download.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <system_error>

#include "core/runtime/process.h"
#include "core/runtime/text_file.h"

namespace mervane {
namespace {

// What a browser sends: the calendar service's old pages and its feed have always been asked
// for this way.
constexpr const char* kBrowserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/124.0 Safari/537.36";

// A failure of the transfer: code 90, the text shown as it is, the lower code (libcurl's or the
// HTTP status) kept beside it.
Status net_error(int lower_code, std::string text) {
  Status s(kFileSystemError, std::move(text));
  s.file_code = lower_code;
  return s;
}

// The start of a refused answer's body that is kept for refused_body().
constexpr std::size_t kRefusedBodyKept = 8192;

struct Body {
  std::FILE* f = nullptr;
  std::int64_t size = 0;
  bool too_large = false;
  std::string head;  // the first bytes, for an answer that turns out refused
};

std::size_t write_body(char* data, std::size_t size, std::size_t n, void* user) {
  auto* body = static_cast<Body*>(user);
  const std::size_t bytes = size * n;
  body->size += static_cast<std::int64_t>(bytes);
  if (body->size > CurlDownloader::kMaxBody) {
    body->too_large = true;
    return 0;  // ends the transfer with a write error
  }
  if (body->head.size() < kRefusedBodyKept)
    body->head.append(data, std::min(bytes, kRefusedBodyKept - body->head.size()));
  return std::fwrite(data, 1, bytes, body->f);
}

// Closes and removes the temporary file unless it was handed over.
struct TempFile {
  std::filesystem::path path;
  Body body;
  ~TempFile() {
    if (body.f) std::fclose(body.f);
    if (!path.empty()) {
      std::error_code ec;
      std::filesystem::remove(path, ec);
    }
  }
};

struct Easy {
  CURL* h = curl_easy_init();
  ~Easy() {
    if (h) curl_easy_cleanup(h);
  }
};

}  // namespace

CurlDownloader::CurlDownloader(std::chrono::milliseconds connect_timeout,
                               std::chrono::milliseconds transfer_timeout)
    : connect_timeout_(connect_timeout), transfer_timeout_(transfer_timeout) {}

std::string program_user_agent() {
  return std::string("Mervane/") + MERVANE_VERSION;
}

Status CurlDownloader::fetch(const std::string& url, const std::filesystem::path& target) {
  refused_body_.clear();
  // libcurl and its TLS library are set up at the first download, not when a window that may
  // download opens (that setup reads the TLS configuration: a millisecond of every start).
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  remove_left_temporaries(target, ".download-");
  TempFile temp;
  temp.path = target;
  temp.path += ".download-" + std::to_string(current_process_id());
  temp.body.f = std::fopen(temp.path.c_str(), "wb");
  if (!temp.body.f) {
    const int err = errno;
    temp.path.clear();
    return Status::from_errno(err);
  }

  Easy easy;
  if (!easy.h) return net_error(CURLE_FAILED_INIT, "the web client could not start");
  char error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(easy.h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy.h, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(easy.h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy.h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy.h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy.h, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(easy.h, CURLOPT_USERAGENT,
                   user_agent_.empty() ? kBrowserAgent : user_agent_.c_str());
  curl_easy_setopt(easy.h, CURLOPT_ACCEPT_ENCODING, "");  // whatever compression curl knows
  curl_easy_setopt(easy.h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connect_timeout_.count()));
  curl_easy_setopt(easy.h, CURLOPT_TIMEOUT_MS, static_cast<long>(transfer_timeout_.count()));
  curl_easy_setopt(easy.h, CURLOPT_NOSIGNAL, 1L);  // timeouts without signals, safe on threads
  curl_easy_setopt(easy.h, CURLOPT_WRITEFUNCTION, write_body);
  curl_easy_setopt(easy.h, CURLOPT_WRITEDATA, &temp.body);

  const CURLcode rc = curl_easy_perform(easy.h);
  if (temp.body.too_large)
    return net_error(CURLE_FILESIZE_EXCEEDED, "the page is larger than 64 MB");
  if (rc != CURLE_OK) return net_error(rc, error[0] ? error : curl_easy_strerror(rc));
  long http = 0;
  curl_easy_getinfo(easy.h, CURLINFO_RESPONSE_CODE, &http);
  if (http < 200 || http > 299) {
    refused_body_ = std::move(temp.body.head);
    return net_error(static_cast<int>(http), "HTTP status " + std::to_string(http));
  }

  const bool written = std::fflush(temp.body.f) == 0 && !std::ferror(temp.body.f);
  const int flush_err = errno;
  std::fclose(temp.body.f);
  temp.body.f = nullptr;
  if (!written) return Status::from_errno(flush_err);
  std::error_code ec;
  std::filesystem::rename(temp.path, target, ec);
  if (ec) return Status::file_error(ec.value(), ec.message());
  temp.path.clear();
  return Status::ok();
}

}  // namespace mervane
