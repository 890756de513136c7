// The server under load over loopback: 16 clients at once, each on its own
// connection, send 10,000 requests in all (a quarter under the sanitizers
// and on Windows), mixing reads, notes with unique titles, edits of a
// utility of their own and saves, while a watcher keeps asking for the
// session. Afterwards the case on disk holds every accepted note exactly
// once and every utility the last value accepted for it.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

#include "web/Server.h"
#include "web/WebApp.h"

namespace pemar::web {
namespace {

// Under the sanitizers, and under Wine where the Windows build's tests run,
// a request costs several times more.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || \
    defined(_WIN32)
constexpr int kRequests = 2500;
#else
constexpr int kRequests = 10000;
#endif
constexpr int kClients = 16;

TEST(ServerLoadTest, SixteenClientsLoseNothing) {
  const auto folder =
      std::filesystem::path(::testing::TempDir()) / "server-load";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "load.kcs").string();
  std::string error;
  std::unique_ptr<WebApp> app =
      WebApp::Start({WorkspaceKind::kCase, path, true}, ServerOptions{}, error);
  ASSERT_NE(app, nullptr) << error;
  app->RunInBackground();
  const std::vector<std::pair<std::string, std::string>> headers = {
      {"authorization", "Bearer " + app->token()},
      {"content-type", "application/json"}};
  auto send = [&](Connection& c, const char* method, const std::string& target,
                  const std::string& body = "") {
    return c.Send(method, target, body, headers);
  };

  Connection setup("127.0.0.1", app->port());
  ASSERT_EQ(
      send(setup, "POST", "/api/case/projects", R"({"name":"Load"})").status,
      200);
  const auto listed =
      nlohmann::json::parse(send(setup, "GET", "/api/utilities").body);
  std::vector<std::string> utilities;
  for (const auto& u : listed["utilities"]) {
    utilities.push_back(u["name"].get<std::string>());
  }
  ASSERT_FALSE(utilities.empty());

  std::mutex lock;
  std::set<std::string> notes;               // accepted
  std::map<std::string, double> last_value;  // per utility, accepted
  std::vector<std::string> failures;
  std::atomic<bool> done{false};
  std::atomic<int> watcher_failures{0};
  std::thread watcher([&] {
    Connection c("127.0.0.1", app->port());
    while (!done) {
      if (send(c, "GET", "/api/session").status != 200) ++watcher_failures;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  std::vector<std::thread> clients;
  for (int id = 0; id < kClients; ++id) {
    clients.emplace_back([&, id] {
      Connection c("127.0.0.1", app->port());
      // Each client edits a utility of its own, so that the last value it
      // had accepted is the one the case must hold.
      const std::string utility =
          id < static_cast<int>(utilities.size()) ? utilities[id] : "";
      for (int i = id; i < kRequests; i += kClients) {
        ClientReply reply;
        std::string what;
        switch (i % 10) {
          case 0:
            if (i % 100 == 0) {
              what = "save";
              reply = send(c, "POST", "/api/save", "{}");
              break;
            }
            what = "read";
            reply = send(c, "GET", "/api/session");
            break;
          case 1:
          case 2:
          case 3: {
            const std::string title =
                "note " + std::to_string(id) + "-" + std::to_string(i);
            what = "note";
            reply =
                send(c, "POST", "/api/case/projects/Load/notes",
                     nlohmann::json{{"title", title}, {"text", "x"}}.dump());
            if (reply.status == 200) {
              std::lock_guard<std::mutex> l(lock);
              notes.insert(title);
            }
            break;
          }
          case 4:
          case 5:
          case 6:
            if (!utility.empty()) {
              const double cost = 1.0 + i;
              what = "edit";
              reply = send(
                  c, "PATCH", "/api/utilities/" + PercentEncoded(utility),
                  nlohmann::json{{"field", "cost"}, {"value", cost}}.dump());
              if (reply.status == 200) {
                std::lock_guard<std::mutex> l(lock);
                last_value[utility] = cost;
              }
              break;
            }
            [[fallthrough]];
          default:
            what = "read";
            reply = send(c, "GET", i % 2 ? "/api/utilities" : "/api/session");
        }
        // Refusals by the library's rules (422) are answers; anything else
        // but success is a failure.
        if (reply.status != 200 && reply.status != 422) {
          std::lock_guard<std::mutex> l(lock);
          failures.push_back(what + " " + std::to_string(reply.status) + " " +
                             reply.body.substr(0, 200));
        }
      }
    });
  }
  for (std::thread& t : clients) t.join();
  // A connection idle for the whole run has been closed by the server.
  Connection last("127.0.0.1", app->port());
  ASSERT_EQ(send(last, "POST", "/api/save", "{}").status, 200);
  done = true;
  watcher.join();
  app->Stop();
  app.reset();

  EXPECT_TRUE(failures.empty())
      << failures.size() << " failed, first: " << failures.front();
  EXPECT_EQ(watcher_failures, 0);
  auto reopened = Workspace::Open({WorkspaceKind::kCase, path}, error);
  ASSERT_NE(reopened, nullptr) << error;
  Router router(*reopened, {"t", HostsFor("127.0.0.1", 1)});
  Request read{"GET",
               "/api/case/projects",
               {{"host", "127.0.0.1:1"}, {"authorization", "Bearer t"}},
               ""};
  const auto projects =
      nlohmann::json::parse(router.Handle(read).response.body);
  std::multiset<std::string> stored;
  for (const auto& project : projects["projects"]) {
    for (const auto& note : project["notes"]) {
      stored.insert(note["title"].get<std::string>());
    }
  }
  for (const std::string& title : notes) {
    EXPECT_EQ(stored.count(title), 1u) << title;
  }
  read.target = "/api/utilities";
  const auto now = nlohmann::json::parse(router.Handle(read).response.body);
  for (const auto& u : now["utilities"]) {
    auto it = last_value.find(u["name"].get<std::string>());
    if (it != last_value.end()) {
      EXPECT_EQ(u["cost"].get<double>(), it->second) << it->first;
    }
  }
}

}  // namespace
}  // namespace pemar::web
