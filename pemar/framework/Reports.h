// Reports: the framework's report manager, its reports and their details.
//
// A document has one ReportManager (Document::GetReportManager), a framework
// object of type "ReportManagerObject" owned by the document. The manager
// makes named Reports (type "ReportObject"), which it owns: they are
// framework objects owned by the manager, so inside a document they are
// stored, recalled and destroyed with it. Reports also die with their
// manager. A report holds DatasheetDetails, each showing one data source
// object; the report owns its details.
//
// This stand-in prints nothing. It records what a test needs to see: the
// names of the reports created, and for every print the report's name, its
// flag and the manager's printing flag at that moment, and the data sources
// of its details in order.
//
// Only the manager and the reports are stored with a document (the print
// flag of each report); details are not, as they only live during a print.

#ifndef PEMAR_FRAMEWORK_REPORTS_H_
#define PEMAR_FRAMEWORK_REPORTS_H_

#include <cstddef>
#include <memory>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class ReportManager;

// One part of a report: a datasheet of one object.
class PEMAR_EXPORT DatasheetDetail {
 public:
  DatasheetDetail() = default;
  DatasheetDetail(const DatasheetDetail&) = delete;
  DatasheetDetail& operator=(const DatasheetDetail&) = delete;

  // The object shown (not owned; may be null). Set it before the detail is
  // inserted: a report clears the sources of its details when they die,
  // which it can only do for the sources they had when inserted.
  void SetDataSource(Viewable* source) { source_ = source; }
  Viewable* DataSource() const { return source_; }

 private:
  Viewable* source_ = nullptr;
};

class PEMAR_EXPORT Report : public Viewable {
 public:
  // A new report owned by `manager` (which may be null for a report on its
  // own), named `name`. ReportManager::CreateReport is the usual way.
  Report(ReportManager* manager, const Text& name);
  // The report that a recall fills.
  explicit Report(ObjectInstanceInfo& info);
  ~Report() override;

  // The manager that owns the report; null when its owner is not one.
  ReportManager* Manager() const;

  // Adds `detail` at the end and takes ownership of it. Null is ignored.
  void InsertDetail(DatasheetDetail* detail);
  std::size_t DetailCount() const { return details_.size(); }
  // The i-th detail (owned by the report); null past the end.
  DatasheetDetail* Detail(std::size_t i) const;

  bool PrintFlag() const { return print_flag_; }
  void SetPrintFlag(bool flag) { print_flag_ = flag; }

  // Prints the report: counts the print and has the manager record it.
  void PrintReport();
  int TimesPrinted() const { return times_printed_; }

  // A data source that dies leaves its details with a null source.
  void DisconnectDeadObject(Viewable* dying) override;

 private:
  std::vector<std::unique_ptr<DatasheetDetail>> details_;
  bool print_flag_ = false;
  int times_printed_ = 0;
};

class PEMAR_EXPORT ReportManager : public Viewable {
 public:
  // What one print showed.
  struct PrintRecord {
    Text report;
    bool report_flag = false;       // the report's PrintFlag when printed
    bool manager_printing = false;  // the manager's IsPrinting when printed
    // The data sources of the details, in order (null where a detail had
    // none). Only for comparison: the objects may have died since.
    std::vector<const Viewable*> sources;
    std::vector<Text> source_names;
  };

  // A new manager owned by `owner` (a document, usually; may be null).
  explicit ReportManager(Viewable* owner);
  // The manager that a recall fills.
  explicit ReportManager(ObjectInstanceInfo& info);
  // Destroys the reports it still owns.
  ~ReportManager() override;

  // A new report named `name`, owned by the manager; valid until it or the
  // manager is destroyed. Null for an empty name and while the manager
  // refuses reports.
  Report* CreateReport(const Text& name);
  // Makes CreateReport answer null (for tests of callers).
  void SetRefuseReports(bool refuse) { refuse_reports_ = refuse; }
  bool RefusesReports() const { return refuse_reports_; }

  // Set while the manager prints.
  void SetPrinting(bool printing) { printing_ = printing; }
  bool IsPrinting() const { return printing_; }

  // The reports it owns now, oldest first.
  const std::vector<Report*>& Reports() const { return reports_; }

  // What happened, for tests: names of the reports made (in order, also of
  // those destroyed since) and one record per print.
  const std::vector<Text>& CreatedReportNames() const { return created_; }
  const std::vector<PrintRecord>& PrintedReports() const { return printed_; }
  void RecordPrint(PrintRecord record) {
    printed_.push_back(std::move(record));
  }

  void DisconnectDeadObject(Viewable* dying) override;

 private:
  friend class Report;
  void Adopt(Report* report);

  std::vector<Report*> reports_;
  bool refuse_reports_ = false;
  bool printing_ = false;
  std::vector<Text> created_;
  std::vector<PrintRecord> printed_;
};

// The type itself, or the nearest type above it, whose objects have a
// report (ObjectTypeInfo::HasReport); null when none has or for null.
PEMAR_EXPORT const ObjectTypeInfo* GetClosestTypeWithReport(
    const ObjectTypeInfo* type);

// "ReportManagerObject" (base: the viewable type) and "ReportObject" (base:
// the viewable type). Both recall.
PEMAR_EXPORT const ObjectTypeInfo* ReportManagerObjectType();
PEMAR_EXPORT const ObjectTypeInfo* ReportObjectType();

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_REPORTS_H_
