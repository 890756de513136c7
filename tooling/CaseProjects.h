// The projects and notes of a case, and the case's summary, as the tool and
// the web application show and change them.
//
// The front ends register the library's plain notes project (type 701), so
// that people can keep projects and notes in a case without an analysis
// library. Texts read from a case may hold any bytes; the JSON built here
// keeps them as they are (dump with error_handler_t::replace).

#ifndef PEMAR_TOOLING_CASEPROJECTS_H_
#define PEMAR_TOOLING_CASEPROJECTS_H_

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/project/IPemarProject.h"

namespace pemar::tooling {

// Registers the notes project type and the front ends' features; safe to
// call again.
void RegisterCaseTypes();

// What the tool and the server say when asked to change a case read from a
// backup or temporary file (or one that asks for a name), whose save would
// write over the backups themselves.
std::string BackupCaseRefusal(const std::string& path);

// The case's project named `name`; null when none.
IPemarProject* FindProject(SimulationCase& doc, const std::string& name);
// Every project of the case, in the engineering manager's order.
std::vector<IPemarProject*> Projects(SimulationCase& doc);

// A new notes project named `name`; null when the case has one of that name
// already or it cannot be made. Empty `engineer` and `comments` are left
// unset. The engineering manager keeps the project.
IPemarProject* AddProject(SimulationCase& doc, const std::string& name,
                          const std::string& engineer,
                          const std::string& comments);

// Appends a note dated today; an empty `author` is left unset.
void AddNote(IPemarProject* project, const std::string& title,
             const std::string& text, const std::string& author);

// {"title", "text", "author", "date"} of the note at `index`.
nlohmann::ordered_json NoteJson(IPemarProject* project, int index);
// Every note as NoteJson gives it, in the project's order.
nlohmann::ordered_json NotesJson(IPemarProject* project);
// {"name", "engineer", "comments", "date", "notes"}.
nlohmann::ordered_json ProjectJson(IPemarProject* project);
// {"utilities", "names", "htc_defaults"} of the case's utility database;
// null when it has none (nothing is made).
nlohmann::ordered_json CaseUtilityJson(SimulationCase& doc);

// The summary of `case info --json`: the stored header of `path` (the file
// the case was read from), the save counter, the projects with their notes,
// the utility database and the features.
nlohmann::ordered_json CaseInfoJson(const std::string& path,
                                    SimulationCase& doc);

}  // namespace pemar::tooling

#endif  // PEMAR_TOOLING_CASEPROJECTS_H_
