// Test support: a canonical text of everything a case keeps across a save,
// so that a case and its reopened copy can be compared line by line.
//
// The text covers the case's stored header fields and class data (save
// counter, bug report manager), every engineering object with, for
// projects, all fields and every note, and the utility database editor:
// its carbon-tracking selection and its database (every field of every
// utility in list order, the heat-transfer-coefficient defaults, the
// economic sets and parameters with their locks, the file names and the
// mode), and the feature manager (DescribeFeatures). Doubles are written
// exactly (hexadecimal), so equal texts mean equal bits; every NaN is written
// as "nan", since its sign and payload carry no meaning.
//
// Left out, because the file does not carry them: the document's name and
// modified flag, the fuel lists of the editor (rebuilt from the built-in
// tables), the database's own lock flag (its records' locks are kept), a
// utility's simulation flag (a utility taken over from a simulation is
// marked again by the simulation each session) and a project's scratch
// default-title text (no accessor reads it without changing it).
//
// The describers only read: they never create a manager, a view or a
// default note title. Free of GoogleTest, so fuzz targets can use it.

#ifndef PEMAR_CASE_TESTING_CASEMODEL_H_
#define PEMAR_CASE_TESTING_CASEMODEL_H_

#include <string>

namespace pemar {

class ExpMgrView;
class DefaultUtilManagerView;
class IDefaultUtilityManager;
class IPemarProject;
class SimulationCase;
}  // namespace pemar

namespace pemar::test_support {

std::string DescribeCase(SimulationCase& theCase);
// The feature manager: its instances (property tables with their rows), its
// lists and its technology managers' choices; null gives "(none)".
std::string DescribeFeatures(ExpMgrView* manager);
std::string DescribeProject(IPemarProject& project);
// A null view or database is described as absent.
std::string DescribeUtilityView(DefaultUtilManagerView* view);
std::string DescribeUtilityDatabase(IDefaultUtilityManager* database);

// Empty when the texts are equal; otherwise the number and both versions
// of the first line that differs.
std::string FirstDifference(const std::string& expected,
                            const std::string& actual);

}  // namespace pemar::test_support

#endif  // PEMAR_CASE_TESTING_CASEMODEL_H_
