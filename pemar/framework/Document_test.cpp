#include "pemar/framework/Document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Reports.h"
#include "pemar/framework/ViewLog.h"

namespace pemar {
namespace {

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() /
        ("pemar-document-" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "doc.bin").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_;
  std::string path_;
};

TEST_F(DocumentTest, ReportManagerMadeOnFirstUseAndRecalledWithTheDocument) {
  {
    Document document(nullptr, DocumentObjectType());
    EXPECT_EQ(document.GetObjectManager().Count(), 1u);
    ReportManager* manager = document.GetReportManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(document.GetReportManager(), manager);
    EXPECT_EQ(manager->GetOwner(), &document);
    Report* report = manager->CreateReport("Summary");
    ASSERT_NE(report, nullptr);
    report->SetPrintFlag(true);
    EXPECT_EQ(document.GetObjectManager().Count(), 3u);
    document.SetFileName(path_);
    ASSERT_TRUE(document.SaveDocument(0));
  }
  Document document(nullptr, DocumentObjectType());
  ASSERT_TRUE(document.RecallDocument(FileName(Text(path_))));
  EXPECT_EQ(document.GetObjectManager().Count(), 3u);
  ReportManager* manager = document.GetReportManager();
  // The recalled manager is the one answered; no second one is made.
  EXPECT_EQ(document.GetObjectManager().Count(), 3u);
  ASSERT_EQ(manager->Reports().size(), 1u);
  EXPECT_EQ(manager->Reports()[0]->GetName(), "Summary");
  EXPECT_TRUE(manager->Reports()[0]->PrintFlag());

  // Saved again, the document holds the same objects.
  ASSERT_TRUE(document.SaveDocument(0));
  Document again(nullptr, DocumentObjectType());
  ASSERT_TRUE(again.RecallDocument(FileName(Text(path_))));
  EXPECT_EQ(again.GetObjectManager().Count(), 3u);
}

TEST_F(DocumentTest, DocumentThatNeverAskedStoresNoReportManager) {
  {
    Document document(nullptr, DocumentObjectType());
    document.SetFileName(path_);
    ASSERT_TRUE(document.SaveDocument(0));
  }
  Document document(nullptr, DocumentObjectType());
  ASSERT_TRUE(document.RecallDocument(FileName(Text(path_))));
  EXPECT_EQ(document.GetObjectManager().Count(), 1u);
}

TEST_F(DocumentTest, SaveSyncsTheFolderAfterTheRenameOrOnlyWarns) {
  // A file of the user's named like the document plus ".tmp" is never the
  // save's temporary file.
  { std::ofstream(path_ + ".tmp") << "mine"; }
  FaultInjectingFileSystem fs;
  ScopedFileSystem scope(&fs);
  Document document(nullptr, DocumentObjectType());
  document.SetFileName(path_);
  document.SetModified(true);
  ASSERT_TRUE(document.SaveDocument(0));
  EXPECT_EQ(fs.Count(FaultInjectingFileSystem::Op::kSyncDir), 1);
  EXPECT_FALSE(document.IsModified());

  // The new file is in place: saved, with a warning.
  RecordingMessageSink sink;
  ScopedMessageSink scoped_sink(&sink);
  document.SetModified(true);
  fs.FailAt(FaultInjectingFileSystem::Op::kSyncDir, 1);
  EXPECT_TRUE(document.SaveDocument(0));
  EXPECT_FALSE(document.IsModified());
  EXPECT_TRUE(sink.Has(MessageKind::kTraceWarning, "UnableToSyncFolder"));
  EXPECT_TRUE(std::filesystem::exists(path_));
  std::ifstream mine(path_ + ".tmp");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(mine), {}), "mine");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2);
}

TEST(FileNameTest, FileTypeFollowsTheExtension) {
  FileName name(Text("Case"));
  EXPECT_TRUE(name.FileType().IsEmpty());
  name.SetFileType("SIM");
  EXPECT_EQ(name.Path(), "Case.kcs");
  EXPECT_EQ(name.FileType(), "SIM");
  name.SetFileType("BK0");
  EXPECT_EQ(name.Path(), "Case.bk0");
  EXPECT_EQ(name.FileType(), "BK0");
  EXPECT_EQ(FileName(Text("/a.b/PLANT.KCS")).FileType(), "SIM");
  EXPECT_EQ(FileName(Text("/a.b/plant")).FileType(), "");
  FileName dotted(Text("/a.b/plant"));
  dotted.SetFileType("PLEXA");
  EXPECT_EQ(dotted.Path(), "/a.b/plant.plexa");
}

}  // namespace
}  // namespace pemar
