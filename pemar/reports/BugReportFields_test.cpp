#include "pemar/reports/BugReportFields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportManager.h"

namespace pemar {
namespace {

struct ChoiceCase {
  BugReportChoice choice;
  std::vector<std::string> words;
};

class BugReportFieldsTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(BugReportFieldsTest,
       OnlyExactWordsHaveValuesAndValuesBeyondShowAsNumbers) {
  const ChoiceCase& c = GetParam();
  for (const char* other : {"", "Bug", "High ", "urgent", "0"}) {
    EXPECT_EQ(BugReportChoiceValue(c.choice, other), std::nullopt) << other;
  }
  EXPECT_EQ(BugReportChoiceWord(c.choice, 4294967295u), "4294967295");
  EXPECT_EQ(BugReportChoiceWords(c.choice), c.words);
  for (unsigned i = 0; i < c.words.size(); ++i) {
    EXPECT_EQ(BugReportChoiceValue(c.choice, c.words[i]), i);
    EXPECT_EQ(BugReportChoiceWord(c.choice, i), c.words[i]);
  }
  EXPECT_EQ(BugReportChoiceWord(c.choice, c.words.size()),
            std::to_string(c.words.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Choices, BugReportFieldsTest,
    ::testing::Values(
        ChoiceCase{BugReportChoice::kClass, {"bug", "enhancement"}},
        ChoiceCase{BugReportChoice::kPriority, {"high", "medium", "low"}},
        ChoiceCase{BugReportChoice::kReproducibility,
                   {"always", "sometimes", "never"}}));

TEST(BugReportFieldListsTest, ListFieldsInOrderWithChoicesInWords) {
  EXPECT_TRUE(BugReportFieldLists(nullptr).empty());
  BugReportManager manager(nullptr);
  BugReport* r = manager.NewReport();
  r->SetName("Pump trips");
  r->SetPriorityChoice(BugReport::kLow);
  r->SetReproducibilityChoice(7);
  BugReportFieldList expected = {{"title", "Pump trips"},
                                 {"date", ""},
                                 {"reported_by", ""},
                                 {"program_version", r->ProgramVersion().str()},
                                 {"system_details", r->SystemDetails().str()},
                                 {"program_build_date", ""},
                                 {"program_area", ""},
                                 {"class", "bug"},
                                 {"priority", "low"},
                                 {"reproducibility", "7"},
                                 {"description", ""}};
  EXPECT_EQ(BugReportFieldLists(&manager),
            std::vector<BugReportFieldList>{expected});
}

}  // namespace
}  // namespace pemar
