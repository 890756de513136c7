// Test support: tables of reference and check values kept as CSV files in
// pemar/numerics/testdata/. Lines starting with '#' are comments; a row
// belongs to table `name` when its first field is `name`, and its numbers
// are the fields after that up to the first that is not one (a note).

#ifndef PEMAR_NUMERICS_TESTING_CSVTABLE_H_
#define PEMAR_NUMERICS_TESTING_CSVTABLE_H_

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace pemar::test_support {

// The rows of table `name` in testdata file `file`. A missing file or table
// fails the current test naming it, and gives no rows.
inline std::vector<std::vector<double>> CsvTable(const std::string& file,
                                                 const std::string& name) {
  std::ifstream in(PEMAR_SOURCE_DIR "/pemar/numerics/testdata/" + file);
  std::vector<std::vector<double>> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(name + ",", 0) != 0) continue;
    std::istringstream fields(line.substr(name.size() + 1));
    rows.emplace_back();
    for (std::string f; std::getline(fields, f, ',');) {
      char* end = nullptr;
      const double value = std::strtod(f.c_str(), &end);
      if (f.empty() || *end != '\0') break;
      rows.back().push_back(value);
    }
  }
  EXPECT_FALSE(rows.empty()) << "no table " << name << " in " << file;
  return rows;
}

}  // namespace pemar::test_support

#endif  // PEMAR_NUMERICS_TESTING_CSVTABLE_H_
