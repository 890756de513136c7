// One running web application: the document, the server listening for it
// and the router between them, as `pemar serve`, the demo, the tests and
// the benchmarks start it.

#ifndef PEMAR_WEB_WEBAPP_H_
#define PEMAR_WEB_WEBAPP_H_

#include <memory>
#include <string>
#include <thread>

#include "web/Router.h"
#include "web/Server.h"
#include "web/Workspace.h"

namespace pemar::web {

class WebApp {
 public:
  // Opens the document and listens. Null, with a sentence in `error`, when
  // either fails. A host other than the loopback address is the caller's
  // decision to allow.
  static std::unique_ptr<WebApp> Start(const OpenOptions& open,
                                       const ServerOptions& server,
                                       std::string& error);
  ~WebApp();

  // The address a person opens: http://HOST:PORT/?token=TOKEN.
  std::string Address() const;
  const std::string& host() const { return host_; }
  std::uint16_t port() const { return server_->port(); }
  const std::string& token() const { return router_->options().token; }
  Workspace& workspace() { return *workspace_; }
  Router& router() { return *router_; }

  // Serves until Stop() or, when `stop_on_signal`, until SIGINT or SIGTERM.
  void Run(bool stop_on_signal);
  // Serves on a thread of its own until Stop().
  void RunInBackground();
  // Stops serving and waits for the server's threads.
  void Stop();

 private:
  WebApp() = default;

  std::string host_;
  std::unique_ptr<Workspace> workspace_;
  std::unique_ptr<Server> server_;
  std::unique_ptr<Router> router_;
  std::thread background_;
};

}  // namespace pemar::web

#endif  // PEMAR_WEB_WEBAPP_H_
