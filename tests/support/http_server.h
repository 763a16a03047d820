// A small HTTP/1.1 server on 127.0.0.1 for the download tests: one connection at a time, each
// answered by a handler and closed. A response may stall after its first bytes, as a server
// that hangs mid-transfer does.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace mervane::test {

struct HttpRequest {
  std::string target;                          // "/calendar.php?c=2&week=1168128000"
  std::map<std::string, std::string> headers;  // names in lower case
};

struct HttpResponse {
  int status = 200;
  std::string body;
  std::string location;                // sent as Location when not empty
  std::chrono::milliseconds stall{0};  // pause after the headers and half of the body

  HttpResponse(int status_, std::string body_, std::string location_ = {},
               std::chrono::milliseconds stall_ = {})
      : status(status_), body(std::move(body_)), location(std::move(location_)), stall(stall_) {}
};

class HttpServer {
 public:
  using Handler = std::function<HttpResponse(const HttpRequest&)>;
  explicit HttpServer(Handler handler);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<HttpRequest> requests() const;

  // A port on 127.0.0.1 where nothing listens: connecting is refused.
  static int closed_port();

 private:
  void serve();
  void answer(int fd);

  Handler handler_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mu_;
  std::vector<HttpRequest> requests_;
  std::thread thread_;
};

}  // namespace mervane::test
