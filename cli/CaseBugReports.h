// pemar case bugreport: the problem reports of a case from the command line.
//
//   bugreport add FILE --title T [--by NAME] [--area A]
//                 [--description TEXT | --description-file F]
//                 [--class bug|enhancement] [--priority high|medium|low]
//                 [--reproducibility always|sometimes|never] [--backups N]
//   bugreport list FILE [--json]
//   bugreport write FILE TITLE OUT   (the report's text file, byte for byte)
//
// A new report is dated today and carries the tool's version and this
// system's details. Adding saves the case through its own save, like the
// other case commands.

#ifndef PEMAR_CLI_CASEBUGREPORTS_H_
#define PEMAR_CLI_CASEBUGREPORTS_H_

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>
#include <string>

#include "pemar/case/SimulationCase.h"

namespace pemar::cli {

// Work on an opened case: the empty text on success, else what failed (the
// caller adds the library's reasons). Sets `changed` when the case must be
// saved.
using CaseWork = std::function<std::string(SimulationCase& doc, bool& changed)>;
// Opens `file`, runs the work and saves a changed case keeping `backups`
// backups when given; prints why when any step fails. An exit code.
using WithCase = std::function<int(
    const std::string& file, std::optional<int> backups, const CaseWork& work)>;

// Adds the "bugreport" subcommands to the "case" command.
void AddBugReportCommands(CLI::App& caseCommand, int& exitCode,
                          const WithCase& withCase);

}  // namespace pemar::cli

#endif  // PEMAR_CLI_CASEBUGREPORTS_H_
