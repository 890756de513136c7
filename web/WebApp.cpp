#include "web/WebApp.h"

namespace pemar::web {

std::unique_ptr<WebApp> WebApp::Start(const OpenOptions& open,
                                      const ServerOptions& server,
                                      std::string& error) {
  std::unique_ptr<WebApp> app(new WebApp());
  app->host_ = server.host;
  app->workspace_ = Workspace::Open(open, error);
  if (!app->workspace_) return nullptr;
  app->server_ = std::make_unique<Server>(server);
  if (!app->server_->Listen(error)) return nullptr;
  RouterOptions options;
  options.token = NewToken();
  options.hosts = HostsFor(server.host, app->server_->port());
  app->router_ = std::make_unique<Router>(*app->workspace_, options);
  return app;
}

WebApp::~WebApp() { Stop(); }

std::string WebApp::Address() const {
  const std::string host =
      host_.find(':') != std::string::npos ? "[" + host_ + "]" : host_;
  return "http://" + host + ":" + std::to_string(server_->port()) +
         "/?token=" + router_->options().token;
}

void WebApp::Run(bool stop_on_signal) {
  server_->Run(*router_, stop_on_signal);
}

void WebApp::RunInBackground() {
  background_ = std::thread([this] { server_->Run(*router_, false); });
}

void WebApp::Stop() {
  if (server_) server_->Stop();
  if (background_.joinable()) background_.join();
}

}  // namespace pemar::web
