#include "tests/support/http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <stdexcept>

namespace mervane::test {
namespace {

int bound_socket(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) throw std::runtime_error("socket");
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) throw std::runtime_error("bind");
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  return fd;
}

bool send_all(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

const char* reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 302:
      return "Found";
    case 404:
      return "Not Found";
    default:
      return "Status";
  }
}

}  // namespace

HttpServer::HttpServer(Handler handler) : handler_(std::move(handler)) {
  listen_fd_ = bound_socket(port_);
  if (::listen(listen_fd_, 8) != 0) throw std::runtime_error("listen");
  thread_ = std::thread([this] { serve(); });
}

HttpServer::~HttpServer() {
  stop_ = true;
  thread_.join();
  ::close(listen_fd_);
}

int HttpServer::closed_port() {
  int port = 0;
  ::close(bound_socket(port));
  return port;
}

std::vector<HttpRequest> HttpServer::requests() const {
  std::lock_guard lock(mu_);
  return requests_;
}

void HttpServer::serve() {
  while (!stop_) {
    pollfd p{listen_fd_, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    const int fd = ::accept(listen_fd_, nullptr, nullptr);
    if (fd < 0) continue;
    answer(fd);
    ::close(fd);
  }
}

void HttpServer::answer(int fd) {
  std::string in;
  char buf[4096];
  while (in.find("\r\n\r\n") == std::string::npos && !stop_) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) return;
    in.append(buf, static_cast<std::size_t>(n));
  }
  HttpRequest req;
  const std::size_t sp1 = in.find(' '), sp2 = in.find(' ', sp1 + 1);
  if (sp1 == std::string::npos || sp2 == std::string::npos) return;
  req.target = in.substr(sp1 + 1, sp2 - sp1 - 1);
  for (std::size_t at = in.find("\r\n") + 2, end; (end = in.find("\r\n", at)) != at; at = end + 2) {
    const std::string line = in.substr(at, end - at);
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string value = line.substr(colon + 1);
    value.erase(0, value.find_first_not_of(' ') == std::string::npos
                       ? value.size()
                       : value.find_first_not_of(' '));
    req.headers[name] = value;
  }
  {
    std::lock_guard lock(mu_);
    requests_.push_back(req);
  }
  const HttpResponse res = handler_(req);
  std::string head =
      "HTTP/1.1 " + std::to_string(res.status) + " " + reason(res.status) +
      "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(res.body.size()) +
      "\r\nConnection: close\r\n";
  if (!res.location.empty()) head += "Location: " + res.location + "\r\n";
  head += "\r\n";
  const std::size_t half = res.stall.count() > 0 ? res.body.size() / 2 : res.body.size();
  if (!send_all(fd, head) || !send_all(fd, std::string_view(res.body).substr(0, half))) return;
  const auto until = std::chrono::steady_clock::now() + res.stall;
  while (!stop_ && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  send_all(fd, std::string_view(res.body).substr(half));
}

}  // namespace mervane::test
