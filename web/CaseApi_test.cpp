#include <gtest/gtest.h>

#include <chrono>

#include "tooling/CasePlots.h"
#include "web/Router.h"
#include "web/Workspace.h"
#include "web/testing/WebTestSupport.h"

namespace pemar::web {
namespace {

using test_support::PageRequest;

// A case holding the project "Crude unit" with the note "Heating", the
// problem report "Crash" and a plot view of the saturation curve, open in a
// workspace with its router.
class CaseApiTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(WorkspaceKind::kCase, "plant.kcs"); }

  void Open(WorkspaceKind kind, const char* name) {
    router_.reset();
    workspace_.reset();
    path_ = (test_support::FreshFolder("case-api-") / name).string();
    std::string error;
    workspace_ = Workspace::Open({kind, path_, true}, error);
    ASSERT_NE(workspace_, nullptr) << error;
    router_ = test_support::MakeRouter(*workspace_);
    if (kind != WorkspaceKind::kCase) return;
    ASSERT_EQ(Call("POST", "/api/case/projects", R"({"name":"Crude unit"})"),
              200);
    ASSERT_EQ(Call("POST", "/api/case/projects/Crude%20unit/notes",
                   R"({"title":"Heating","text":"HP steam"})"),
              200);
    ASSERT_EQ(Call("POST", "/api/case/problem-reports", R"({"title":"Crash"})"),
              200);
    ASSERT_TRUE(tooling::AddSaturationPlot(*workspace_->document()));
  }

  int Call(const std::string& method, const std::string& target,
           const std::string& body = "") {
    last_ = router_->Handle(PageRequest(method, target, body)).response;
    return last_.status;
  }

  std::string path_;
  std::unique_ptr<Workspace> workspace_;
  std::unique_ptr<Router> router_;
  Response last_;
};

TEST_F(CaseApiTest, RoutesAnswerAsDocumented) {
  struct Row {
    const char* method;
    const char* target;
    const char* body;
    int status;
    const char* answer_holds;
  };
  const Row rows[] = {
      {"GET", "/api/case", "", 200, "\"identity_stamp\""},
      {"GET", "/api/case/projects", "", 200, "\"HP steam\""},
      {"POST", "/api/case/projects", R"({"name":"B","engineer":"Al"})", 200,
       "\"Al\""},
      {"POST", "/api/case/projects", R"({"name":"B","size":1})", 400, "size"},
      {"POST", "/api/case/projects", R"({"name":7})", 400, "name"},
      {"POST", "/api/case/projects", R"({"name":"Crude unit"})", 422,
       "already"},
      {"POST", "/api/case/projects/Nope/notes", R"({"title":"a","text":"b"})",
       404, "Nope"},
      {"POST", "/api/case/projects/Crude%20unit/notes",
       R"({"title":"Heating","text":"again"})", 200, "again"},
      {"PATCH", "/api/case/projects/Crude%20unit/notes/Heating",
       R"({"text":"LP steam"})", 200, "LP steam"},
      {"PATCH", "/api/case/projects/Crude%20unit/notes/Cooling",
       R"({"text":"x"})", 404, "Cooling"},
      {"PATCH", "/api/case/projects/Crude%20unit/notes/Heating", "{}", 400,
       "text"},
      {"DELETE", "/api/case/projects/Crude%20unit/notes/Heating", "{}", 200,
       "\"notes\""},
      {"POST", "/api/case/features",
       R"({"type":"PropertyTable","from":350,"to":400})", 200, "\"rows\""},
      {"POST", "/api/case/features", R"({"type":"PropertyTable","from":100})",
       422, "K"},
      {"POST", "/api/case/features", R"({"type":"PropertyTable","to":"x"})",
       400, "to"},
      {"GET", "/api/case/problem-reports", "", 200, "\"Crash\""},
      {"POST", "/api/case/problem-reports", R"({"title":"Crash"})", 422,
       "Crash"},
      {"POST", "/api/case/problem-reports",
       R"({"title":"Slow","priority":"urgent"})", 400, "high, medium, low"},
      {"GET", "/api/case/problem-reports/2/download", "", 404, "2"},
      {"GET", "/api/case/plots", "", 200, "\"log\":true"},
      {"GET", "/api/case/plots/1/svg", "", 200, "<svg"},
      {"GET", "/api/case/plots/2/svg", "", 404, "plot"},
      {"GET", "/api/views/plot-1/variables/Label.300?index=1", "", 200,
       "p / kPa"},
      {"GET", "/api/views/plot-1/variables/Label.300?index=x", "", 400,
       "index"},
      {"GET", "/api/case/report", "", 200, "Crude unit"},
      {"GET", "/api/views", "", 200, "problem-report-1"},
      {"PUT", "/api/views/case/variables/Description.300",
       R"({"value":"Preheat train"})", 200, "Preheat train"},
      {"GET", "/api/views/case/variables/Description.300", "", 200,
       "Preheat train"},
      {"PUT", "/api/views/problem-report-1/variables/ProgramArea.0",
       R"({"value":"Save"})", 200, "Save"},
      {"PUT", "/api/views/problem-report-1/variables/ProgramVersion.0",
       R"({"value":"9"})", 422, "ProgramVersion"},
      {"PUT", "/api/views/case/variables/Description.300", R"({"value":[]})",
       400, "value"},
      {"PUT", "/api/views/case/variables/not%20a%20name", R"({"value":1})", 400,
       "variable description"},
      {"GET", "/api/views/plot-9/variables/Title.0", "", 404, "plot-9"},
      {"PUT", "/api/views/configuration/variables/LPSolver.0",
       R"({"value":"/tmp/x"})", 403, "only read"},
      {"GET", "/api/steam?temperature=500&pressure=1000", "", 200,
       "\"subregion\":2"},
      {"GET", "/api/steam?temperature=500", "", 400, "pressure"},
      {"GET", "/api/steam?temperature=hot&pressure=1", "", 400, "hot"},
      {"GET", "/api/steam?temperature=250&pressure=100", "", 400, "273.16"},
      {"GET", "/api/steam/chart.svg?temperature=500&pressure=1000", "", 200,
       "<svg"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.method) + " " + row.target + " " + row.body);
    EXPECT_EQ(Call(row.method, row.target, row.body), row.status) << last_.body;
    EXPECT_NE(last_.body.find(row.answer_holds), std::string::npos)
        << last_.body;
  }
}

TEST_F(CaseApiTest, ChangesMarkTheCaseModifiedAndAnnounceTheirTopic) {
  struct Row {
    const char* method;
    const char* target;
    const char* body;
    const char* topic;
  };
  const Row rows[] = {
      {"POST", "/api/case/projects", R"({"name":"B"})", "projects"},
      {"POST", "/api/case/features", R"({"type":"PropertyTable"})", "features"},
      {"POST", "/api/case/problem-reports", R"({"title":"Hang"})",
       "problem-reports"},
      {"PUT", "/api/views/case/variables/Description.300", R"({"value":"d"})",
       "case"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.target);
    CallMessages none;
    ASSERT_TRUE(workspace_->Save(&none));
    ASSERT_FALSE(workspace_->modified());
    const std::uint64_t before = workspace_->events().LastSequence();
    ASSERT_EQ(Call(row.method, row.target, row.body), 200) << last_.body;
    EXPECT_TRUE(workspace_->modified());
    bool missed = false;
    const auto events = workspace_->events().After(
        before, std::chrono::milliseconds(0), &missed);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().topic, row.topic);
  }
}

TEST_F(CaseApiTest, AddedNoteIsInTheCaseAfterSaveAndReopening) {
  ASSERT_EQ(Call("POST", "/api/case/projects/Crude%20unit/notes",
                 R"({"title":"Review","text":"Checked","author":"B. Lead"})"),
            200);
  ASSERT_TRUE(workspace_->Save(nullptr));
  router_.reset();
  workspace_.reset();
  std::string error;
  workspace_ = Workspace::Open({WorkspaceKind::kCase, path_}, error);
  ASSERT_NE(workspace_, nullptr) << error;
  router_ = test_support::MakeRouter(*workspace_);
  ASSERT_EQ(Call("GET", "/api/case/projects"), 200);
  EXPECT_NE(last_.body.find(R"("title":"Review","text":"Checked")"),
            std::string::npos)
      << last_.body;
}

TEST_F(CaseApiTest, DownloadNameIsMadeByTheServer) {
  ASSERT_EQ(Call("POST", "/api/case/problem-reports",
                 R"({"title":"..\\..\\x\"; filename=evil.exe"})"),
            200);
  ASSERT_EQ(Call("GET", "/api/case/problem-reports/02/download"), 200);
  EXPECT_EQ(last_.content_type.rfind("text/plain", 0), 0u);
  EXPECT_NE(last_.body.find("\tTitle: \t..\\..\\x\"; filename=evil.exe\n"),
            std::string::npos);
  int dispositions = 0;
  for (const auto& [name, value] : last_.headers) {
    if (name != "Content-Disposition") continue;
    ++dispositions;
    EXPECT_EQ(value, "attachment; filename=\"problem-report-2.bug\"");
  }
  EXPECT_EQ(dispositions, 1);
}

TEST_F(CaseApiTest, ReportPageCarriesItsOwnPolicy) {
  ASSERT_EQ(Call("GET", "/api/case/report/page"), 200);
  std::vector<std::string> policies;
  for (const auto& [name, value] : last_.headers) {
    if (name == "Content-Security-Policy") policies.push_back(value);
  }
  ASSERT_EQ(policies.size(), 1u);
  EXPECT_EQ(policies[0].rfind("default-src 'none'; style-src", 0), 0u);
}

TEST_F(CaseApiTest, UtilitySetAnswersCaseRoutesWithNotFoundAndSteamAlike) {
  Open(WorkspaceKind::kUtilitySet, "set.utl");
  for (const char* target :
       {"/api/case", "/api/case/projects", "/api/case/features",
        "/api/case/problem-reports", "/api/case/plots", "/api/case/report",
        "/api/views/case/variables/Description.300"}) {
    EXPECT_EQ(Call("GET", target), 404) << target;
    EXPECT_NE(last_.body.find("only with a case"), std::string::npos);
  }
  EXPECT_EQ(Call("GET", "/api/steam?temperature=500&pressure=1000"), 200);
}

}  // namespace
}  // namespace pemar::web
