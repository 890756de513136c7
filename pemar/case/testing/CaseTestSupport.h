// Test support: a scratch folder per test, a clean configuration and
// message sink, and helpers that build, save and reopen cases.

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
#include "pemar/casereport/CaseDescription.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/NotesProject.h"

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

  std::filesystem::path dir_;
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_sink_{&sink_};
};

}  // namespace pemar::test_support

#endif  // PEMAR_CASE_TESTING_CASETESTSUPPORT_H_
