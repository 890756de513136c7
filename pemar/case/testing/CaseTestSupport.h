// Test support: a scratch folder per test, a clean configuration and
// message sink, helpers that build, save and reopen cases, and the fault
// loop for case saves.

#ifndef PEMAR_CASE_TESTING_CASETESTSUPPORT_H_
#define PEMAR_CASE_TESTING_CASETESTSUPPORT_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/NotesProject.h"
#include "pemar/reports/CaseDescription.h"

namespace pemar::test_support {

class CaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("pemar-case-" + std::string(info->test_suite_name()) + "-" +
            info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    ResetConfigStore();
    SetCommandLine("pemar_tests");
    NotesProject::RegisterType();
  }
  void TearDown() override {
    SetCommandLine(Text());
    ResetConfigStore();
    std::filesystem::remove_all(dir_);
  }

  std::string Path(const std::string& name) const {
    return (dir_ / name).string();
  }
  // A new case that saves to `name` in the scratch folder.
  std::unique_ptr<SimulationCase> NewCase(const std::string& name) {
    auto theCase = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
    theCase->SetFileName(Path(name));
    return theCase;
  }
  // A fresh case filled from the file; null when the recall failed.
  std::unique_ptr<SimulationCase> Reopen(const std::string& name) {
    auto theCase = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
    if (!theCase->RecallDocument(FileName(Text(Path(name))))) return nullptr;
    return theCase;
  }
  // Adds a notes project with `notes` titled notes; the manager holds it.
  static IPemarProject* AddProject(SimulationCase& theCase, const char* name,
                                   int notes) {
    IPemarProject* project =
        AsPemarProject(theCase.GetEngineeringManager()->AddEngObject(
            name, kNotesProjectType, 0));
    for (int i = 0; project != nullptr && i < notes; ++i) {
      project->AddNote();
      std::string title = "Note " + std::to_string(i);
      project->SetNoteTitle(i, title.c_str());
      project->SetNoteText(i, ("Text of " + title).c_str());
    }
    return project;
  }

  std::string Bytes(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void WriteBytes(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary | std::ios::trunc) << bytes;
  }
  // Every file of the scratch folder by name, with its bytes.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      files[entry.path().filename().string()] =
          Bytes(entry.path().filename().string());
    }
    return files;
  }
  // The case in `file` as its recall gives it; empty when it does not load.
  std::string Describe(const std::string& file) {
    auto theCase = Reopen(file);
    return theCase ? DescribeCase(*theCase) : std::string();
  }

  // Saves `makeCase()` as "a.kcs" over the files `prepare` lays down, once
  // counting its file operations and then once with each of them failing in
  // turn. A save that succeeds reopens equal to the case; one that fails
  // reports an error and leaves the case modified with its save counter,
  // "a.kcs" as it was, and the bytes of every earlier file in a file that
  // loads (or the temporary one). Returns the number of failed saves.
  int FailEachStepOfTheSave(
      const std::function<void()>& prepare,
      const std::function<std::unique_ptr<SimulationCase>()>& makeCase) {
    using Op = FaultInjectingFileSystem::Op;
    std::map<std::string, std::string> before;
    auto save = [&](FaultInjectingFileSystem& fs, int* counterBefore) {
      std::filesystem::remove_all(dir_);
      std::filesystem::create_directories(dir_);
      prepare();
      before = Snapshot();
      sink_.Clear();
      ScopedFileSystem scoped(&fs);
      auto theCase = makeCase();
      theCase->SetModified(true);
      *counterBefore = theCase->SaveCounter();
      return std::make_pair(theCase->SaveDocument(0), std::move(theCase));
    };
    FaultInjectingFileSystem counter;
    int counterBefore = 0, failures = 0;
    if (!save(counter, &counterBefore).first || counter.Count(Op::kWrite) < 3) {
      ADD_FAILURE() << "the save fails or is too small";
      return 0;
    }
    for (int o = 0; o <= static_cast<int>(Op::kSyncDir); ++o) {
      for (int n = 1; n <= counter.Count(static_cast<Op>(o)); ++n) {
        SCOPED_TRACE(::testing::Message() << "op " << o << " #" << n);
        FaultInjectingFileSystem fs;
        fs.FailAt(static_cast<Op>(o), n);
        auto [saved, theCase] = save(fs, &counterBefore);
        if (saved) {
          EXPECT_EQ(FirstDifference(DescribeCase(*theCase), Describe("a.kcs")),
                    "");
          continue;
        }
        ++failures;
        EXPECT_TRUE(theCase->IsModified());
        EXPECT_EQ(theCase->SaveCounter(), counterBefore);
        const std::map<std::string, std::string> files = Snapshot();
        EXPECT_EQ(files.count("a.kcs") ? files.at("a.kcs") : "",
                  before.at("a.kcs"));
        // Rotated backups move between names: their bytes must survive.
        std::multiset<std::string> contents;
        for (const auto& [name, bytes] : files) {
          contents.insert(bytes);
          EXPECT_TRUE(name == "a.tmp" || Reopen(name) != nullptr) << name;
        }
        for (const auto& [name, bytes] : before) {
          EXPECT_GT(contents.count(bytes), 0u) << name << " lost";
        }
        EXPECT_TRUE(sink_.Has(MessageKind::kError, "SaveCaseError") ||
                    sink_.Has(MessageKind::kError, "UnableToCreateDocument") ||
                    sink_.Has(MessageKind::kError, "UnableToDeleteFile") ||
                    sink_.Has(MessageKind::kError, "UnableToRenameFile"));
      }
    }
    return failures;
  }

  std::filesystem::path dir_;
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_sink_{&sink_};
};

// The fixture of tests that run the fault loop.
class SaveFaultTest : public CaseTest {};

}  // namespace pemar::test_support

#endif  // PEMAR_CASE_TESTING_CASETESTSUPPORT_H_
