// The projects of the case and their notes.
//
//   GET    /api/case/projects                         every project, with notes
//   POST   /api/case/projects                         {"name", "engineer"?,
//                                                      "description"?}
//   POST   /api/case/projects/{project}/notes         {"title", "text",
//                                                      "author"?}
//   PATCH  /api/case/projects/{project}/notes/{title} {"text"?, "title"?,
//                                                      "author"?}
//   DELETE /api/case/projects/{project}/notes/{title} {}
//
// A note is named by its title, as the project finds it: the first note of
// that title (a note without a title of its own answers to its default
// title, "Note - 2"). Titles need not be unique; a note added with a title
// the project has already is kept, and the first of them is the one a
// title reaches.

#include <string>

#include "pemar/case/SimulationCase.h"
#include "tooling/CaseProjects.h"
#include "web/CaseRoutes.h"

namespace pemar::web {
namespace case_notes {
namespace {

// The project the route names; null, with `error` set to the 404 (or the
// case's absence), when there is none.
IPemarProject* RouteProject(ApiCall& call, std::optional<Response>& error) {
  SimulationCase* doc = OpenCase(call, error);
  if (doc == nullptr) return nullptr;
  IPemarProject* project = tooling::FindProject(*doc, call.params[0]);
  if (project == nullptr) error = NotFound("project", call.params[0]);
  return project;
}

// The position of the first note titled as the route says; -1, with
// `error` set to the 404, when there is none.
int RouteNote(ApiCall& call, IPemarProject* project,
              std::optional<Response>& error) {
  const std::string& title = call.params[1];
  int index = -1;
  project->SetNoteCount(title.c_str(), index);
  const char* found = index >= 0 ? project->GetNoteTitle(index) : nullptr;
  if (found == nullptr || title != found) {
    error = NotFound("note", title);
    return -1;
  }
  return index;
}

Response ProjectAnswer(ApiCall& call, IPemarProject* project) {
  return call.Reply({{"project", tooling::ProjectJson(project)}});
}

Response ListProjects(ApiCall& call) {
  std::optional<Response> missing;
  SimulationCase* doc = OpenCase(call, missing);
  if (doc == nullptr) return *missing;
  Json list = Json::array();
  for (IPemarProject* p : tooling::Projects(*doc)) {
    list.push_back(tooling::ProjectJson(p));
  }
  return call.Reply({{"projects", list}});
}

Response AddProject(ApiCall& call) {
  std::optional<Response> error;
  SimulationCase* doc = OpenCase(call, error);
  if (doc == nullptr) return *error;
  if (auto bad = CheckMembers(call.body, {"name", "engineer", "description"},
                              {"name"})) {
    return *bad;
  }
  const auto name = TextMember(call.body, "name", error);
  const auto engineer = TextMember(call.body, "engineer", error);
  const auto description = TextMember(call.body, "description", error);
  if (error) return *error;
  if (name->empty()) return BadRequest("a project needs a name");
  if (tooling::FindProject(*doc, *name) != nullptr) {
    return call.Refused("the case already has a project named \"" + *name +
                        "\"");
  }
  IPemarProject* project = tooling::AddProject(
      *doc, *name, engineer.value_or(""), description.value_or(""));
  if (project == nullptr) {
    return call.Refused("cannot make the project \"" + *name + "\"");
  }
  return ProjectAnswer(call, project);
}

Response AddNote(ApiCall& call) {
  if (auto bad = CheckMembers(call.body, {"title", "text", "author"},
                              {"title", "text"})) {
    return *bad;
  }
  std::optional<Response> error;
  const auto title = TextMember(call.body, "title", error);
  const auto text = TextMember(call.body, "text", error);
  const auto author = TextMember(call.body, "author", error);
  if (error) return *error;
  IPemarProject* project = RouteProject(call, error);
  if (project == nullptr) return *error;
  tooling::AddNote(project, *title, *text, author.value_or(""));
  // The new note alone: a project may hold thousands, and the pages fetch
  // the list again when they hear of the change.
  const int count = project->GetNumberOfNotes();
  return call.Reply({{"project", Str(project->GetProjectName())},
                     {"note", tooling::NoteJson(project, count - 1)},
                     {"notes", count}});
}

Response ChangeNote(ApiCall& call) {
  if (auto bad = CheckMembers(call.body, {"text", "title", "author"}, {})) {
    return *bad;
  }
  std::optional<Response> error;
  const auto text = TextMember(call.body, "text", error);
  const auto title = TextMember(call.body, "title", error);
  const auto author = TextMember(call.body, "author", error);
  if (error) return *error;
  if (!text && !title && !author) {
    return BadRequest("give the note's new \"text\", \"title\" or \"author\"");
  }
  IPemarProject* project = RouteProject(call, error);
  if (project == nullptr) return *error;
  const int index = RouteNote(call, project, error);
  if (index < 0) return *error;
  if (text) project->SetNoteText(index, text->c_str());
  if (title) project->SetNoteTitle(index, title->c_str());
  if (author) project->SetNoteAuthor(index, author->c_str());
  return ProjectAnswer(call, project);
}

Response DeleteNote(ApiCall& call) {
  if (auto bad = CheckMembers(call.body, {}, {})) return *bad;
  std::optional<Response> error;
  IPemarProject* project = RouteProject(call, error);
  if (project == nullptr) return *error;
  const int index = RouteNote(call, project, error);
  if (index < 0) return *error;
  project->DeleteNote(index);
  return ProjectAnswer(call, project);
}

}  // namespace
}  // namespace case_notes

void AddCaseNotesRoutes(RouteTable& table) {
  table.Add({"GET", "/api/case/projects", case_notes::ListProjects, ""});
  table.Add({"POST", "/api/case/projects", case_notes::AddProject, "projects"});
  table.Add(
      {"POST", "/api/case/projects/{}/notes", case_notes::AddNote, "projects"});
  table.Add({"PATCH", "/api/case/projects/{}/notes/{}", case_notes::ChangeNote,
             "projects"});
  table.Add({"DELETE", "/api/case/projects/{}/notes/{}", case_notes::DeleteNote,
             "projects"});
}

}  // namespace pemar::web
