#include "pemar/framework/Viewable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "pemar/framework/Document.h"
#include "pemar/framework/ObjectTypeInfo.h"

namespace pemar {
namespace {

const ObjectTypeInfo* ProbeType() {
  static ObjectTypeInfo* type =
      new ObjectTypeInfo("ViewableTestProbeObject", ViewableObjectType(),
                         "Probe", 0, 1, "probe", kEmptyMarker);
  return type;
}

// Records the deaths it hears of.
class Probe : public Viewable {
 public:
  explicit Probe(Viewable* owner, std::vector<Viewable*>* heard = nullptr)
      : Viewable(owner, ProbeType()), heard_(heard) {}
  ~Probe() override {
    if (destroyed_ != nullptr) ++*destroyed_;
  }
  void DisconnectDeadObject(Viewable* dying) override {
    if (heard_ != nullptr) heard_->push_back(dying);
    if (delete_on_notice_ != nullptr) {
      Viewable* victim = delete_on_notice_;
      delete_on_notice_ = nullptr;
      delete victim;
    }
  }
  std::vector<Viewable*>* heard_;
  int* destroyed_ = nullptr;
  Viewable* delete_on_notice_ = nullptr;
};

TEST(ObjectTypeInfoTest, RegistryFindsTypesAndKeepsFirstOfAName) {
  EXPECT_EQ(FindObjectType("ViewableObject"), ViewableObjectType());
  EXPECT_EQ(FindObjectType(Text("DocumentObject")), DocumentObjectType());
  EXPECT_EQ(FindObjectType(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(FindObjectType("NoSuchObject"), nullptr);
  ProbeType();
  {
    ObjectTypeInfo duplicate("ViewableTestProbeObject", nullptr, "", 0, 0, "",
                             kEmptyMarker);
    EXPECT_EQ(FindObjectType("ViewableTestProbeObject"), ProbeType());
  }
  // Destroying the duplicate did not take the first one out.
  EXPECT_EQ(FindObjectType("ViewableTestProbeObject"), ProbeType());
  {
    ObjectTypeInfo local("ViewableTestLocalObject", ProbeType(), "", 0, 0, "",
                         kEmptyMarker);
    EXPECT_EQ(FindObjectType("ViewableTestLocalObject"), &local);
    EXPECT_TRUE(local.IsA(ViewableObjectType()));
    EXPECT_TRUE(local.IsA(&local));
    EXPECT_FALSE(local.IsA(DocumentObjectType()));
    EXPECT_FALSE(local.IsA(nullptr));
  }
  EXPECT_EQ(FindObjectType("ViewableTestLocalObject"), nullptr);
  EXPECT_TRUE(DocumentObjectType()->IsA(ViewableObjectType()));
  EXPECT_EQ(ProbeType()->Identifier(), "probe");
  EXPECT_EQ(ProbeType()->Flag2(), 1);
  // The root type makes plain viewables.
  Viewable* plain = ViewableObjectType()->CreateInstance();
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(plain->IsA(ViewableObjectType()));
  delete plain;
}

// A postee may delete another postee while being told, which then hears
// nothing.
TEST(ViewableTest, DeathPosteeToldOnceWhateverItsCount) {
  std::vector<Viewable*> heard, heard_deleted;
  Probe listener(nullptr, &heard);
  Viewable* watched = new Viewable(nullptr, ViewableObjectType());
  watched->AddDeathPostee(&listener);
  watched->AddDeathPostee(&listener);
  watched->AddDeathPostee(nullptr);
  watched->AddDeathPostee(watched);
  EXPECT_EQ(watched->DeathPosteeRefCount(&listener), 2);
  watched->RemoveDeathPostee(&listener);
  EXPECT_EQ(watched->DeathPosteeRefCount(&listener), 1);
  Probe removed(nullptr, &heard);
  watched->AddDeathPostee(&removed);
  watched->RemoveDeathPostee(&removed);
  listener.delete_on_notice_ = new Probe(nullptr, &heard_deleted);
  watched->AddDeathPostee(listener.delete_on_notice_);
  delete watched;
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0], watched);
  EXPECT_TRUE(heard_deleted.empty());
}

TEST(ViewableTest, PosteeThatDiesFirstIsWithdrawn) {
  Viewable watched(nullptr, ViewableObjectType());
  Probe* listener = new Probe(nullptr);
  watched.AddDeathPostee(listener);
  // Only the address is asked about once the listener is gone.
  const auto address = reinterpret_cast<std::uintptr_t>(listener);
  delete listener;
  // Under the sanitizer a dangling postee would be caught when `watched`
  // dies at the end of the test.
  EXPECT_EQ(watched.DeathPosteeRefCount(reinterpret_cast<Probe*>(address)), 0);
}

// Deleting an owner hands its objects up; the document destroys the rest.
TEST(ViewableTest, DocumentRegistersAndDestroysItsObjects) {
  int destroyed = 0;
  auto* document = new Document(nullptr, DocumentObjectType());
  EXPECT_EQ(document->GetDocument(), document);
  Probe* a = new Probe(document);
  Probe* b = new Probe(a);
  Viewable* middle = new Viewable(document, ViewableObjectType());
  Probe* leaf = new Probe(middle);
  a->destroyed_ = b->destroyed_ = leaf->destroyed_ = &destroyed;
  EXPECT_EQ(leaf->GetDocument(), document);
  Viewable outside(nullptr, ViewableObjectType());
  EXPECT_EQ(outside.GetDocument(), nullptr);
  ObjectManager& objects = document->GetObjectManager();
  EXPECT_EQ(objects.Count(), 5u);
  EXPECT_EQ(objects.Objects().front(), document);
  EXPECT_EQ(objects.Objects(ProbeType()).size(), 3u);
  EXPECT_NE(objects.IdOf(a), 0u);
  EXPECT_EQ(objects.IdOf(&outside), 0u);
  delete middle;
  EXPECT_EQ(leaf->GetOwner(), document);
  EXPECT_EQ(objects.Count(), 4u);
  delete document;
  EXPECT_EQ(destroyed, 3);
}

TEST(ViewableTest, BaseProtocolAnswersAreNeutral) {
  Viewable v(nullptr, ViewableObjectType());
  v.SetName("Reactor");
  VarDescription desc("Units", 105);
  EXPECT_EQ(v.Value(desc), kEmptyValue);
  EXPECT_FALSE(v.Specify(desc, 1.0));
  EXPECT_EQ(v.TextValue(desc), "");
  EXPECT_FALSE(v.SpecifyText(desc, "x"));
  EXPECT_EQ(v.Message("Calculate"), 0);
  MessageInfo info;
  EXPECT_EQ(v.GenMessage(info), 0);
  EXPECT_EQ(v.AttachedObject(desc), nullptr);
  EXPECT_FALSE(v.AttachObject(&v, desc));
  DimInfo dims;
  EXPECT_FALSE(v.Dimensions(desc, dims));
  EXPECT_EQ(dims.Count(), 0u);
  EXPECT_EQ(v.AttachedName(&v), "Reactor");
  EXPECT_EQ(v.CastToClassType("IEngineeringManager"), nullptr);
}

}  // namespace
}  // namespace pemar
