#include "pemar/persist/PemarBaseObject.h"

#include <gtest/gtest.h>

namespace pemar {
namespace {

int g_destroyed = 0;

struct Counted : PemarBaseObject {
  ~Counted() override { ++g_destroyed; }
  const char* GetMyIdentifier() override { return "P"; }
};

// A copy counts its own references; releasing the last destroys. Only the
// base interface is answered.
TEST(PemarBaseObjectTest, ReleaseAtOneDestroysAndOnlyTheBaseIsAnswered) {
  g_destroyed = 0;
  auto* object = new Counted;
  EXPECT_EQ(object->AddRef() + object->AddRef(), 3);
  EXPECT_EQ(Counted(*object).RefCount(), 0);
  void* result = nullptr;
  EXPECT_EQ(object->QueryInterface(1, &result), kDone);
  EXPECT_EQ(result, static_cast<IPemarBaseObject*>(object));
  EXPECT_EQ(object->QueryInterface(0, &result), kNoInterface);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(object->QueryInterface(1, nullptr), kRejected);
  EXPECT_EQ(object->Release(), 1);
  EXPECT_EQ(g_destroyed, 1);  // the copy
  EXPECT_EQ(object->Release(), 0);
  EXPECT_EQ(g_destroyed, 2);
}

}  // namespace
}  // namespace pemar
