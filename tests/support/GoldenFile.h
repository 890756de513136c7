// Test support: golden byte tables kept as data files beside the tests
// (pemar/<subsystem>/testdata/*.golden), written by hand from
// docs/file-format.md like the tables in test code: pairs of hex digits and
// 'quoted text' (see Bytes in GoldenBytes.h), with "#" starting a comment
// that runs to the end of its line, one field a line.

#ifndef PEMAR_TESTS_SUPPORT_GOLDENFILE_H_
#define PEMAR_TESTS_SUPPORT_GOLDENFILE_H_

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/GoldenBytes.h"

namespace pemar::test_support {

// The bytes of the table in `path`, relative to the source tree. A missing
// file fails the current test naming it, and gives no bytes.
inline std::string GoldenFile(const std::string& path) {
  std::ifstream in(std::string(PEMAR_SOURCE_DIR) + "/" + path);
  if (!in) {
    ADD_FAILURE() << "cannot read the golden file " << path;
    return std::string();
  }
  std::string table;
  for (std::string line; std::getline(in, line);) {
    // A '#' inside quoted text is text, not a comment.
    bool quoted = false;
    for (char c : line) {
      if (c == '\'') quoted = !quoted;
      if (c == '#' && !quoted) break;
      table += c;
    }
    table += ' ';
  }
  return Bytes(table);
}

}  // namespace pemar::test_support

#endif  // PEMAR_TESTS_SUPPORT_GOLDENFILE_H_
