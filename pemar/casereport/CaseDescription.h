// CaseDescription: a canonical text of everything a case keeps across a
// save, so that two cases (a case and its reopened copy, or a case file and
// its backup) can be compared line by line.
//
// The text covers the case's stored header fields and class data (save
// counter, bug report manager with every field of its reports), every
// engineering object with, for projects, all fields (the stored
// default-title text too) and every note, and the
// utility database editor: its carbon-tracking selection and its database
// (every field of every utility in list order, the heat-transfer-coefficient
// defaults, the economic sets and parameters with their locks, the file names
// and the mode), the feature manager (DescribeFeatures) and the design
// viewers (DescribeDesignViewers). Doubles are
// written exactly (hexadecimal), so equal texts mean equal bits; every NaN is
// written as "nan", since its sign and payload carry no meaning.
//
// Plot views and named plots, with their data sets and the points these
// give, are described by DescribeDocumentPlots (pemar/diag/
// PlotDescription.h); a case without them gets no line.
//
// Left out, because the file does not carry them: the document's name and
// modified flag, the fuel lists of the editor (rebuilt from the built-in
// tables), the database's own lock flag (its records' locks are kept), a
// utility's simulation flag (a utility taken over from a simulation is
// marked again by the simulation each session).
//
// The describers only read: they never create a manager, a view or a
// default note title. They take the case and its parts as they are; a null
// part is described as absent. Not thread-safe, like the case itself.

#ifndef PEMAR_CASEREPORT_CASEDESCRIPTION_H_
#define PEMAR_CASEREPORT_CASEDESCRIPTION_H_

#include <string>

#include "pemar/framework/Export.h"

namespace pemar {

class ExpMgrView;
class DefaultUtilManagerView;
class IDefaultUtilityManager;
class IPemarProject;
class SimulationCase;

PEMAR_EXPORT std::string DescribeCase(SimulationCase& theCase);
// The same, written over `*text`: a caller that describes many cases in
// turn keeps one string, and so its storage.
PEMAR_EXPORT void DescribeCase(SimulationCase& theCase, std::string* text);
// The feature manager: its instances (property tables with their rows), its
// lists and its technology managers' choices; null gives "(none)".
PEMAR_EXPORT std::string DescribeFeatures(ExpMgrView* manager);
PEMAR_EXPORT std::string DescribeProject(IPemarProject& project);
// Every design viewer view of the case, in object order: its project or
// scenario, its owning or creating view, and its entries with the current
// one.
PEMAR_EXPORT std::string DescribeDesignViewers(SimulationCase& theCase);
// A null view or database is described as absent.
PEMAR_EXPORT std::string DescribeUtilityView(DefaultUtilManagerView* view);
PEMAR_EXPORT std::string DescribeUtilityDatabase(
    IDefaultUtilityManager* database);

// Empty when the texts are equal; otherwise the number and both versions
// of the first line that differs.
PEMAR_EXPORT std::string FirstDifference(const std::string& expected,
                                         const std::string& actual);

}  // namespace pemar

#endif  // PEMAR_CASEREPORT_CASEDESCRIPTION_H_
