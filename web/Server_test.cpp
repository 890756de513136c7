// The server over real loopback sockets: the router's answers arrive as
// sent, a body over the limit is refused before it is read, and a page's
// event stream is not confused with a request.

#include "web/Server.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "web/WebApp.h"

namespace pemar::web {
namespace {

TEST(ServerTest, AnswersOverLoopbackAsTheRouterDecides) {
  const auto folder = std::filesystem::path(::testing::TempDir()) / "server";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::string error;
  std::unique_ptr<WebApp> app = WebApp::Start(
      {WorkspaceKind::kCase, (folder / "served.kcs").string(), true}, {},
      error);
  ASSERT_NE(app, nullptr) << error;
  EXPECT_NE(app->Address().find("http://127.0.0.1:"), std::string::npos);
  app->RunInBackground();
  const std::string bearer = "Bearer " + app->token();
  const std::string json = "application/json";
  const struct {
    const char* method;
    std::string target;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    int status;
  } cases[] = {
      {"GET", "/api/session", {{"authorization", bearer}}, "", 200},
      {"GET", "/api/session", {}, "", 403},
      {"GET", "/api/session?token=" + app->token(), {}, "", 200},
      {"GET",
       "/api/session",
       {{"authorization", bearer}, {"host", "rebound.example"}},
       "",
       403},
      {"POST",
       "/api/save",
       {{"authorization", bearer},
        {"content-type", json},
        {"origin", "http://rebound.example"}},
       "{}",
       403},
      {"POST",
       "/api/save",
       {{"authorization", bearer}, {"content-type", json}},
       std::string(2u << 20, ' '),
       413},
      {"GET", "/static/../../etc/passwd", {{"authorization", bearer}}, "", 400},
      {"POST",
       "/api/save",
       {{"authorization", bearer}, {"content-type", json}},
       "{",
       400},
      {"POST",
       "/api/save",
       {{"authorization", bearer}, {"content-type", json}},
       "{}",
       200},
  };
  for (const auto& c : cases) {
    const ClientReply reply =
        Fetch("127.0.0.1", app->port(), c.method, c.target, c.body, c.headers);
    EXPECT_EQ(reply.status, c.status)
        << c.method << " " << c.target << " " << reply.body.substr(0, 200);
  }
  EXPECT_TRUE(std::filesystem::exists(folder / "served.kcs"));
  app->Stop();
}

}  // namespace
}  // namespace pemar::web
