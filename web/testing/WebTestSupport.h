// What the web application's tests share: a folder per test, a saved case
// to open, requests as the page sends them and a router that takes them.

#ifndef PEMAR_WEB_TESTING_WEBTESTSUPPORT_H_
#define PEMAR_WEB_TESTING_WEBTESTSUPPORT_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "web/Router.h"
#include "web/Workspace.h"

namespace pemar::web::test_support {

inline constexpr const char* kToken = "0123456789abcdef0123456789abcdef";

// "<test temp folder>/<prefix><running test's name>", emptied.
inline std::filesystem::path FreshFolder(const std::string& prefix) {
  const std::filesystem::path folder =
      std::filesystem::path(::testing::TempDir()) /
      (prefix +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

// A new case saved at `path` and opened again, so that it has no unsaved
// changes; null, with the reason in `error`, when either step fails.
inline std::unique_ptr<Workspace> OpenSavedCase(const std::string& path,
                                                std::string& error) {
  auto created = Workspace::Open({WorkspaceKind::kCase, path, true}, error);
  if (!created || !created->Save(nullptr)) return nullptr;
  created.reset();
  return Workspace::Open({WorkspaceKind::kCase, path}, error);
}

// A router over `workspace` that answers to 127.0.0.1:1 and kToken.
inline std::unique_ptr<Router> MakeRouter(Workspace& workspace) {
  return std::make_unique<Router>(
      workspace, RouterOptions{kToken, HostsFor("127.0.0.1", 1), 1u << 20});
}

// A request as the page sends it: Host, the token's cookie, Origin and a
// JSON content type all right.
inline Request PageRequest(std::string method, std::string target,
                           std::string body = "") {
  Request r{std::move(method), std::move(target), {}, std::move(body)};
  r.headers = {{"host", "127.0.0.1:1"},
               {"cookie", std::string("pemar_token=") + kToken},
               {"origin", "http://127.0.0.1:1"},
               {"content-type", "application/json"}};
  return r;
}

}  // namespace pemar::web::test_support

#endif  // PEMAR_WEB_TESTING_WEBTESTSUPPORT_H_
