#include "pemar/framework/VarDescription.h"

#include <gtest/gtest.h>

#include <string>

namespace pemar {
namespace {

TEST(VarDescriptionTest, MalformedTextsAreRejectedAndLeaveOutputUntouched) {
  const char* bad[] = {
      "",
      "Units",
      "Units.",
      ".105",
      "Units.105.",
      "Units.abc",
      "Units.1234567890",
      "::Units.105",
      "Un its.105",
      "Units.105.(N",
      "Units.105.3 ",
      "Units.105.[",
      "Units.105.[]x",
      "Units.105/",
      "/Units.105",
      "Units.-5",
      "Viewable.500.(N)(M)",
      "Viewable.500.3  (N)",
  };
  for (const char* text : bad) {
    VarDescription d("Keep", 7);
    EXPECT_FALSE(VarDescription::Parse(text, &d)) << text;
    EXPECT_EQ(d.name, "Keep") << text;
    EXPECT_EQ(d.number, 7) << text;
  }
  EXPECT_FALSE(VarDescription::Parse("Units.105", nullptr));
}

TEST(VarDescriptionTest, OverlongLinkChainIsRejected) {
  std::string text = "A.1";
  for (int i = 1; i < 64; ++i) text += "/A.1";
  VarDescription d;
  EXPECT_TRUE(VarDescription::Parse(text, &d));
  text += "/A.1";
  EXPECT_FALSE(VarDescription::Parse(text, &d));
}

// A plain name and number; constant and indexed forms; an offset by name,
// by position or both; a next link after a slash.
TEST(VarDescriptionTest, EachFormGivesItsParts) {
  VarDescription d;
  ASSERT_TRUE(VarDescription::Parse("Units.105", &d));
  EXPECT_TRUE(d.VariableIs("Units"));
  EXPECT_FALSE(d.VariableIs("units"));
  EXPECT_FALSE(d.VariableIs(nullptr));
  EXPECT_EQ(d.Number(), 105);
  EXPECT_FALSE(d.IsConstant());
  EXPECT_FALSE(d.IsIndexed());
  EXPECT_EQ(d.OffsetPosition(), kEmptyMarker);
  EXPECT_EQ(d.GetOffsetName(), "");
  EXPECT_EQ(d.GetNextLink(), nullptr);
  EXPECT_EQ(d.Type(), kEmptyMarker);
  d.SetType(105);
  EXPECT_EQ(d.Type(), 105);

  ASSERT_TRUE(VarDescription::Parse(":Description.300", &d));
  EXPECT_TRUE(d.IsConstant());
  EXPECT_TRUE(d.VariableIs("Description"));
  EXPECT_EQ(d.Number(), 300);

  ASSERT_TRUE(VarDescription::Parse(":Variable.300.[]", &d));
  EXPECT_TRUE(d.IsConstant());
  EXPECT_TRUE(d.IsIndexed());
  EXPECT_EQ(d.Index(), 0);
  d.SetIndex(4);
  EXPECT_EQ(d.Index(), 4);

  ASSERT_TRUE(VarDescription::Parse("Viewable.500.(N)", &d));
  EXPECT_EQ(d.GetOffsetName(), "N");
  EXPECT_EQ(d.OffsetPosition(), kEmptyMarker);

  ASSERT_TRUE(VarDescription::Parse("Viewable.500.3", &d));
  EXPECT_EQ(d.OffsetPosition(), 3);
  EXPECT_FALSE(d.has_offset_name);

  ASSERT_TRUE(
      VarDescription::Parse("DesignViewerScenario.200.2(Base case)", &d));
  EXPECT_EQ(d.OffsetPosition(), 2);
  EXPECT_EQ(d.GetOffsetName(), "Base case");
  EXPECT_FALSE(d.blank_before_offset_name);

  ASSERT_TRUE(VarDescription::Parse("DesignViewerDesign.200.2 (HEN 1)", &d));
  EXPECT_EQ(d.OffsetPosition(), 2);
  EXPECT_EQ(d.GetOffsetName(), "HEN 1");
  EXPECT_TRUE(d.blank_before_offset_name);

  // An offset name may hold dots, slashes and colons.
  ASSERT_TRUE(VarDescription::Parse("Viewable.600.(a.b/c:d)", &d));
  EXPECT_EQ(d.GetOffsetName(), "a.b/c:d");

  ASSERT_TRUE(VarDescription::Parse("Viewable.600.(Heat)/Units.105", &d));
  EXPECT_EQ(d.GetOffsetName(), "Heat");
  ASSERT_NE(d.GetNextLink(), nullptr);
  EXPECT_TRUE(d.GetNextLink()->VariableIs("Units"));
  EXPECT_EQ(d.GetNextLink()->Number(), 105);
  EXPECT_EQ(d.GetNextLink()->GetNextLink(), nullptr);
}

TEST(VarDescriptionTest, EveryFormFormatsBackToItsText) {
  const char* forms[] = {
      "Units.105",
      ":Units.106",
      ":Description.300",
      ":Variable.300.[]",
      ":FlowSheetObject.300.[]",
      "Viewable.500.(N)",
      "Viewable.500.3",
      "Viewable.500.-1",
      "DesignViewerScenario.200.2(name)",
      "DesignViewerDesign.200.2 (name)",
      "Viewable.500.()",
      "Viewable.500.(N).[]",
      "Viewable.600.(Heat)/Units.105/:ExtraData.510",
  };
  for (const char* text : forms) {
    VarDescription d;
    ASSERT_TRUE(VarDescription::Parse(text, &d)) << text;
    EXPECT_EQ(d.Format(), text);
    VarDescription again;
    ASSERT_TRUE(VarDescription::Parse(d.Format().str(), &again)) << text;
    EXPECT_EQ(again, d) << text;
  }
}

TEST(VarDescriptionTest, BuiltDescriptionFormats) {
  VarDescription d("BugReport", 200);
  d.position = 4;
  EXPECT_EQ(d.Format(), "BugReport.200.4");
  d.flags = kVarFlagSelf;
  EXPECT_TRUE(d.IsSelf());
  VarDescription e = d;
  EXPECT_EQ(e, d);
  e.type = 104;
  EXPECT_FALSE(e == d);
}

}  // namespace
}  // namespace pemar
