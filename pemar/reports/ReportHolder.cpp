#include "pemar/reports/ReportHolder.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "pemar/persist/PemarBinaryFile.h"

namespace pemar {

namespace {

constexpr int kReportRevision = 1;

// NumberOfSubsections answers a short: a section holds no more sections
// than it can count.
constexpr std::size_t kMaxSubsections = std::numeric_limits<short>::max();

bool IsTextNode(const CVValue* node) {
  return node != nullptr && node->GetType() == CVValue::kText;
}

BinaryFile* UnderlyingFile(IPemarBinaryFile* file) {
  auto* pemarFile = dynamic_cast<PemarBinaryFile*>(file);
  return pemarFile != nullptr ? pemarFile->GetBinaryFile() : nullptr;
}

}  // namespace

IReportHolder::~IReportHolder() = default;

ReportHolder::ReportHolder() : root_(new CVValue()) {}

ReportHolder::~ReportHolder() { root_->Release(); }

hresult ReportHolder::AddSection(const char* parentPath, const char* name,
                                 const char* text) {
  if (name == nullptr) return kRejected;
  CVValue* parent = root_->FollowPath(parentPath);
  if (parent == nullptr) return kRejected;
  // A text section takes its former text as a section of its own first.
  const std::size_t added = IsTextNode(parent) ? 2 : 1;
  if (parent->NumberOfChildren() + added > kMaxSubsections) return kRejected;
  if (IsTextNode(parent)) {
    Text former = parent->GetText();
    parent->SetType(CVValue::kContainer);
    parent->SetText(Text());
    AddSection(parentPath, kUnnamedSection, former.c_str());
  }
  modified_ = 1;
  if (parent->FindChild(name) != nullptr) return kRejected;
  if (text != nullptr) {
    parent->AddChild(name, CVValue::kText, text);
  } else {
    parent->AddChild(name, CVValue::kContainer, Text());
  }
  return kDone;
}

hresult ReportHolder::ModifySection(const char* path, const char* text) {
  if (text == nullptr) return kRejected;
  CVValue* node = root_->FollowPath(path);
  if (node == nullptr || node->GetType() == CVValue::kFixed) return kRejected;
  node->SetText(text);
  modified_ = 1;
  return kDone;
}

hresult ReportHolder::AppendToSection(const char* path, const char* text) {
  if (text == nullptr) return kRejected;
  CVValue* node = root_->FollowPath(path);
  if (node == nullptr || (node->GetType() != CVValue::kText &&
                          node->GetType() != CVValue::kString)) {
    return kRejected;
  }
  node->SetText(node->GetText() + "\n" + text);
  modified_ = 1;
  return kDone;
}

short ReportHolder::NumberOfSubsections(const char* path) {
  CVValue* node = root_->FollowPath(path);
  if (node == nullptr) return 0;
  // A recalled tree may hold more than AddSection lets in.
  return static_cast<short>(
      std::min(node->NumberOfChildren(), kMaxSubsections));
}

hresult ReportHolder::DeleteSection(const char* parentPath, const char* name) {
  if (name == nullptr) return kRejected;
  CVValue* parent = root_->FollowPath(parentPath);
  CVValue* child = parent != nullptr ? parent->FindChild(name) : nullptr;
  if (child == nullptr) return kRejected;
  parent->DeleteChild(child);
  modified_ = 1;
  return kDone;
}

const char* ReportHolder::GetSectionString(const char* path) {
  CVValue* node = root_->FollowPath(path);
  return IsTextNode(node) ? node->GetText().c_str() : nullptr;
}

const char* ReportHolder::GetSectionTitle(const char* path) {
  CVValue* node = root_->FollowPath(path);
  return IsTextNode(node) ? node->GetName().c_str() : nullptr;
}

// The walk keeps its own stack, so a deep tree built in memory prints
// without deep recursion.
const char* ReportHolder::GetReport() {
  if (report_ == nullptr) report_ = std::make_unique<CVString>();
  std::string& out = report_->str();
  out.clear();
  std::vector<int> counters;  // counters[i]: sections so far at level i + 1
  std::vector<std::pair<const CVValue*, std::size_t>> stack = {{root_, 0}};
  while (!stack.empty()) {
    auto [node, level] = stack.back();
    stack.pop_back();
    if (node->HasName() && node->GetName() != kUnnamedSection) {
      counters.resize(level);  // drops the counters of deeper levels
      ++counters[level - 1];
      out += "\n\n";
      for (std::size_t i = 0; i < counters.size(); ++i) {
        if (i > 0) out += '.';
        out += std::to_string(counters[i]);
      }
      out += ' ';
      out += node->GetName().str();
      out += '\n';
    }
    if (IsTextNode(node)) out += node->GetText().str();
    for (std::size_t i = node->NumberOfChildren(); i > 0; --i) {
      stack.emplace_back(node->GetChild(i - 1), level + 1);
    }
  }
  modified_ = 0;
  return report_->c_str();
}

unsigned char ReportHolder::Store(IPemarBinaryFile* file) {
  BinaryFile* binary = UnderlyingFile(file);
  if (binary == nullptr) return 0;
  ChunkHeader* chunk = nullptr;
  unsigned char ok = file->CreateChunk(&chunk, kReportRevision) &&
                     WriteCVValue(*binary, *root_);
  unsigned char closed = chunk != nullptr && file->CloseChunk(chunk);
  return ok && closed;
}

unsigned char ReportHolder::Recall(IPemarBinaryFile* file) {
  BinaryFile* binary = UnderlyingFile(file);
  if (binary == nullptr) return 0;
  ChunkHeader* chunk = nullptr;
  unsigned char ok = file->OpenChunk(&chunk) && ReadCVValue(*binary, *root_);
  unsigned char closed = chunk != nullptr && file->CloseChunk(chunk);
  if (ok) modified_ = 1;
  return ok && closed;
}

}  // namespace pemar
