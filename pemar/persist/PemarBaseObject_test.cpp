#include "pemar/persist/PemarBaseObject.h"

#include <gtest/gtest.h>

#include <string>

namespace pemar {
namespace {

int g_destroyed = 0;

class Named : public PemarBaseObject {
 public:
  explicit Named(const char* name) : name_(name ? name : "") {}
  ~Named() override { ++g_destroyed; }
  const char* GetMyIdentifier() override { return name_.c_str(); }
  // Registration is protected: a library registers its own classes.
  using PemarBaseObject::Register;

 private:
  std::string name_;
};

// A copy counts its own references; releasing the last destroys.
TEST(PemarBaseObjectTest, ReleaseAtOneDestroysAndReturnsZero) {
  g_destroyed = 0;
  auto* object = new Named("P");
  EXPECT_EQ(object->RefCount(), 0);
  EXPECT_EQ(object->AddRef(), 1);
  EXPECT_EQ(object->AddRef(), 2);
  Named copy(*object);
  EXPECT_EQ(copy.RefCount(), 0);
  EXPECT_EQ(object->Release(), 1);
  EXPECT_EQ(g_destroyed, 0);
  EXPECT_EQ(object->Release(), 0);
  EXPECT_EQ(g_destroyed, 1);
}

TEST(PemarBaseObjectTest, QueryInterfaceAnswersOnlyTheBase) {
  Named object("P");
  void* result = nullptr;
  EXPECT_EQ(object.QueryInterface(1, &result), kDone);
  EXPECT_EQ(result, static_cast<IPemarBaseObject*>(&object));
  EXPECT_EQ(object.QueryInterface(0, &result), kNoInterface);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(object.QueryInterface(1, nullptr), kRejected);
}

TEST(PemarBaseObjectTest, FirstRegistrationWins) {
  Named::Register(90001, [](const char* name, IEngineeringManager*) {
    return static_cast<IPemarBaseObject*>(new Named(name));
  });
  Named::Register(90001, [](const char*, IEngineeringManager*) {
    return static_cast<IPemarBaseObject*>(new Named("second"));
  });
  IPemarBaseObject* made = IPemarBaseObject::Create(90001, nullptr, "Made");
  ASSERT_NE(made, nullptr);
  EXPECT_STREQ(made->GetMyIdentifier(), "Made");
  delete made;
  EXPECT_EQ(IPemarBaseObject::Create(90002, nullptr, "x"), nullptr);
}

}  // namespace
}  // namespace pemar
