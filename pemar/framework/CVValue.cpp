#include "pemar/framework/CVValue.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "pemar/framework/BinaryFile.h"

namespace pemar {

namespace {

// The fewest bytes a stored child takes: an empty name, the type, an empty
// text and a zero count (docs/file-format.md).
constexpr std::uint64_t kMinChildBytes = 4 + 2 + 4 + 4;

}  // namespace

CVValue::CVValue() = default;

// Children are released without recursion, so that a deep tree built in
// memory cannot exhaust the stack when it goes.
CVValue::~CVValue() {
  std::vector<CVValue*> pending = std::move(children_);
  while (!pending.empty()) {
    CVValue* node = pending.back();
    pending.pop_back();
    if (--node->refs_ > 0) continue;
    pending.insert(pending.end(), node->children_.begin(),
                   node->children_.end());
    node->children_.clear();
    delete node;
  }
}

void CVValue::Release() {
  if (--refs_ == 0) delete this;
}

CVValue* CVValue::GetChild(std::size_t index) const {
  return index < children_.size() ? children_[index] : nullptr;
}

CVValue* CVValue::FindChild(const char* name) const {
  if (name == nullptr) return nullptr;
  for (CVValue* child : children_) {
    if (child->name_ == name) return child;
  }
  return nullptr;
}

CVValue* CVValue::AddChild(const Text& name, unsigned short type,
                           const Text& text) {
  auto* child = new CVValue();
  child->has_name_ = true;
  child->name_ = name;
  child->type_ = type;
  child->text_ = text;
  children_.push_back(child);
  return child;
}

bool CVValue::DeleteChild(CVValue* child) {
  auto it = std::find(children_.begin(), children_.end(), child);
  if (it == children_.end()) return false;
  children_.erase(it);
  child->Release();
  return true;
}

void CVValue::Clear() {
  std::vector<CVValue*> children = std::move(children_);
  children_.clear();
  for (CVValue* child : children) child->Release();
}

CVValue* CVValue::FollowPath(const char* path) {
  CVValue* node = this;
  if (path == nullptr) return node;
  const char* p = path;
  while (*p != '\0') {
    const char* end = std::strchr(p, kPathSeparator);
    std::size_t n =
        end != nullptr ? static_cast<std::size_t>(end - p) : std::strlen(p);
    if (n == 0) return nullptr;
    Text name(p, n);
    CVValue* next = nullptr;
    for (CVValue* child : node->children_) {
      if (child->name_ == name) {
        next = child;
        break;
      }
    }
    if (next == nullptr) return nullptr;
    node = next;
    p += n;
    if (*p == kPathSeparator) {
      ++p;
      if (*p == '\0') return nullptr;  // a trailing separator names nothing
    }
  }
  return node;
}

// Reads and writes node records; a friend, to fill nodes in place.
class CVValueReader {
 public:
  static unsigned char Write(BinaryFile& file, const CVValue& node, int depth) {
    if (depth > CVValue::kMaxDepth) return 0;
    if (!file.Write(node.type_) || !file.Write(node.text_) ||
        !file.Write(static_cast<unsigned int>(node.children_.size()))) {
      return 0;
    }
    for (const CVValue* child : node.children_) {
      if (!file.Write(child->name_) || !Write(file, *child, depth + 1)) {
        return 0;
      }
    }
    return 1;
  }

  // Fills `node` (already in its parent) from the file. The count is checked
  // against the bytes left, but room is made only for children really read:
  // nested counts could otherwise each claim the whole file.
  static unsigned char Read(BinaryFile& file, CVValue& node, int depth) {
    if (depth > CVValue::kMaxDepth) return 0;
    unsigned int count = 0;
    if (!file.Read(node.type_) || !file.Read(node.text_) || !file.Read(count) ||
        count > file.Remaining() / kMinChildBytes) {
      return 0;
    }
    for (unsigned int i = 0; i < count; ++i) {
      Text name;
      if (!file.Read(name)) return 0;
      CVValue* child = node.AddChild(name, CVValue::kContainer, Text());
      if (!Read(file, *child, depth + 1)) return 0;
    }
    return 1;
  }

  static void TakeOver(CVValue& to, CVValue& from) {
    to.Clear();
    to.type_ = from.type_;
    to.text_ = std::move(from.text_);
    to.children_ = std::move(from.children_);
    from.children_.clear();
  }
};

unsigned char WriteCVValue(BinaryFile& file, const CVValue& root) {
  return CVValueReader::Write(file, root, 0);
}

unsigned char ReadCVValue(BinaryFile& file, CVValue& root) {
  auto* read = new CVValue();
  unsigned char ok = CVValueReader::Read(file, *read, 0);
  if (ok) CVValueReader::TakeOver(root, *read);
  read->Release();
  return ok;
}

}  // namespace pemar
