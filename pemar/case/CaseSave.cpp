// Saving a case: the temporary file, the backups and the final rename.

#include <cmath>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/project/EngineeringManager.h"

namespace pemar {
namespace {

// Backups are numbered with one digit, B0 (newest) to B9.
constexpr int kMaxCaseBackups = 10;

// "NCaseBackups" as a count from 0 to 10: a negative or non-finite value
// means the default 1, a larger one 10.
int BackupCount() {
  double value = GetConfigData("NCaseBackups", 1.0);
  if (!std::isfinite(value) || value < 0.0) return 1;
  if (value >= kMaxCaseBackups) return kMaxCaseBackups;
  return static_cast<int>(value);
}

Text WithFileType(const Text& path, const Text& type) {
  FileName name(path);
  name.SetFileType(type);
  return name.Path();
}

Text BackupName(const Text& path, int k) {
  return WithFileType(path, Text("BK") + Text(std::string(1, '0' + k)));
}

}  // namespace

unsigned char SimulationCase::SaveDocument(unsigned char /*flag*/) {
  FileSystem* fs = FileSystem::Default();
  const Text caseName = GetFileName();
  if (caseName.IsEmpty()) {
    ErrorMsg("UnableToCreateDocument", {caseName});
    return 0;
  }
  const Text tempName = WithFileType(caseName, "TMP");
  // A case that itself bears the temporary file type would be written over
  // in place and deleted when that failed: the only copy would be at risk.
  if (FileName(caseName).FileType() == "TMP" || tempName == caseName) {
    ErrorMsg("SaveCaseError", {caseName});
    return 0;
  }

  if (fs->FileExists(caseName.str()) && !fs->IsWritable(caseName.str())) {
    ErrorMsg("FileWriteProtected", {caseName});
    return 0;
  }
  if (fs->FileExists(tempName.str()) && !fs->IsWritable(tempName.str())) {
    ErrorMsg("FileWriteProtected", {tempName});
    return 0;
  }

  // A save that fails must leave the case as unsaved as it was.
  const bool wasModified = IsModified();
  const int savedCounter = save_counter_;
  auto fail = [&]() -> unsigned char {
    SetModified(wasModified);
    save_counter_ = savedCounter;
    return 0;
  };

  Trace(Text());
  Trace(KeyedText("StoringCase", {caseName}));
  unsigned char ok = WriteCaseFile(tempName);
  Trace(FindString(ok ? "StoreCaseOK" : "StoreCaseFailed"));
  Trace(Text());
  if (!ok) return fail();
  if (!ReplaceCaseFile(caseName, tempName)) return fail();
  SetModified(false);
  return 1;
}

unsigned char SimulationCase::WriteCaseFile(const Text& tempName) {
  FileSystem* fs = FileSystem::Default();
  BinaryFile file(tempName);
  if (!file.Create()) {
    ErrorMsg("UnableToCreateDocument", {tempName});
    fs->DeleteFile(tempName.str());
    return 0;
  }
  SignalBusy(1);
  // The body is always written in the current layout, so the header must
  // say so, whatever revision a failed recall left in it.
  header_.SetFileStructureRevision(kCaseFileStructureRevision);
  header_.SetRequiredBuildNumber(kCaseLayoutBuild);
  unsigned char ok = header_.Store(file);
  if (ok) ok = file.Write(0L);
  if (ok) {
    PemarBinaryFile wrapped(&file);
    ok = engineering_->Store(&wrapped);
  }
  if (ok) ok = GetObjectManager().StoreObjects(file);
  if (ok) ok = header_.MarkOK(file);
  // The new file must be whole on the disk before the old one is touched.
  if (ok) ok = file.Sync();
  SignalBusy(0);
  if (!file.Close()) ok = 0;
  if (!ok) {
    ErrorMsg("SaveCaseError", {tempName});
    fs->DeleteFile(tempName.str());
  }
  return ok;
}

unsigned char SimulationCase::ReplaceCaseFile(const Text& caseName,
                                              const Text& tempName) {
  FileSystem* fs = FileSystem::Default();
  bool movedToBackup = false;
  Text firstBackup;
  if (fs->FileExists(caseName.str())) {
    int count = BackupCount();
    FileName current(caseName);
    // A case keeps backups only as a main-mode case file: its document name
    // takes the file type of the document type chosen at construction, so
    // a case of another mode keeps none whatever it was named.
    bool backups =
        count != 0 && current.FileType() == "SIM" && DocumentType() == "SIM";
    if (backups) {
      firstBackup = BackupName(caseName, 0);
      std::int64_t caseDay =
          GenericFile(caseName, Text()).LastTimeModified() / 65536;
      std::int64_t backupDay =
          fs->FileExists(firstBackup.str())
              ? GenericFile(firstBackup, Text()).LastTimeModified() / 65536
              : 0;
      // One rotation per session, unless the case file changed on a later
      // day than the newest backup.
      bool rotate = !(BackupMade() && caseDay <= backupDay);
      if (rotate) {
        Text oldest = BackupName(caseName, count - 1);
        if (fs->FileExists(oldest.str()) && !fs->DeleteFile(oldest.str())) {
          ErrorMsg("UnableToDeleteFile", {oldest});
          return 0;
        }
        // Each rename refuses to replace a file, so a backup that could not
        // move on is kept and the next one stops instead of overwriting it.
        // The folder is synced after each one: a file system may put renames
        // on the disk in any order, and a later one that reached it before
        // an earlier one would leave a backup overwritten after a crash.
        for (int k = count - 2; k >= 0; --k) {
          if (fs->RenameFileNoReplace(BackupName(caseName, k).str(),
                                      BackupName(caseName, k + 1).str())) {
            fs->SyncDirectoryOf(caseName.str());
          }
        }
        if (!fs->RenameFileNoReplace(caseName.str(), firstBackup.str())) {
          ErrorMsg("UnableToRenameFile", {caseName, firstBackup});
          return 0;
        }
        // Likewise the old case must be on the disk as the newest backup
        // before the new file takes its name. A folder that cannot be synced
        // is no reason to stop: nothing later could be made sure either.
        fs->SyncDirectoryOf(caseName.str());
        SetBackupMade(true);
        movedToBackup = true;
      }
    }
    // Without a rotation the old file is not deleted first: the rename below
    // replaces it in one step, so there is never a moment without it.
  }
  if (!fs->RenameFile(tempName.str(), caseName.str())) {
    if (movedToBackup) {
      fs->RenameFileNoReplace(firstBackup.str(), caseName.str());
    }
    ErrorMsg("UnableToRenameFile", {tempName, caseName});
    return 0;
  }
  SyncFolderOfSavedFile(caseName);
  return 1;
}

}  // namespace pemar
