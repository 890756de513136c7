#include "pemar/config/PEMARDatablockPicker.h"

#include <gtest/gtest.h>

namespace pemar {
namespace {

// A view that stands for another object through "Viewable.1000".
struct StandInView : Viewable {
  explicit StandInView(Viewable* model)
      : Viewable(nullptr, nullptr), model(model) {}
  Viewable* AttachedObject(const VarDescription& desc) override {
    return desc.VariableIs("Viewable") && desc.Number() == 1000 ? model
                                                                : nullptr;
  }
  Viewable* model;
};

TEST(PEMARDatablockPickerTest, SelectsTheAttachedObjectElseThePickedOne) {
  Viewable model(nullptr, nullptr);
  StandInView view(&model), bare(nullptr);
  PEMARDatablockPicker picker(nullptr, ViewableObjectType());
  picker.SetSelectedBaseObject(&view);
  EXPECT_EQ(picker.SelectedBaseObject(), &model);
  picker.SetSelectedBaseObject(&bare);
  EXPECT_EQ(picker.SelectedBaseObject(), &bare);
  picker.SetSelectedBaseObject(nullptr);
  EXPECT_EQ(picker.SelectedBaseObject(), nullptr);
}

}  // namespace
}  // namespace pemar
