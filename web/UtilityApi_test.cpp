// The utility, coefficient, economics and fuel routes, driven through the
// router on a case and on utility sets opened from files, so that the
// unsaved-changes flag starts clear.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pemar/utility/IDefaultUtilityManager.h"
#include "pemar/utility/UtilityFiles.h"
#include "web/Router.h"
#include "web/testing/WebTestSupport.h"

namespace pemar::web {
namespace {

enum Kind { kCaseFile, kFullSet, kUtilitiesOnlySet };

enum Setup { kNone, kLocked, kTracking, kSecondList };

struct EditRow {
  const char* label;
  Kind kind;
  Setup setup;       // calls made first; each must succeed
  const char* call;  // "METHOD target body"
  int status;
  // A refusal: the library's message key. A success: a row the answer
  // lists among the changed ones.
  std::string expect;
};

void PrintTo(const EditRow& row, std::ostream* os) { *os << row.label; }

class UtilityApiTest : public ::testing::TestWithParam<EditRow> {
 protected:
  // A saved file of `kind`, opened as a workspace and router.
  void Open(Kind kind) {
    const std::filesystem::path dir =
        test_support::FreshFolder("web_utility_api_");
    std::string error;
    if (kind == kCaseFile) {
      workspace_ =
          test_support::OpenSavedCase((dir / "study.kcs").string(), error);
    } else {
      const std::string path = (dir / "set.hud").string();
      IDefaultUtilityManager* db = CreateDefaultUtilManager();
      ASSERT_TRUE(SaveUtilitySet(db, path.c_str(),
                                 kind == kFullSet ? AllData : UtilitiesOnly));
      ReleaseDefaultUtilManager(db);
      workspace_ = Workspace::Open({WorkspaceKind::kUtilitySet, path}, error);
    }
    ASSERT_TRUE(workspace_) << error;
    router_ = test_support::MakeRouter(*workspace_);
  }

  Response Send(const std::string& call) {
    const std::size_t a = call.find(' ');
    const std::size_t b = std::min(call.find(' ', a + 1), call.size());
    return router_
        ->Handle(test_support::PageRequest(
            call.substr(0, a), call.substr(a + 1, b - a - 1),
            b < call.size() ? call.substr(b + 1) : ""))
        .response;
  }

  // Everything a refused change must leave as it was.
  std::string Snapshot() {
    std::string all;
    for (const char* target : {"/api/utilities", "/api/coefficients",
                               "/api/economics", "/api/fuels"}) {
      Json answer = Json::parse(Send(std::string("GET ") + target).body);
      answer.erase("messages");
      all += answer.dump();
    }
    return all;
  }

  std::unique_ptr<Workspace> workspace_;
  std::unique_ptr<Router> router_;
};

TEST_P(UtilityApiTest, ChangeIsAppliedOrRefusedWhole) {
  const EditRow& row = GetParam();
  Open(row.kind);
  const char* setups[] = {R"(PATCH /api/economics {"locked": true})",
                          R"(PATCH /api/fuels {"carbon_tracking": true})",
                          R"(PATCH /api/fuels {"data_source": 1})"};
  const int first = row.setup == kLocked ? 0 : 1;
  for (int i = first; i < static_cast<int>(row.setup); ++i) {
    ASSERT_EQ(Send(setups[i]).status, 200) << setups[i];
  }
  const bool modified_before = workspace_->modified();
  const std::uint64_t events_before = workspace_->events().LastSequence();
  const std::string before = Snapshot();

  const Response r = Send(row.call);
  ASSERT_EQ(r.status, row.status) << r.body;
  const Json answer = Json::parse(r.body);
  if (r.status == 422) {
    EXPECT_EQ(answer.value("key", ""), row.expect);
  }
  if (r.status == 200 && !row.expect.empty()) {
    bool listed = false;
    for (const Json& changed : answer["changed"]) {
      listed = listed || changed["name"] == row.expect;
    }
    EXPECT_TRUE(listed) << r.body;
  }
  if (std::string(row.call).rfind("GET ", 0) == 0) return;
  if (row.status == 200) {
    EXPECT_TRUE(workspace_->modified());
    EXPECT_GT(workspace_->events().LastSequence(), events_before);
  } else {
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(workspace_->modified(), modified_before);
    EXPECT_EQ(workspace_->events().LastSequence(), events_before);
  }
}

// clang-format off
const EditRow kRows[] = {
    // Utility edits, on a case and on utility sets.
    {"InletAccepted", kCaseFile, kNone, R"(PATCH /api/utilities/LP%20Steam {"field":"inlet","value":130})", 200, "LP Steam"},
    {"DeltaTMinMovesNeighbour", kFullSet, kNone, R"(PATCH /api/utilities/LP%20Steam {"field":"delta_t_min","value":20})", 200, "MP Steam"},
    {"ArHighWithoutLibraryNotice", kFullSet, kNone, R"(PATCH /api/utilities/Air {"field":"ar_high","value":100})", 200, "Air"},
    {"ExchangerTypeAccepted", kCaseFile, kNone, R"(PATCH /api/utilities/Air {"field":"exchanger_type","value":"X"})", 200, "Air"},
    {"RenameAccepted", kFullSet, kNone, R"(PATCH /api/utilities/Air {"field":"name","value":"Breeze"})", 200, "Breeze"},
    {"UtilityKeptBySet", kUtilitiesOnlySet, kNone, R"(PATCH /api/utilities/Air {"field":"cost","value":2e-9})", 200, "Air"},
    {"ColdInletAboveOutlet", kCaseFile, kNone, R"(PATCH /api/utilities/Cooling%20Water {"field":"inlet","value":30})", 422, "ColdStreamInletTemperatureUpdateError"},
    {"HotOutletAboveInlet", kFullSet, kNone, R"(PATCH /api/utilities/HP%20Steam {"field":"outlet","value":300})", 422, "HotStreamOutletTemperatureUpdateError"},
    {"SmallDeltaTMin", kFullSet, kNone, R"(PATCH /api/utilities/Air {"field":"delta_t_min","value":0.5})", 422, "DeltaTMinWarning"},
    {"FiredHeaterOnCold", kCaseFile, kNone, R"(PATCH /api/utilities/Air {"field":"exchanger_type","value":"Fired Heater"})", 422, "FiredHeaterNotValidOnColdUtility"},
    {"RenameOntoOther", kFullSet, kNone, R"(PATCH /api/utilities/Air {"field":"name","value":"Cooling Water"})", 422, "DefaultUtilityNameError"},
    {"UnknownField", kFullSet, kNone, R"(PATCH /api/utilities/Air {"field":"colour","value":1})", 400, ""},
    {"WrongType", kCaseFile, kNone, R"(PATCH /api/utilities/Air {"field":"inlet","value":"warm"})", 400, ""},
    {"UnknownUtility", kFullSet, kNone, R"(PATCH /api/utilities/Steam%20X {"field":"inlet","value":1})", 404, ""},
    {"AddAccepted", kFullSet, kNone, R"(POST /api/utilities {"name":"X"})", 200, "X"},
    {"CloneAccepted", kCaseFile, kNone, R"(POST /api/utilities {"clone_of":"Air","name":"Air 2"})", 200, "Air 2"},
    {"AddExisting", kFullSet, kNone, R"(POST /api/utilities {"name":"Air"})", 422, ""},
    {"RemoveAccepted", kFullSet, kNone, "DELETE /api/utilities/Cooling%20Water {}", 200, "Refrigerant 1"},
    {"RemoveUnknown", kCaseFile, kNone, "DELETE /api/utilities/Nope {}", 404, ""},
    // Heat-transfer coefficients.
    {"CoefficientValueAccepted", kFullSet, kNone, R"(PATCH /api/coefficients/0 {"field":"value","value":0.5})", 200, ""},
    {"CoefficientTooSmall", kCaseFile, kNone, R"(PATCH /api/coefficients/0 {"field":"value","value":0})", 422, "HCValueTooSmall"},
    {"CoefficientCleared", kFullSet, kNone, R"(PATCH /api/coefficients/0 {"field":"value","value":null})", 422, "CannotDeleteHTC"},
    {"CoefficientNameTaken", kFullSet, kNone, R"(PATCH /api/coefficients/0 {"field":"name","value":"Brine"})", 422, "NameNotUnique"},
    {"CoefficientMissing", kFullSet, kNone, R"(PATCH /api/coefficients/99 {"field":"note","value":"n"})", 404, ""},
    {"CoefficientNotKeptBySet", kUtilitiesOnlySet, kNone, R"(PATCH /api/coefficients/0 {"field":"value","value":0.5})", 409, ""},
    // Economics.
    {"EconomicValueAccepted", kFullSet, kNone, R"(PATCH /api/economics {"field":"coefficient1","value":2.5})", 200, ""},
    {"EconomicSetAdded", kCaseFile, kNone, R"(POST /api/economics {"name":"Air Cooler"})", 200, ""},
    {"DefaultSetStays", kFullSet, kNone, "DELETE /api/economics/DEFAULT {}", 422, ""},
    {"LockedValue", kCaseFile, kLocked, R"(PATCH /api/economics {"field":"operating_hours","value":8000})", 409, ""},
    {"LockedSetList", kFullSet, kLocked, R"(POST /api/economics {"name":"Air Cooler"})", 409, ""},
    {"EconomicsNotKeptBySet", kUtilitiesOnlySet, kNone, R"(POST /api/economics {"name":"Air Cooler"})", 409, ""},
    // Fuels.
    {"FuelChosenForEveryUtility", kCaseFile, kSecondList, R"(PATCH /api/fuels {"selected":1})", 200, "Air"},
    {"NoFuelListWithoutSource", kCaseFile, kTracking, R"(PATCH /api/fuels {"selected":1})", 422, ""},
    {"FuelsNeedACase", kFullSet, kNone, R"(PATCH /api/fuels {"selected":1})", 404, ""},
    // Reads.
    {"RecommendedNeedsTemperature", kFullSet, kNone, "GET /api/utilities/recommend?side=hot", 400, ""},
    {"RecommendNeedsNumber", kFullSet, kNone, "GET /api/utilities/recommend?temperature=4x&side=cold", 400, ""},
    {"RecommendNeedsSide", kFullSet, kNone, "GET /api/utilities/recommend?temperature=40&side=warm", 400, ""},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Edits, UtilityApiTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) {
                           return std::string(info.param.label);
                         });

TEST_F(UtilityApiTest, RecommendationAndLadderFollowTheDatabase) {
  Open(kFullSet);
  const char* query = "GET /api/utilities/recommend?temperature=115.5&side=hot";
  EXPECT_EQ(Json::parse(Send(query).body)["name"], "LP Steam");
  const Response ladder = Send("GET /api/utilities/ladder.svg");
  EXPECT_EQ(ladder.content_type, "image/svg+xml");
  EXPECT_NE(ladder.body.find("Cooling Water"), std::string::npos);
}

}  // namespace
}  // namespace pemar::web
