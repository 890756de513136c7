#include "web/Router.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "pemar/utility/IDefaultUtilityManager.h"
#include "web/Workspace.h"
#include "web/testing/WebTestSupport.h"

namespace pemar::web {
namespace {

namespace fs = std::filesystem;

using test_support::kToken;
using test_support::PageRequest;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class RouterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (test_support::FreshFolder("router-") / "plant.kcs").string();
    std::string error;
    workspace_ = test_support::OpenSavedCase(path_, error);
    ASSERT_NE(workspace_, nullptr) << error;
    router_ = test_support::MakeRouter(*workspace_);
  }

  static void SetHeader(Request& r, const std::string& name,
                        const std::string& value) {
    std::erase_if(r.headers, [&](const auto& h) { return h.first == name; });
    if (!value.empty()) r.headers.emplace_back(name, value);
  }

  std::string path_;
  std::unique_ptr<Workspace> workspace_;
  std::unique_ptr<Router> router_;
};

TEST_F(RouterTest, RefusedRequestsChangeNothing) {
  struct Case {
    const char* name;
    std::function<void(Request&)> spoil;
    int status;
  };
  const std::string too_large = "{\"x\":\"" + std::string(1 << 20, 'a') + "\"}";
  const Case cases[] = {
      {"no token", [](Request& r) { SetHeader(r, "cookie", ""); }, 403},
      {"wrong token",
       [](Request& r) { SetHeader(r, "cookie", "pemar_token=0123"); }, 403},
      {"wrong token of the right length",
       [](Request& r) {
         SetHeader(r, "cookie", "pemar_token=f123456789abcdef0123456789abcdef");
       },
       403},
      {"wrong bearer beats a right cookie",
       [](Request& r) { SetHeader(r, "authorization", "Bearer nope"); }, 403},
      {"foreign host",
       [](Request& r) { SetHeader(r, "host", "attacker.example:1"); }, 403},
      {"no host", [](Request& r) { SetHeader(r, "host", ""); }, 403},
      {"other port", [](Request& r) { SetHeader(r, "host", "127.0.0.1:2"); },
       403},
      {"cross-origin change",
       [](Request& r) { SetHeader(r, "origin", "http://attacker.example"); },
       403},
      {"change with the cookie alone and no origin",
       [](Request& r) { SetHeader(r, "origin", ""); }, 403},
      {"form post",
       [](Request& r) {
         SetHeader(r, "content-type", "application/x-www-form-urlencoded");
       },
       415},
      {"body too large", [&](Request& r) { r.body = too_large; }, 413},
      {"malformed JSON", [](Request& r) { r.body = "{\"a\":"; }, 400},
      {"JSON that is not an object", [](Request& r) { r.body = "[]"; }, 400},
      {"unknown field", [](Request& r) { r.body = "{\"force\":true}"; }, 400},
      {"dot-dot path", [](Request& r) { r.target = "/api/../api/save"; }, 400},
      {"encoded dot-dot path",
       [](Request& r) { r.target = "/static/%2e%2e/%2E%2E/etc/passwd"; }, 400},
      {"broken escape", [](Request& r) { r.target = "/api/save%2"; }, 400},
      {"unknown route", [](Request& r) { r.target = "/api/nothing"; }, 404},
      {"wrong method", [](Request& r) { r.method = "PUT"; }, 405},
  };
  const std::string before = ReadBytes(path_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Request request = PageRequest("POST", "/api/save", "{}");
    c.spoil(request);
    const Router::Answer answer = router_->Handle(request);
    EXPECT_EQ(answer.response.status, c.status);
    EXPECT_NE(answer.response.body.find("\"error\""), std::string::npos);
    EXPECT_FALSE(workspace_->modified());
    EXPECT_EQ(workspace_->events().LastSequence(), 0u);
    EXPECT_EQ(ReadBytes(path_), before);
  }
}

TEST_F(RouterTest, TokenMayComeFromCookieQueryOrBearer) {
  Request cookie = PageRequest("GET", "/api/session");
  Request query =
      PageRequest("GET", std::string("/api/session?token=") + kToken);
  SetHeader(query, "cookie", "");
  Request bearer = PageRequest("GET", "/api/session");
  SetHeader(bearer, "cookie", "");
  SetHeader(bearer, "authorization", std::string("Bearer ") + kToken);
  for (const Request& r : {cookie, query, bearer}) {
    EXPECT_EQ(router_->Handle(r).response.status, 200) << r.target;
  }
}

TEST_F(RouterTest, ScriptsChangeWithBearerAndNoOrigin) {
  Request save = PageRequest("POST", "/api/save", "{}");
  SetHeader(save, "cookie", "");
  SetHeader(save, "origin", "");
  SetHeader(save, "authorization", std::string("Bearer ") + kToken);
  const Router::Answer answer = router_->Handle(save);
  EXPECT_EQ(answer.response.status, 200) << answer.response.body;
  EXPECT_EQ(workspace_->events().LastSequence(), 1u);
}

TEST_F(RouterTest, PrintedAddressSetsAStrictCookieAndMovesOn) {
  Request open = PageRequest("GET", std::string("/?token=") + kToken);
  SetHeader(open, "cookie", "");
  const Response r = router_->Handle(open).response;
  EXPECT_EQ(r.status, 303);
  bool cookie = false;
  for (const auto& [name, value] : r.headers) {
    if (name == "Set-Cookie") {
      cookie = true;
      EXPECT_NE(value.find("HttpOnly"), std::string::npos);
      EXPECT_NE(value.find("SameSite=Strict"), std::string::npos);
      EXPECT_NE(value.find(kToken), std::string::npos);
    }
    if (name == "Location") {
      EXPECT_EQ(value, "/utilities");
    }
  }
  EXPECT_TRUE(cookie);
}

TEST_F(RouterTest, EveryAnswerCarriesTheSecurityHeaders) {
  for (const char* target :
       {"/utilities", "/static/app.js", "/api/session", "/nothing", "/api/x"}) {
    for (bool with_token : {true, false}) {
      Request r = PageRequest("GET", target);
      if (!with_token) SetHeader(r, "cookie", "");
      const Response response = router_->Handle(r).response;
      std::string csp;
      bool nosniff = false;
      for (const auto& [name, value] : response.headers) {
        if (name == "Content-Security-Policy") csp = value;
        if (name == "X-Content-Type-Options") nosniff = value == "nosniff";
      }
      EXPECT_NE(csp.find("default-src 'self'"), std::string::npos) << target;
      EXPECT_NE(csp.find("frame-ancestors 'none'"), std::string::npos);
      EXPECT_TRUE(nosniff) << target;
    }
  }
}

TEST_F(RouterTest, EventStreamStartsAfterTheGivenSequence) {
  workspace_->events().Publish("utilities", "server");
  Request r = PageRequest("GET", "/api/events");
  Router::Answer fresh = router_->Handle(r);
  EXPECT_TRUE(fresh.stream_events);
  EXPECT_EQ(fresh.events_after, 1u);
  SetHeader(r, "last-event-id", "0");
  EXPECT_EQ(router_->Handle(r).events_after, 0u);
}

TEST_F(RouterTest, SaveWritesTheCaseAndAnnouncesIt) {
  workspace_->MarkModified();
  const Router::Answer answer =
      router_->Handle(PageRequest("POST", "/api/save", "{}"));
  EXPECT_EQ(answer.response.status, 200) << answer.response.body;
  EXPECT_FALSE(workspace_->modified());
  bool missed = true;
  const auto events =
      workspace_->events().After(0, std::chrono::milliseconds(0), &missed);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].topic, "save");
  EXPECT_FALSE(missed);
}

TEST_F(RouterTest, RecoveryCopyKeepsTheCaseAndReopensWithTheChange) {
  {
    std::lock_guard<std::mutex> lock(workspace_->library_lock());
    ASSERT_GE(workspace_->utilities()->AddDefaultUtility("Recovered steam"), 0);
  }
  workspace_->MarkModified();
  const std::string before = ReadBytes(path_);
  std::string error;
  ASSERT_TRUE(workspace_->WriteRecoveryCopy(error)) << error;
  EXPECT_EQ(ReadBytes(path_), before);
  EXPECT_TRUE(workspace_->RecoveryExists());
  workspace_.reset();

  auto reopened = Workspace::Open({WorkspaceKind::kCase, path_}, error);
  ASSERT_NE(reopened, nullptr) << error;
  EXPECT_FALSE(reopened->utilities()->Exists("Recovered steam"));
  reopened.reset();

  auto recovered =
      Workspace::Open({WorkspaceKind::kCase, path_, false, true}, error);
  ASSERT_NE(recovered, nullptr) << error;
  EXPECT_TRUE(recovered->modified());
  EXPECT_TRUE(recovered->utilities()->Exists("Recovered steam"));
  EXPECT_EQ(recovered->path(), path_);
}

TEST(WorkspaceOpenTest, RefusesWhatItCannotOpen) {
  const fs::path folder = fs::path(::testing::TempDir()) / "workspace-open";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string damaged = (folder / "damaged.kcs").string();
  std::ofstream(damaged) << "not a case";
  const std::string existing = (folder / "existing.hud").string();
  std::ofstream(existing) << "x";
  const std::string backup = (folder / "plant.bk0").string();
  std::string made;
  ASSERT_NE(test_support::OpenSavedCase((folder / "plant.kcs").string(), made),
            nullptr)
      << made;
  fs::copy_file(folder / "plant.kcs", backup);
  const struct {
    OpenOptions options;
    const char* says;
  } cases[] = {
      {{WorkspaceKind::kCase, (folder / "none.kcs").string()}, "no such file"},
      {{WorkspaceKind::kCase, damaged}, "cannot read the case"},
      {{WorkspaceKind::kUtilitySet, existing}, "cannot read the utility set"},
      {{WorkspaceKind::kUtilitySet, existing, true}, "already exists"},
      {{WorkspaceKind::kCase, damaged, false, true}, "no such file"},
      {{WorkspaceKind::kCase, backup}, "backup or temporary"},
      {{WorkspaceKind::kCase, (folder / "new.bk1").string(), true},
       "backup or temporary"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(Workspace::Open(c.options, error), nullptr) << c.options.path;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
}

TEST(WorkspacePathTest, RecoveryCopySitsBesideTheFileWithItsExtension) {
  EXPECT_EQ(Workspace::RecoveryPath("plant.kcs"), "plant.recovered.kcs");
  EXPECT_EQ(Workspace::RecoveryPath("a/b.c/set.hud"),
            "a/b.c/set.recovered.hud");
}

}  // namespace
}  // namespace pemar::web
