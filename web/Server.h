// The HTTP server of `pemar serve`: listens on one address, reads requests
// within size and time limits, hands each to the Router and writes its
// answer; keeps an event stream open for every page that listens.
//
// Requests are served on a few threads; the Router serialises every call
// into the library. Limits: headers 16 KiB, bodies the router's max_body
// (larger bodies get 413 without being read), a request must arrive within
// `request_timeout`, and an idle connection is closed after it.

#ifndef PEMAR_WEB_SERVER_H_
#define PEMAR_WEB_SERVER_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "web/Router.h"

namespace pemar::web {

struct ServerOptions {
  std::string host = "127.0.0.1";
  std::uint16_t port = 0;  // 0: a free port, chosen by the system
  int threads = 4;
  std::chrono::milliseconds request_timeout{10000};
  std::size_t max_event_streams = 32;
};

class Server {
 public:
  explicit Server(ServerOptions options);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds and listens. False, with a sentence in `error`, when the address
  // cannot be used.
  bool Listen(std::string& error);
  // The port listened on, once Listen succeeded.
  std::uint16_t port() const;

  // Serves with `router` until Stop() or, when `stop_on_signal`, until
  // SIGINT or SIGTERM arrives; `on_signal` is then called once, on a
  // server thread. A later signal has its default effect again.
  void Run(Router& router, bool stop_on_signal,
           std::function<void()> on_signal = nullptr);
  // Makes Run return; safe from any thread.
  void Stop();

  // The server's state, known only to its own source.
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// A small blocking client for the tool's demo, the tests and benchmarks.
struct ClientReply {
  int status = 0;  // 0 when the request could not be sent or read
  std::string body;
  std::string content_type;
  std::string set_cookie;
};
ClientReply Fetch(
    const std::string& host, std::uint16_t port, const std::string& method,
    const std::string& target, const std::string& body = "",
    const std::vector<std::pair<std::string, std::string>>& headers = {});

// A connection kept open for many requests (for the load test and the
// latency benchmark).
class Connection {
 public:
  Connection(const std::string& host, std::uint16_t port);
  ~Connection();
  ClientReply Send(
      const std::string& method, const std::string& target,
      const std::string& body = "",
      const std::vector<std::pair<std::string, std::string>>& headers = {});

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace pemar::web

#endif  // PEMAR_WEB_SERVER_H_
