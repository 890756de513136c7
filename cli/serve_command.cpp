// pemar serve: the case (or a utility set) in the browser. Prints the
// address to open, serves until Ctrl-C, and on the way out writes unsaved
// changes to a recovery copy beside the file, never to the file itself.

#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>

#include "Registry.h"
#include "web/Browser.h"
#include "web/Server.h"
#include "web/WebApp.h"

namespace pemar::cli {
namespace {

struct ServeOptions {
  std::string file;
  std::string utilities;
  bool create = false;
  bool recover = false;
  std::string host = "127.0.0.1";
  int port = 0;
  bool allow_remote = false;
  bool open = false;
};

bool IsLoopback(const std::string& host) {
  return host == "127.0.0.1" || host == "::1" || host == "localhost";
}

int RunServe(const ServeOptions& o) {
  if (o.file.empty() == o.utilities.empty()) {
    PrintError("give either a case file or --utilities with a utility set");
    return kExitUsage;
  }
  if (!IsLoopback(o.host) && !o.allow_remote) {
    PrintError("--host " + o.host +
               " would let other machines reach the case; the server "
               "listens only on 127.0.0.1 unless --allow-remote is also "
               "given");
    return kExitUsage;
  }
  web::OpenOptions open;
  open.kind = o.utilities.empty() ? web::WorkspaceKind::kCase
                                  : web::WorkspaceKind::kUtilitySet;
  open.path = o.utilities.empty() ? o.file : o.utilities;
  open.create = o.create;
  open.recover = o.recover;
  if (o.recover &&
      !std::filesystem::exists(web::Workspace::RecoveryPath(open.path))) {
    PrintError("there is no recovery copy " +
               web::Workspace::RecoveryPath(open.path));
    return kExitFailed;
  }
  web::ServerOptions server;
  server.host = o.host == "localhost" ? "127.0.0.1" : o.host;
  server.port = static_cast<std::uint16_t>(o.port);
  std::string error;
  std::unique_ptr<web::WebApp> app = web::WebApp::Start(open, server, error);
  if (!app) {
    PrintError(error);
    return kExitFailed;
  }
  if (!o.recover && app->workspace().RecoveryExists()) {
    std::cerr << "pemar: " << web::Workspace::RecoveryPath(open.path)
              << " holds changes that were never saved; open them with "
                 "pemar serve --recover "
              << (o.utilities.empty() ? "" : "--utilities ") << open.path
              << "\n";
  }
  std::cout << app->Address() << std::endl;
  if (o.open && !web::OpenInBrowser(app->Address())) {
    PrintError("cannot start the desktop's browser; open the address above");
  }
  app->Run(/*stop_on_signal=*/true);

  web::Workspace& w = app->workspace();
  std::lock_guard<std::mutex> lock(w.library_lock());
  if (!w.modified()) {
    std::cout << "Stopped; nothing was left unsaved." << std::endl;
    return kExitOk;
  }
  if (!w.WriteRecoveryCopy(error)) {
    PrintError(error + "\nthe unsaved changes are lost; " + open.path +
               " is as it was");
    return kExitFailed;
  }
  std::cout << "Stopped; " << open.path << " is as last saved, the unsaved "
            << "changes are in " << web::Workspace::RecoveryPath(open.path)
            << std::endl;
  return kExitOk;
}

// The tour case in the browser: serves it for a moment and asks for a page
// and an API call as the browser and a script would.
bool ServeDemo(std::ostream& out, const std::string& work_dir) {
  const std::string path =
      (std::filesystem::path(work_dir) / "tour.kcs").string();
  std::string error;
  std::unique_ptr<web::WebApp> app =
      web::WebApp::Start({web::WorkspaceKind::kCase, path}, {}, error);
  if (!app) {
    PrintError(error);
    return false;
  }
  app->RunInBackground();
  out << "$ pemar serve " << path << "\n"
      << app->Address() << "\n(the address a user opens; Ctrl-C stops it)\n";
  const web::ClientReply page =
      web::Fetch("127.0.0.1", app->port(), "GET", "/utilities", "",
                 {{"cookie", "pemar_token=" + app->token()}});
  const web::ClientReply api =
      web::Fetch("127.0.0.1", app->port(), "GET", "/api/session", "",
                 {{"authorization", "Bearer " + app->token()}});
  const web::ClientReply refused =
      web::Fetch("127.0.0.1", app->port(), "GET", "/api/session");
  app->Stop();
  out << "GET /utilities: " << page.status << ", " << page.body.size()
      << " bytes of " << page.content_type << "\n"
      << "GET /api/session with the token: " << api.status << " "
      << api.body.substr(0, 160) << (api.body.size() > 160 ? "..." : "")
      << "\nGET /api/session without it: " << refused.status << "\n";
  return page.status == 200 && api.status == 200 && refused.status == 403;
}

DemoRegistration serve_demo(650, "The case in the browser", ServeDemo);

CommandRegistration serve_registration(950, [](CLI::App& app, int& exit_code) {
  auto* cmd = app.add_subcommand("serve",
                                 "Open a case or a utility set in the browser");
  auto o = std::make_shared<ServeOptions>();
  cmd->add_option("file", o->file, "The case file (.kcs)");
  cmd->add_option("--utilities", o->utilities,
                  "A utility set (.hud) to edit on its own");
  cmd->add_flag("--new", o->create, "Make a new file of that name");
  cmd->add_flag("--recover", o->recover,
                "Open the recovery copy left by a server stopped with "
                "unsaved changes; Save writes the file itself");
  cmd->add_option("--port", o->port, "The port (default: a free one)")
      ->check(CLI::Range(0, 65535));
  cmd->add_option("--host", o->host,
                  "The address to listen on (default 127.0.0.1)");
  cmd->add_flag("--allow-remote", o->allow_remote,
                "Allow --host to be an address other machines reach");
  cmd->add_flag("--open", o->open, "Open the address in the browser");
  cmd->callback([o, &exit_code] { exit_code = RunServe(*o); });
});

}  // namespace
}  // namespace pemar::cli
