// SimulationCase: the document of the suite's applications.
//
// One case is one case file on disk. It owns its file header, one
// engineering manager (the registry of the case's projects and other
// engineering objects) and a dictionary of named managers that it builds on
// first use; its framework objects (views, reports, the utility database
// editor) live in the document's object manager and are saved with it.
//
// Saving (SaveDocument) never loses the previous file: the case is written
// into a temporary file beside the case file (file type "TMP"), which is
// flushed to disk and closed before anything else is touched. Only then is
// the old file rotated into numbered backups ("BK0" newest, as many as the
// configuration value "NCaseBackups" says, 0 to 10; main-mode "SIM" cases
// only) and the temporary file renamed over the case file in one step; the
// folder is synced after each rename, so that a crash leaves the old case or
// the new one. A failure at any step leaves the previous case file and its
// backups as they were, reports the failure by message key
// ("FileWriteProtected", "UnableToCreateDocument", "SaveCaseError",
// "UnableToDeleteFile", "UnableToRenameFile") with the file names as
// arguments, and leaves the case marked as modified with its save counter
// unchanged. A case whose own name has the type "TMP" is not saved
// ("SaveCaseError"). Every save writes the current file structure revision.
//
// File layout: the case header (identity stamp "PemarCaseV3.00K "), a 32-bit
// 0, the engineering manager's chunk, then the framework objects with the
// case's own class data (docs/file-format.md). RecallDocument reads the
// current layout and the older ones (file structure revisions 6 and 7,
// class-data revisions 12 to 18, files of programs before build 2000). A
// damaged, truncated or hostile file fails with the message key
// "RecallFailure"; it never crashes or allocates more than the file holds.
//
// Change notifications: the case listens to its engineering manager for
// ErrorMessage, ResponseMessage, TraceMessage, StatusMessage,
// TraceWarningMessage, UpdateAllViews and ConsoleErrors and shows them
// through the framework's messages.
//
// Not thread-safe: a case is used from the thread that made it.

#ifndef PEMAR_CASE_SIMULATIONCASE_H_
#define PEMAR_CASE_SIMULATIONCASE_H_

#include <map>
#include <memory>
#include <vector>

#include "pemar/framework/Document.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/FilePrompt.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/VarDescription.h"
#include "pemar/persist/SimulationCaseFileHeader.h"
#include "pemar/project/Notification.h"

namespace pemar {

class BinaryFile;
class DefaultUtilManagerView;
class EngineeringManager;
class IDefaultUtilityManager;

// The framework's variable types, which index the error tolerances (0 to 9).
using VariableType = int;
inline constexpr int kVariableTypeCount = 10;

// The class-data revision that a case writes.
inline constexpr int kCaseClassDataVersion = 18;
// The lowest build number whose files carry the newer class-data layout.
inline constexpr long kCaseLayoutBuild = 2000;
// The old object type number of the case-parameter placeholder.
inline constexpr long kOldCaseParametersTypeNumber = 24657;

// The framework types of the case ("SimCaseObject", class data revision 18)
// and of the old placeholder ("OldCaseParamObject"). Registered at load.
PEMAR_EXPORT const ObjectTypeInfo* SimCaseObjectType();
PEMAR_EXPORT const ObjectTypeInfo* OldCaseParamObjectType();

// A builder makes the named manager of a case, owned by the case; null when
// it cannot.
class SimulationCase;
using ViewableBuilderFnc = Viewable* (*)(SimulationCase* theCase,
                                         const char* name);

class PEMAR_EXPORT SimulationCase : public Document,
                                    public INotificationReceiver {
 public:
  // A new case. An empty `type` or "SIM" names it with the string-table text
  // of "Case". The document type follows the process command line:
  // "-molara3" gives "QRN", "-plexa" "PLEXA", "-frakto" "FRAKTO", otherwise
  // "SIM". `typeInfo` null means SimCaseObjectType().
  SimulationCase(const Text& type, const ObjectTypeInfo* typeInfo);
  // The case that a recall fills.
  explicit SimulationCase(ObjectInstanceInfo& info);
  ~SimulationCase() override;

  // The tolerance for a variable type from 0 to 9; -32767.0 for any other.
  double ErrorTolerance(VariableType type) const;

  bool Dynamic() const { return dynamic_; }
  bool DontUseCase() const { return dont_use_case_; }
  void DontUseCase(bool value) { dont_use_case_ = value; }
  bool UserHasSpecd() const { return user_has_specd_; }
  void SetUserHasSpecd(bool value) { user_has_specd_ = value; }
  void StartSpec() { user_has_specd_ = true; }
  // Clears UserHasSpecd and lets the session, when there is one, play its
  // next script command.
  void EndSpec() override;
  // Lets the session play its next script command and, when the document's
  // recovery setting asks for it, save a recovery file.
  void SolveCompleted();

  // The number of saves made while the case had unsaved changes.
  int SaveCounter() const { return save_counter_; }
  // The type chosen at construction: "SIM", "PLEXA", "FRAKTO" or "QRN".
  const Text& DocumentType() const { return document_type_; }

  // Owned by the case; valid while it lives.
  EngineeringManager* GetEngineeringManager() { return engineering_.get(); }
  // "IEngineeringManager" gives the engineering manager (as an
  // IEngineeringManager*); any other name null.
  void* CastToClassType(const Text& className) override;

  // The case's header, owned by the case.
  PackedBinaryFileHeader* DocumentFileHeader() override;
  SimulationCaseFileHeader* CaseFileHeader() { return &header_; }
  unsigned char FileStructureRevision() const {
    return header_.FileStructureRevision();
  }
  void SetRequiredBuildNumber(long build) {
    header_.SetRequiredBuildNumber(build);
  }
  // Copies the document's full file name into the header.
  void UpdateOriginalName();

  // See the file comment. The flag is not used.
  unsigned char SaveDocument(unsigned char flag) override;
  unsigned char RecallDocument(const FileName& name) override;

  void NotifyChange(ChangeWhat what, const char* text, void* data) override;
  // Shows each line of `text` (console output of the process engine) in the
  // trace window; lines that report a problem become warnings prefixed with
  // "$: ". The text is shown as it is, never used as a format. Returns true.
  unsigned char UpdateErrors(const Text& text);

  // 24657 gives the "OldCaseParamObject" type while the file structure
  // revision is 11 or less; otherwise the framework's answer.
  const ObjectTypeInfo* FixupOldObjectType(long oldType) override;
  void DisconnectDeadObject(Viewable* dying) override;
  void NotifyActivated(bool active) override;

  // The case's utility database editor, with its database. With `create`,
  // a missing editor is made and an editor without a database is given one
  // (from the default files, or the built-in tables); the editor is a
  // framework object of the case and is saved and recalled with it. Null
  // without `create` when there is none.
  DefaultUtilManagerView* UtilityDatabaseView(bool create);
  // The database of that editor; null when there is none.
  IDefaultUtilityManager* UtilityDatabase(bool create);

  // The bug report manager; null until one is made.
  Viewable* BugReportManagerObject() const { return bug_report_manager_; }

  // Named managers.
  //
  // The manager held under `name`; else the one the registered builder makes
  // (then held under `name`, with the case told of its death); else null.
  Viewable* BuildManager(const char* name);
  Viewable* AttachedObject(const VarDescription& desc) override;
  unsigned char AttachObject(Viewable* object,
                             const VarDescription& desc) override;
  Text AttachedName(Viewable* object) override;

  // Commands and variables.
  int Message(const Text& command) override;
  Text TextValue(const VarDescription& desc) override;
  unsigned char SpecifyText(const VarDescription& desc,
                            const Text& value) override;
  unsigned char Specify(const VarDescription& desc, double value) override;
  double Value(const VarDescription& desc) override;
  unsigned char Dimensions(const VarDescription& desc, DimInfo& dims) override;

  // Prepares the framework's open and save-as prompts for the application
  // mode of the process.
  void GetOpenFilenamePrompt(FNPromptStruct& prompt);
  void GetSaveAsFilenamePrompt(FNPromptStruct& prompt);

  const ObjectTypeInfo* FindFilter() const { return find_filter_; }
  const Text& FreeText() const { return free_text_; }

  // For the type's class-data hooks.
  unsigned char StoreClassData(BinaryFile& file);
  unsigned char RecallClassData(BinaryFile& file);
  // The placeholder's class data: the old layout of the case parameters.
  unsigned char RecallOldCaseParameters(BinaryFile& file);

 protected:
  // Writes the class-data record; a test case may write an older layout.
  virtual unsigned char WriteClassDataRecord(BinaryFile& file);

 private:
  void SetUpNewCase();
  void ChooseDocumentType();
  Viewable* CaseManager(const char* name) const;
  void BuildManager(Viewable* manager, const char* name);
  // The dictionary is not stored: after a recall, the case's own objects
  // named like a registered builder are its managers again.
  void AdoptRecalledManagers();
  // Reads the pointer records of class-data revisions before 18.
  unsigned char RecallOlderPointers(BinaryFile& file, int revision, long build,
                                    bool placeholder);
  void DiscardLater(Viewable* object);
  void DestroyDiscarded();
  unsigned char WriteCaseFile(const Text& tempName);
  unsigned char ReplaceCaseFile(const Text& caseName, const Text& tempName);
  void CreateBugReportManager();
  size_t StatusCount();
  const StatusInfo* StatusAt(int index);
  void AllViewableReports(const Text& reportName);

  int save_counter_ = 0;
  SimulationCaseFileHeader header_;
  bool dynamic_ = false;
  bool dont_use_case_ = false;
  double tolerances_[kVariableTypeCount] = {};
  Viewable* bug_report_manager_ = nullptr;
  bool user_has_specd_ = false;
  // Set by nothing in this library; destroyed with the case.
  Viewable* owned_object_ = nullptr;
  VarDescription flowsheet_object_description_;
  VarDescription variable_description_;
  const ObjectTypeInfo* find_filter_ = nullptr;
  Text free_text_;
  std::map<Text, Viewable*> managers_;
  const ObjectTypeInfo* default_find_filter_ = nullptr;
  std::unique_ptr<EngineeringManager> engineering_;
  Text document_type_;
  // Objects that a class-data recall of an old layout drops; destroyed once
  // each when the recall of the class data ends.
  std::vector<Viewable*> discarded_;
};

// The builder table, process-wide. Adds `builder` under `name` unless a
// builder of that name is there already (the first stays). Null arguments
// are ignored.
//
// After a recall a case takes back as its managers only those of its objects
// that bear a builder's name and have the type that builder makes, so that
// an unrelated object of that name never stands in for the manager. The
// type is `made_type` when given; otherwise it is learnt from the first
// manager the builder makes in this process, and until then no recalled
// object is taken back under that name (a fresh one is built on demand).
PEMAR_EXPORT void _add_ViewableBuilderFnc(const char* name,
                                          ViewableBuilderFnc builder);
PEMAR_EXPORT void _add_ViewableBuilderFnc(const char* name,
                                          ViewableBuilderFnc builder,
                                          const ObjectTypeInfo* made_type);
// The builder registered under `name`; null when there is none.
PEMAR_EXPORT ViewableBuilderFnc FindViewableBuilderFnc(const char* name);
// The type the builder registered under `name` makes: given at registration
// or learnt from its first manager; null when not known (yet).
PEMAR_EXPORT const ObjectTypeInfo* FindViewableBuilderType(const char* name);

}  // namespace pemar

#endif  // PEMAR_CASE_SIMULATIONCASE_H_
