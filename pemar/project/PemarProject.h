// CPemarProject: the library's partial implementation of IPemarProject.
//
// The concrete project classes of the suite's libraries derive from it,
// supply GetMyIdentifier and the three operations it leaves abstract
// (GetProjectData, GetNumberOfScenarios, FindScenario), and register a
// creator with IPemarBaseObject so that the engineering manager can make
// them by type number. The project itself sends no notification; its
// sender part serves its owners and views.
//
// Fields: the name (never absent; "Project1" by default), the comments and
// the engineer's name (absent until set), the creation date (today at
// construction), the note list (absent until the first note) and the
// default-title text (absent until a default note title is made). The
// engineering manager is borrowed, never owned, and may be null.
//
// Stored form: one chunk of revision 1 holding, in order, six
// flag-and-string pairs (see CProjectNote) for name, comments, engineer's
// name, date, then the notes flag (1 when a note list exists, even an empty
// one) followed by the int note count and each note's chunk, then the
// default-title pair.
//
// Recall treats the file as untrusted: flags other than 0 and 1, a negative
// note count, or one that the bytes left in the file could not hold, fail
// before anything is allocated for them. Everything is read into temporaries
// and applied only when the whole record was read: a failed recall leaves the
// project as it was. On success, fields stored as absent keep their current
// values; a stored note list replaces the current one.

#ifndef PEMAR_PROJECT_PEMARPROJECT_H_
#define PEMAR_PROJECT_PEMARPROJECT_H_

#include <memory>
#include <optional>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/persist/PemarBaseObject.h"
#include "pemar/project/IEngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/Notification.h"
#include "pemar/project/ProjectNote.h"

namespace pemar {

class PEMAR_EXPORT CPemarProject : public NotificationSender,
                                   public virtual IPemarProject,
                                   public virtual PemarBaseObject {
 public:
  // Name "Project1", date today, no manager.
  CPemarProject();
  // The given name (null gives "Project1"), date today; the manager is
  // borrowed and may be null.
  CPemarProject(IEngineeringManager* manager, const char* name);
  ~CPemarProject() override;
  // Projects are never copied.
  CPemarProject(const CPemarProject&) = delete;
  CPemarProject& operator=(const CPemarProject&) = delete;

  IEngineeringManager* GetPemarCentralObject() const { return manager_; }

  // IPemarProject (slots 9, 20 and 21 stay with the concrete class).
  char* GetProjectName() override;
  char* GetEngineersName() override;
  char* GetComments() override;
  char* GetDate() override;
  char* GetNoteText(int index) override;
  char* GetNoteAuthor(int index) override;
  char* GetNoteTitle(int index) override;
  char* GetNoteDate(int index) override;
  void SetNoteCount(const char* title, int& index) override;
  void SetNoteText(int index, const char* text) override;
  void SetNoteAuthor(int index, const char* author) override;
  void SetNoteTitle(int index, const char* title) override;
  void AddNote() override;
  void DeleteNote(int index) override;
  void SetProjectName(const char* name) override;
  void SetEngineersName(const char* name) override;
  void SetComments(const char* comments) override;
  int GetNumberOfNotes() override;

  // IPemarBaseObject.
  long GetObjectType() override;
  // 101 gives the IPemarProject interface and 1 the IPemarBaseObject
  // interface (hresult 1); any other id gives null and hresult 2.
  hresult QueryInterface(long interfaceId, void** result) override;
  unsigned char Store(IPemarBinaryFile* file) override;
  unsigned char Recall(IPemarBinaryFile* file) override;

  // The note at `index`, or null; owned by the project.
  CProjectNote* GetNote(int index);
  // The default-title text as stored: the last default note title made, or
  // null while none was. Reading it makes none, unlike GetNoteTitle.
  const char* DefaultTitleText() const {
    return defaultTitle_ ? defaultTitle_->c_str() : nullptr;
  }

 private:
  using NoteList = std::vector<std::unique_ptr<CProjectNote>>;

  std::unique_ptr<CVString> name_;
  std::unique_ptr<CVString> comments_;
  std::unique_ptr<CVString> engineer_;
  std::unique_ptr<CVString> date_;
  std::optional<NoteList> notes_;
  std::unique_ptr<CVString> defaultTitle_;
  IEngineeringManager* manager_ = nullptr;
};

}  // namespace pemar

#endif  // PEMAR_PROJECT_PEMARPROJECT_H_
