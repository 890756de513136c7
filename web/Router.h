// The web application's front door: checks every request, then answers it
// from the pages compiled into the program or from the JSON API.
//
// Checks, in order, each answered with a 4xx and nothing changed:
// - the Host header names the loopback address or the configured host
//   (a page of another site that rebinds its name to 127.0.0.1 fails here);
// - the token, from the cookie the first page load set, `?token=` or an
//   `Authorization: Bearer` header, matches the server's;
// - a change (POST, PATCH, PUT, DELETE) comes from the page's own origin:
//   an `Origin` header, when present, names this server, and a change that
//   carries only the cookie must have one; its body is JSON;
// - the body is at most `max_body` bytes;
// - the path is absolute, holds no "..", and names a page, a file of the
//   page or an API route. Nothing a request names reaches the file system.
//
// Every answer carries a Content-Security-Policy of default-src 'self' with
// frame-ancestors 'none', X-Content-Type-Options: nosniff and no-store
// caching. Thread-safe: API calls run under the workspace's library lock.

#ifndef PEMAR_WEB_ROUTER_H_
#define PEMAR_WEB_ROUTER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "web/Api.h"
#include "web/HttpMessage.h"
#include "web/Workspace.h"

namespace pemar::web {

struct RouterOptions {
  std::string token;  // the secret of this start; see NewToken()
  // The values the Host header may take: "127.0.0.1:8080", "localhost:8080"
  // and the like, filled by the server once its port is known.
  std::vector<std::string> hosts;
  std::size_t max_body = 1u << 20;
};

// 32 hexadecimal digits (128 bits) from the system's random source.
std::string NewToken();

// The Host values a server on `host`:`port` answers to: the loopback names
// for a loopback address, else `host` itself.
std::vector<std::string> HostsFor(const std::string& host, std::uint16_t port);

class Router {
 public:
  Router(Workspace& workspace, RouterOptions options);

  // Answers `request`. A request for the event stream answers with
  // `stream_events` set and the sequence to start after; the server then
  // keeps the connection and writes the events.
  struct Answer {
    Response response;
    bool stream_events = false;
    std::uint64_t events_after = 0;
  };
  Answer Handle(const Request& request);

  Workspace& workspace() { return workspace_; }
  const RouterOptions& options() const { return options_; }

 private:
  std::optional<Response> CheckAccess(const Request& request,
                                      bool* token_in_cookie) const;
  Response CallApi(const Request& request, const std::string& path);

  Workspace& workspace_;
  RouterOptions options_;
  RouteTable routes_;
};

}  // namespace pemar::web

#endif  // PEMAR_WEB_ROUTER_H_
