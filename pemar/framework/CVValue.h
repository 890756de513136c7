// CVValue: a node of a value tree, the framework's store of named, nested
// texts (report sections, for one).
//
// A node has a name (none for the root of a tree), a value type code, a text
// and an ordered list of children. Nodes are reference counted: AddRef and
// Release, and the last Release destroys the node with its subtree. A parent
// holds one reference on each of its children.
//
// A path names a node below another as the names of the nodes on the way,
// joined by kPathSeparator: "Results/Targets" is the child "Targets" of the
// child "Results". A name holding the separator cannot be reached by path.
//
// WriteCVValue and ReadCVValue store a whole tree in a BinaryFile; the record
// is written up in docs/file-format.md. A stored tree may be nested at most
// kMaxDepth levels below its root: deeper trees are neither written nor read.
//
// Not thread-safe.

#ifndef PEMAR_FRAMEWORK_CVVALUE_H_
#define PEMAR_FRAMEWORK_CVVALUE_H_

#include <cstddef>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

class BinaryFile;

class PEMAR_EXPORT CVValue {
 public:
  // Value type codes.
  static constexpr unsigned short kContainer = 1;  // no value of its own
  static constexpr unsigned short kString = 4;     // a plain string value
  static constexpr unsigned short kText = 64;      // a text section
  static constexpr unsigned short kFixed = 32768;  // may not be changed

  static constexpr char kPathSeparator = '/';
  // Levels a stored tree may have below its root.
  static constexpr int kMaxDepth = 256;

  // A new root: no name, an empty container, one reference held by the
  // caller.
  CVValue();
  CVValue(const CVValue&) = delete;
  CVValue& operator=(const CVValue&) = delete;

  void AddRef() { ++refs_; }
  // Drops one reference; the last one destroys the node and its subtree.
  void Release();

  bool HasName() const { return has_name_; }
  // The name, empty for the root.
  const Text& GetName() const { return name_; }
  unsigned short GetType() const { return type_; }
  void SetType(unsigned short type) { type_ = type; }
  const Text& GetText() const { return text_; }
  void SetText(const Text& text) { text_ = text; }

  std::size_t NumberOfChildren() const { return children_.size(); }
  // The child at `index` in order, or null past the end.
  CVValue* GetChild(std::size_t index) const;
  // The first child named `name`, or null (also for a null name).
  CVValue* FindChild(const char* name) const;
  // Adds a child named `name` of type `type` holding `text` after the
  // others, and returns it; the tree holds its only reference. Names need
  // not be unique.
  CVValue* AddChild(const Text& name, unsigned short type, const Text& text);
  // Takes `child` off the list and releases it with its subtree. False when
  // it is not a child of this node.
  bool DeleteChild(CVValue* child);
  // Deletes every child.
  void Clear();

  // The node at `path` below this one; a null or empty path gives this node.
  // Null when a name on the way is missing or empty.
  CVValue* FollowPath(const char* path);

 private:
  ~CVValue();
  friend class CVValueReader;

  int refs_ = 1;
  bool has_name_ = false;
  Text name_;
  unsigned short type_ = kContainer;
  Text text_;
  std::vector<CVValue*> children_;  // one reference held on each
};

// Writes the tree under `root` (its type, text and descendants; not its
// name). False when a write fails or the tree is deeper than kMaxDepth.
PEMAR_EXPORT unsigned char WriteCVValue(BinaryFile& file, const CVValue& root);

// Reads a tree written by WriteCVValue into `root`, replacing its type, text
// and children. The input is untrusted: a truncated or corrupt record, one
// nested deeper than kMaxDepth, or counts the bytes left cannot hold, give
// false and leave `root` as it was.
PEMAR_EXPORT unsigned char ReadCVValue(BinaryFile& file, CVValue& root);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_CVVALUE_H_
