// ItemReport: a report item as a framework node, with the title of its table
// and a report type. It keeps no relations to other nodes: every relation
// and traversal operation does nothing and answers null or 0.

#ifndef PEMAR_REPORTS_ITEMREPORT_H_
#define PEMAR_REPORTS_ITEMREPORT_H_

#include "pemar/framework/Export.h"
#include "pemar/framework/Navigable.h"
#include "pemar/framework/Text.h"

namespace pemar {

class PEMAR_EXPORT ItemReport : public Navigable {
 public:
  static constexpr int kClassNumber = 6;

  int GetClass() const override { return kClassNumber; }
  // A new, empty ItemReport.
  Createable* CreateInstance() const override;

  int AddRelation(Navigable*) override { return 0; }
  int RemoveRelation(Navigable*) override { return 0; }
  Navigable* CreateNode() override { return nullptr; }
  Navigable* GetRoot() override { return nullptr; }
  Navigable* TraverseStep(Navigable*) override { return nullptr; }
  Navigable* GetFirstRelatedNode() override { return nullptr; }

  const CVString& _get_strTableTitle() const { return table_title_; }
  void _set_strTableTitle(const CVString& title) { table_title_ = title; }
  short _get_nReportType() const { return report_type_; }
  void _set_nReportType(short type) { report_type_ = type; }

 private:
  CVString table_title_;
  short report_type_ = 0;
};

}  // namespace pemar

#endif  // PEMAR_REPORTS_ITEMREPORT_H_
