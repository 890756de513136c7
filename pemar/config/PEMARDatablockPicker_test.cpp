#include "pemar/config/PEMARDatablockPicker.h"

#include <gtest/gtest.h>

namespace pemar {
namespace {

// A view that stands for another object through "Viewable.1000".
class StandInView : public Viewable {
 public:
  explicit StandInView(Viewable* model)
      : Viewable(nullptr, nullptr), model_(model) {}
  Viewable* AttachedObject(const VarDescription& desc) override {
    return desc.VariableIs("Viewable") && desc.Number() == 1000 ? model_
                                                                : nullptr;
  }

 private:
  Viewable* model_;
};

TEST(PEMARDatablockPickerTest, SelectsTheAttachedObjectElseThePickedOne) {
  Viewable model(nullptr, nullptr);
  StandInView view(&model);
  StandInView bare(nullptr);
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
