#include "pemar/reports/ItemReport.h"

namespace pemar {

Createable* ItemReport::CreateInstance() const { return new ItemReport(); }

}  // namespace pemar
