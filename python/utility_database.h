// The Python face of a utility database: one the package made and owns, or
// one a case holds, kept alive with the case object that lends it.

#ifndef PEMAR_PYTHON_UTILITY_DATABASE_H_
#define PEMAR_PYTHON_UTILITY_DATABASE_H_

#include <pybind11/pybind11.h>

#include <memory>

#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar::python {

class UtilityDatabase {
 public:
  // A new database with the library's defaults.
  UtilityDatabase();
  // `db` belongs to `owner`, which is kept alive as long as this object.
  UtilityDatabase(IDefaultUtilityManager* db, pybind11::object owner);

  IDefaultUtilityManager* get() const { return db_; }

 private:
  struct Release {
    void operator()(IDefaultUtilityManager* db) const {
      ReleaseDefaultUtilManager(db);
    }
  };
  std::unique_ptr<IDefaultUtilityManager, Release> owned_;
  IDefaultUtilityManager* db_;
  pybind11::object owner_;
};

}  // namespace pemar::python

#endif  // PEMAR_PYTHON_UTILITY_DATABASE_H_
