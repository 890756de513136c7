// BugReportManager: the problem reports of one case.
//
// A case makes its manager with the command "BugReportMgr" (owned by the
// case, named "BugReportManager") and stores it with its framework objects.
// The manager owns an ordered list of reports (BugReport.h) and deletes
// them with itself; it hears of the death of each, so a report deleted by
// anyone leaves the list.
//
// Variables and commands (the framework protocol):
//   - "NewBugReport": a new report named "Report" followed by (number of
//     reports + 1) is appended and its view opened;
//   - "BugReport.200" (the report type, number 200): Dimensions gives the
//     number of reports; AttachedObject the report at the offset position
//     (null outside the list), or what that report attaches through the
//     description's next link. AttachedName of a listed report is
//     "BugReport.200.<position>", counting from 0.
//
// Class data, type version 2 (docs/file-format.md, "Problem reports"): the
// number of reports, then per report its fields, after filling its empty
// entries (BugReport::FillEmptyEntries). Version 1, as older programs wrote
// it (a store writes it while the type's class-data version is set to 1),
// lacks the program version and system details; a recall of it leaves those
// as a new report has them. A count that the rest of the record cannot hold
// fails the recall before anything is made; a report whose record does not
// read wholly is deleted and fails the recall, the reports read before it
// staying listed.

#ifndef PEMAR_REPORTS_BUGREPORTMANAGER_H_
#define PEMAR_REPORTS_BUGREPORTMANAGER_H_

#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class BinaryFile;
class BugReport;

// "BugReportManagerObject", class name "BugReportManager", identifier
// "bugmgr", type version 2.
PEMAR_EXPORT const ObjectTypeInfo* BugReportManagerObjectType();
inline constexpr int kBugReportManagerVersion = 2;

class PEMAR_EXPORT BugReportManager : public Viewable {
 public:
  // A new, empty manager in `owner` (normally the case), named
  // "BugReportManager".
  explicit BugReportManager(Viewable* owner);
  // The manager that a recall fills.
  explicit BugReportManager(ObjectInstanceInfo& info);
  ~BugReportManager() override;

  const std::vector<BugReport*>& Reports() const { return reports_; }
  // The report whose view name is `title`; null when none (or for null).
  BugReport* FindReport(const char* title) const;
  // Appends a new report named "Report<count + 1>" and returns it (owned by
  // the manager).
  BugReport* NewReport();

  int Message(const Text& command) override;
  Viewable* AttachedObject(const VarDescription& desc) override;
  unsigned char Dimensions(const VarDescription& desc, DimInfo& dims) override;
  Text AttachedName(Viewable* object) override;
  void DisconnectDeadObject(Viewable* dying) override;

  // For the type's class-data hooks. A store writes the layout of the
  // type's class-data version; a recall reads that of `version` (below 2:
  // version 1).
  unsigned char StoreClassData(BinaryFile& file);
  unsigned char RecallClassData(BinaryFile& file, int version);

 private:
  // Takes ownership of `report` and lists it last.
  void Append(BugReport* report);

  std::vector<BugReport*> reports_;
};

}  // namespace pemar

#endif  // PEMAR_REPORTS_BUGREPORTMANAGER_H_
