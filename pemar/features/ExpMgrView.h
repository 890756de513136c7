// ExpMgrView: the feature manager of one case.
//
// Each case holds one, as its manager named "FeatureManager" (built on first
// use through the builder table, CaseManagers.h). It creates feature
// instances through the feature registry (FeatureRegistry.h), gives them
// unique names, files them in instance lists, and offers one technology
// manager (TechnologyManagerView.h) per registered technology.
//
// Instance lists: a list name is a feature key or "All " followed by a
// technology; filing an instance under a key puts it in the key's list, in
// its technology's "All" list and in the list of all instances, each once.
//
// Ownership: the manager owns its technology managers and its instances. It
// hears of the death of each (death postee), so an instance deleted by
// anyone leaves every list; its destructor deletes what is still listed.
// All objects live in the case's object manager and are stored with it; the
// class data (docs/file-format.md) holds the lists as object pointers, in
// type version 2 and, for files of older programs, version 1.
//
// Messages to the user are the framework's ("UnsupportedFeature",
// "FailedToCreateFeature", with the key as argument). Positional lookups
// outside a list give null. Null keys and names find nothing.

#ifndef PEMAR_FEATURES_EXPMGRVIEW_H_
#define PEMAR_FEATURES_EXPMGRVIEW_H_

#include <map>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class BinaryFile;
class Document;
class SimulationCase;
class TechnologyManagerView;

// "ExpMgrViewObject", class name "ExpMgrView", type version 2.
PEMAR_EXPORT const ObjectTypeInfo* ExpMgrViewObjectType();
inline constexpr int kExpMgrViewVersion = 2;

class ExpMgrView;
// The feature manager that `document` (a case) holds, never building one;
// null for a null document, one that is not a case, or a case that has none
// yet (CaseBuildManager(document, "FeatureManager") builds it).
PEMAR_EXPORT ExpMgrView* CaseFeatureManager(Document* document);

class PEMAR_EXPORT ExpMgrView : public Viewable {
 public:
  // A new manager under `parent` (normally the case), with one technology
  // manager per registered technology.
  explicit ExpMgrView(Viewable* parent);
  // The manager that a recall fills.
  explicit ExpMgrView(ObjectInstanceInfo& info);
  ~ExpMgrView() override;

  // The builder of the "FeatureManager" entry of the builder table.
  static Viewable* BuildExperimentManager(SimulationCase* parent,
                                          const char* name);

  // The key's display name followed by the smallest n >= 1 that no instance
  // bears; empty for an unregistered key.
  Text CreateUniqueName(const char* key) const;
  // True when no instance bears `name`.
  bool UniqueName(const Text& name) const;

  // A new instance of `key` under `parent`, named uniquely; null (with the
  // message) when the configuration does not list the key or its builder
  // fails. Not filed.
  Viewable* CreateFeature(const char* key, Viewable* parent);
  // Files `instance` under `key`; a null instance is first created (owned
  // by this manager) and its view opened. Returns the instance, null when
  // none could be made.
  Viewable* AddExperiment(const char* key, Viewable* instance);
  // Files an existing instance; creates and opens nothing.
  Viewable* AddExperimentOldCS(const char* key, Viewable* instance);

  int GetNumberExperiments(const char* key) const;
  // The instance of the list whose name is `name`; null when none.
  Viewable* GetExperiment(const char* key, const char* name) const;
  // The i-th instance of the list; null outside 0 to count - 1.
  Viewable* GetIthExperiment(int i, const char* key) const;
  // Deletes the instance GetExperiment finds; false when there is none.
  bool DeleteView(const char* key, const char* name);
  // Takes `object` off every list without deleting it.
  void DisconnectView(Viewable* object);
  void DisconnectDeadObject(Viewable* dying) override;

  // "CreateFeature <key>" adds an instance of the key.
  int Message(const Text& command) override;
  int ViewNotification(int kind, int task, const Text& text) override;
  double Value(const VarDescription& desc) override;
  Viewable* AttachedObject(const VarDescription& desc) override;
  Text AttachedName(Viewable* object) override;

  const std::vector<Viewable*>& AllInstances() const { return all_; }
  const std::vector<TechnologyManagerView*>& TechnologyManagers() const {
    return technology_managers_;
  }
  // The instance list names, in name order.
  std::vector<Text> ListNames() const;
  // The list of that name; null when there is none.
  const std::vector<Viewable*>* InstanceList(const char* name) const;
  // The technology manager whose view name is `viewName`; null when none.
  TechnologyManagerView* FindTechnologyManager(const Text& viewName) const;

  // For the type's class-data hooks. A store writes the layout of the
  // type's class-data version (2, or 1 as older programs wrote it).
  unsigned char StoreClassData(BinaryFile& file);
  unsigned char RecallClassData(BinaryFile& file, int version);
  void RecallFixUp();

 private:
  void CreateTechnologyManagers();
  void File(const Text& listName, Viewable* instance);
  void Connect(Viewable* object);
  // Whether a recalled pointer may be listed (and so, one day, deleted) as
  // an instance of this manager.
  bool MayHoldInstance(Viewable* object) const;
  unsigned char RecallVersion2(BinaryFile& file);
  unsigned char RecallVersion1(BinaryFile& file);

  std::map<Text, std::vector<Viewable*>> lists_;
  std::vector<TechnologyManagerView*> technology_managers_;
  std::vector<Viewable*> all_;
  // A version-1 file has no technology managers: they are made at fix-up.
  bool create_technology_managers_ = false;
};

}  // namespace pemar

#endif  // PEMAR_FEATURES_EXPMGRVIEW_H_
