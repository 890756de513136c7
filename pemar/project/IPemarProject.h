// IPemarProject: the engineering container that the suite's analysis
// libraries build on.
//
// A project carries a name, the engineer's name, comments, a creation date
// and an ordered list of free-text notes, and is stored in and recalled from
// a case file. It is a persistent, reference-counted object (type number and
// interface id 101) and a notification sender through which its owners and
// views are told of changes.
//
// Text results are buffers owned by the project: callers read them and never
// free or write through them. A field's buffer stays valid until that field
// is next changed (or the project is recalled or destroyed). Note positions
// run from 0; a position with no note is silently ignored (getters give
// null, setters do nothing).

#ifndef PEMAR_PROJECT_IPEMARPROJECT_H_
#define PEMAR_PROJECT_IPEMARPROJECT_H_

#include "pemar/framework/Export.h"
#include "pemar/persist/PemarBaseObject.h"
#include "pemar/persist/SuiteInterfaces.h"
#include "pemar/project/Notification.h"

namespace pemar {

// Type number and interface id of a project.
inline constexpr long kProjectInterface = 101;

class PEMAR_EXPORT IPemarProject : public virtual IPemarBaseObject,
                                   public virtual INotificationSender,
                                   public virtual IPemarScenarioProject {
 public:
  ~IPemarProject() override;

  // The operations keep this order: other libraries of the suite are built
  // against it.
  virtual char* GetProjectName() = 0;
  virtual char* GetEngineersName() = 0;
  virtual char* GetComments() = 0;
  // Creation date, "MM/DD/YY".
  virtual char* GetDate() = 0;
  virtual char* GetNoteText(int index) = 0;
  virtual char* GetNoteAuthor(int index) = 0;
  // The note's own title, or a default title "Note - <index + 1>" whose
  // buffer stays valid until the next default title is made.
  virtual char* GetNoteTitle(int index) = 0;
  virtual char* GetNoteDate(int index) = 0;
  // Data of the concrete project class; its meaning is the class's own.
  virtual void* GetProjectData() = 0;
  // Sets `index` to the position of the first note whose title (default
  // titles included) equals `title`. When none matches, `index` ends at the
  // last position; with an empty note list it is -1, and without a note list
  // it is left unchanged. A null title leaves `index` unchanged.
  virtual void SetNoteCount(const char* title, int& index) = 0;
  // The note setters copy the text; a null text changes nothing.
  virtual void SetNoteText(int index, const char* text) = 0;
  virtual void SetNoteAuthor(int index, const char* author) = 0;
  virtual void SetNoteTitle(int index, const char* title) = 0;
  // Appends a note holding only today's date.
  virtual void AddNote() = 0;
  virtual void DeleteNote(int index) = 0;
  // The project setters copy the text and send no notification; a null text
  // changes nothing.
  virtual void SetProjectName(const char* name) = 0;
  virtual void SetEngineersName(const char* name) = 0;
  virtual void SetComments(const char* comments) = 0;
  virtual int GetNumberOfNotes() = 0;
  // The project's scenarios, for the design viewer.
  virtual int GetNumberOfScenarios() = 0;
  // Sets *result to the scenario of that name (borrowed), or to null. Also
  // what persistence resolves generic scenario references with.
  void FindScenario(const char* name, IPemarScenario** result) override = 0;
};

// The project interface of `object` (no reference added); null for null and
// for an object that is not a project.
PEMAR_EXPORT IPemarProject* AsPemarProject(IPemarBaseObject* object);

}  // namespace pemar

#endif  // PEMAR_PROJECT_IPEMARPROJECT_H_
