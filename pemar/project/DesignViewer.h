// The design viewer: an engineering project shown as a three-level tree of
// framework views.
//
//   DesignViewerProject    the project (IPemarProject), one per tree
//     DesignViewerScenario one per scenario of the project (IPemarScenario)
//       DesignViewerDesign one per design of the scenario
//
// Each of the two upper views keeps an ordered list of the views one level
// down and a current entry for the framework's forms, and answers the
// indexed attached-object variables through which the forms reach them:
// "DesignViewerScenario.200.<position>(<name>)" on a project view and
// "DesignViewerDesign.200.<position> (<name>)" on a scenario view.
//
// Ownership. A view owns the entries of its list: destroying it destroys
// them. It hears of their deaths (death postees), so an entry deleted by
// anyone else leaves the list, and the current entry, at once. The current
// entry is always a listed one, or none. Removing an entry with
// RemoveScEntry hands it to the caller (inside a document, the document's
// objects still hold it); RemoveDesignEntry destroys the design.
//
// Engineering project. Inside a case, a project view holds one reference to
// its project, counted in the case's engineering manager (found as the
// document's class "IEngineeringManager"): the constructor adds it and the
// destructor gives it back with RemoveEngObject. A recalled project or
// scenario view holds the reference that resolving its stored project name
// added. When the manager is already gone (a case destroys its manager
// before its framework objects), the views neither give anything back nor
// touch the project: the manager has destroyed it. Outside any document the
// project and scenarios are only borrowed. The engineering scenario of a
// scenario view is always borrowed from its project.
//
// Stored form: the class data of the three object types, version 1
// (docs/file-format.md). References to the project and scenario are stored
// by name; outside a case, where no manager could resolve a name, they are
// stored as null references, so that a plain document with a viewer reopens
// (with views that have no project). References to views are stored as
// object ids of the same document, so a listed view must belong to the
// viewer's document: AddDesignEntry refuses any other. A
// recall treats the file as untrusted: counts that the record cannot hold
// fail, null and repeated entries and entries that own the listing view are
// skipped, and a current entry that is not listed is dropped.
//
// Positions and indexes run from 0; an index outside 0 to count - 1 is
// ignored by the setters and removers and gives null from the getters.

#ifndef PEMAR_PROJECT_DESIGNVIEWER_H_
#define PEMAR_PROJECT_DESIGNVIEWER_H_

#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class BinaryFile;
class DesignViewerDesign;
class DesignViewerScenario;
class IPemarBaseObject;
class IPemarProject;
class IPemarScenario;

// "DesignViewerProjectObject", "DesignViewerScenarioObject" and
// "DesignViewerDesignObject" (class names without "Object"), children of the
// viewable type with flags 0 and 1 and no identifier; class data version 1.
PEMAR_EXPORT const ObjectTypeInfo* DesignViewerProjectObjectType();
PEMAR_EXPORT const ObjectTypeInfo* DesignViewerScenarioObjectType();
PEMAR_EXPORT const ObjectTypeInfo* DesignViewerDesignObjectType();

// The variable number of the entry lists ("DesignViewerScenario.200",
// "DesignViewerDesign.200").
inline constexpr int kDesignViewerEntriesNumber = 200;

using ScenarioViewList = std::vector<DesignViewerScenario*>;
using DesignViewList = std::vector<DesignViewerDesign*>;

class PEMAR_EXPORT DesignViewerProject : public Viewable {
 public:
  // A view named `name` under `parent` for `project` (may be null), with a
  // first scenario entry named `firstScenario`.
  DesignViewerProject(Viewable* parent, const Text& name,
                      const Text& firstScenario, IPemarProject* project);
  // The view that a recall fills.
  explicit DesignViewerProject(ObjectInstanceInfo& info);
  ~DesignViewerProject() override;

  IPemarProject* GetProject() const { return project_; }

  // Makes a scenario view named `name` under this view for the project's
  // scenario of that name (none when the project has none), appends it and
  // makes it current.
  void AddScenEntry(const Text& name);
  // Takes the entry at `index` off the list without destroying it; then the
  // first remaining entry, if any, becomes current.
  void RemoveScEntry(int index);
  void SetCurrentScenario(int index);
  DesignViewerScenario* GetScenario(int index) const;
  DesignViewerScenario* GetCurrentScenario() const { return current_; }
  ScenarioViewList ScenariosVal() const { return scenarios_; }
  // The position of the first entry named `name` among as many entries as
  // the project has scenarios; 0 when none matches (and without a project).
  int FindMatch(const Text& name);

  // Number 200 of the scenario type: one dimension, the project's scenario
  // count.
  unsigned char Dimensions(const VarDescription& desc, DimInfo& dims) override;
  // The view itself for a description flagged as such; the scenario entry
  // at the description's position (its index when it has none) for a
  // variable of the scenario type; then the next link, if any, is asked of
  // that object.
  Viewable* AttachedObject(const VarDescription& desc) override;
  // "DesignViewerScenario.200.<FindMatch>(<name>)" for a scenario view.
  Text AttachedName(Viewable* object) override;
  void DisconnectDeadObject(Viewable* dying) override;

  // For the type's class-data hooks; non-zero on success.
  unsigned char StoreClassData(BinaryFile& file);
  unsigned char RecallClassData(BinaryFile& file);

 private:
  void Append(DesignViewerScenario* entry);

  IPemarProject* project_ = nullptr;
  DesignViewerScenario* current_ = nullptr;
  ScenarioViewList scenarios_;
  // Whether this view holds a counted reference to project_.
  bool counted_ = false;
};

class PEMAR_EXPORT DesignViewerScenario : public Viewable {
 public:
  // A view named `name` under `parent`, listed by `owner` (may be null),
  // for `scenario` (borrowed; may be null).
  DesignViewerScenario(DesignViewerProject* owner, Viewable* parent,
                       const Text& name, IPemarScenario* scenario);
  explicit DesignViewerScenario(ObjectInstanceInfo& info);
  ~DesignViewerScenario() override;

  // The project view that lists this one; null once it is destroyed.
  DesignViewerProject* OwningView() const { return owner_; }
  // The project a recall resolved; null for a view made new.
  IPemarBaseObject* GetEngineeringProject() const { return project_; }
  IPemarScenario* GetmyScenario() const { return scenario_; }
  void SetEngineeringScenario(IPemarScenario* scenario) {
    scenario_ = scenario;
  }

  // Makes a design view named `name` under this view, appends it and makes
  // it current.
  void AddDesignEntry(const Text& name);
  // Makes `design` current and appends it unless listed; the view owns it
  // from then on. Null, and a design of another document than this view's
  // (or of none when this view is in one), are ignored.
  void AddDesignEntry(DesignViewerDesign* design);
  // Destroys the entry at `index`; then the first remaining entry, if any,
  // becomes current.
  void RemoveDesignEntry(int index);
  void SetCurrentDesign(int index);
  DesignViewerDesign* GetDesign(int index) const;
  DesignViewerDesign* GetCurrentDesign() const { return current_; }
  DesignViewList GetDesignObjs() const { return designs_; }
  // As FindMatch, counting the scenario's designs; -1 when none matches.
  int FindDesignMatch(const Text& name);

  // Number 200 of the design type: one dimension, the number of entries.
  unsigned char Dimensions(const VarDescription& desc, DimInfo& dims) override;
  Viewable* AttachedObject(const VarDescription& desc) override;
  // "DesignViewerDesign.200.<FindDesignMatch> (<name>)" for a design view.
  Text AttachedName(Viewable* object) override;
  void DisconnectDeadObject(Viewable* dying) override;

  unsigned char StoreClassData(BinaryFile& file);
  unsigned char RecallClassData(BinaryFile& file);

 private:
  void Append(DesignViewerDesign* entry);
  void SetOwner(DesignViewerProject* owner);

  DesignViewerProject* owner_ = nullptr;
  IPemarBaseObject* project_ = nullptr;
  IPemarScenario* scenario_ = nullptr;
  DesignViewerDesign* current_ = nullptr;
  DesignViewList designs_;
  bool counted_ = false;
};

class PEMAR_EXPORT DesignViewerDesign : public Viewable {
 public:
  // A view named `name` of `type` (normally DesignViewerDesignObjectType())
  // under `parent`, made by `creator` (may be null).
  DesignViewerDesign(DesignViewerScenario* creator, Viewable* parent,
                     const Text& name, const ObjectTypeInfo* type);
  explicit DesignViewerDesign(ObjectInstanceInfo& info);
  ~DesignViewerDesign() override;

  // The creator; null once it is destroyed.
  DesignViewerScenario* GetCreator() const { return creator_; }
  void DisconnectDeadObject(Viewable* dying) override;

  unsigned char StoreClassData(BinaryFile& file);
  unsigned char RecallClassData(BinaryFile& file);

 private:
  void SetCreator(DesignViewerScenario* creator);

  DesignViewerScenario* creator_ = nullptr;
};

}  // namespace pemar

#endif  // PEMAR_PROJECT_DESIGNVIEWER_H_
