#include "pemar/framework/Session.h"

#include <gtest/gtest.h>

#include "pemar/framework/FilePrompt.h"
#include "pemar/framework/Types.h"
#include "pemar/framework/ViewLog.h"
#include "pemar/framework/Viewable.h"

namespace pemar {
namespace {

TEST(SessionTest, AbsentByDefaultAndCountsWhatItIsAsked) {
  EXPECT_EQ(Session::Current(), nullptr);
  {
    Session session;
    ScopedSession scope(&session);
    ASSERT_EQ(Session::Current(), &session);
    EXPECT_TRUE(session.AllowsActiveAutomation());
    EXPECT_FALSE(session.StartedByAutomation());
    EXPECT_FALSE(session.VersionText().IsEmpty());
    Session::Current()->PlayNextScriptCommand(kEmptyValue);
    Session::Current()->SaveRecoveryFile(nullptr);
    EXPECT_EQ(session.ScriptCommandsPlayed(), 1);
    EXPECT_EQ(session.LastScriptValue(), kEmptyValue);
    EXPECT_EQ(session.RecoveryFilesSaved(), 1);
  }
  EXPECT_EQ(Session::Current(), nullptr);
  // A session destroyed while current leaves none behind.
  auto* session = new Session;
  Session::SetCurrent(session);
  delete session;
  EXPECT_EQ(Session::Current(), nullptr);
}

TEST(SessionTest, ObjectRevokesOnlyItsOwnAutomationRegistration) {
  int first = 0, second = 0;
  Session::SetActiveAutomationObject(&first);
  Session::RevokeActiveAutomationObject(&second);
  EXPECT_EQ(Session::ActiveAutomationObject(), &first);
  Session::RevokeActiveAutomationObject(&first);
  EXPECT_EQ(Session::ActiveAutomationObject(), nullptr);
}

TEST(FilePromptTest, FiltersInOrderAndPickerCancelsByDefault) {
  FNPromptStruct prompt;
  EXPECT_EQ(prompt.header_maker, nullptr);
  prompt.AddFilter("TplFiles", "TPL");
  prompt.AddFilter("AllFiles", "*");
  ASSERT_EQ(prompt.filters.size(), 2u);
  EXPECT_EQ(prompt.filters[1].first, "AllFiles");
  EXPECT_EQ(prompt.filters[1].second, "*");

  EXPECT_TRUE(PickFile("Title", "BUG", "report").IsEmpty());
  SetFilePicker([](const Text& title, const Text& ext, const Text& proposed) {
    return Text(title.str() + "|" + ext.str() + "|" + proposed.str());
  });
  EXPECT_EQ(PickFile("T", "BUG", "p"), "T|BUG|p");
  SetFilePicker(nullptr);
  EXPECT_TRUE(PickFile("T", "BUG", "p").IsEmpty());
}

TEST(ViewLogTest, ViewRecordsTheTypeName) {
  ClearOpenedViews();
  Viewable object(nullptr, ViewableObjectType());
  object.View();
  OpenView("FindObjectTypeView");
  ASSERT_EQ(OpenedViews().size(), 2u);
  EXPECT_EQ(OpenedViews()[0], "ViewableObject");
  EXPECT_EQ(OpenedViews()[1], "FindObjectTypeView");
  ClearOpenedViews();
  EXPECT_TRUE(OpenedViews().empty());
}

}  // namespace
}  // namespace pemar
