// Test support: the fault loop for case saves.
//
// A save is run once on a counting file system, then once more for every
// file operation it made (write, sync of a file or its folder, close,
// rename, delete, open for writing), with that one operation failing.
// Whatever the case holds, a failed save must lose nothing the user had and
// must say so.

#ifndef PEMAR_CASE_TESTING_SAVEFAULTLOOP_H_
#define PEMAR_CASE_TESTING_SAVEFAULTLOOP_H_

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/case/testing/CaseTestSupport.h"

namespace pemar::test_support {

class SaveFaultTest : public CaseTest {
 protected:
  // Every file of the scratch folder by name, with its bytes.
  std::map<std::string, std::string> Snapshot() const;

  // Runs the fault loop on saves to "a.kcs". Before each run the folder is
  // emptied and `prepare` lays down the files the save starts from ("a.kcs"
  // among them); `makeCase` then builds, on the file system of the run, the
  // case to save, with "a.kcs" as its file name.
  //
  // After a run whose save succeeds, "a.kcs" reopens equal (DescribeCase)
  // to the case saved. After a failed one: the case is still modified and
  // its save counter unchanged; "a.kcs" keeps its bytes and reopens as it
  // did; the bytes of every earlier file are still in some file of the
  // folder, every file but the temporary one loads, and the failure was
  // reported as an error. Failures are reported through GoogleTest, with
  // the operation and its number.
  //
  // The case must be large enough for at least three writes. Returns the
  // number of runs whose save failed.
  int FailEachStepOfTheSave(
      const std::function<void()>& prepare,
      const std::function<std::unique_ptr<SimulationCase>()>& makeCase);
};

}  // namespace pemar::test_support

#endif  // PEMAR_CASE_TESTING_SAVEFAULTLOOP_H_
