#include "pemar/framework/CrashSimulatingFileSystem.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <utility>

namespace pemar {

// Passes every call to the memory file's writer and records the data
// operations against its node.
class RecordingFile final : public WritableFile {
 public:
  RecordingFile(std::unique_ptr<WritableFile> target,
                CrashSimulatingFileSystem* fs, int node)
      : target_(std::move(target)), fs_(fs), node_(node) {}
  bool Append(const void* data, std::size_t n) override {
    std::uint64_t& size = fs_->sizes_[node_];
    RecordWrite(size, data, n);
    return target_->Append(data, n);
  }
  bool WriteAt(std::uint64_t offset, const void* data, std::size_t n) override {
    RecordWrite(offset, data, n);
    return target_->WriteAt(offset, data, n);
  }
  bool Sync() override {
    CrashSimulatingFileSystem::Op op{CrashSimulatingFileSystem::Kind::kSync};
    op.node = node_;
    fs_->Record(std::move(op));
    return target_->Sync();
  }
  bool Close() override { return target_->Close(); }

 private:
  void RecordWrite(std::uint64_t offset, const void* data, std::size_t n) {
    CrashSimulatingFileSystem::Op op{CrashSimulatingFileSystem::Kind::kWrite};
    op.node = node_;
    op.offset = offset;
    op.bytes.assign(static_cast<const char*>(data), n);
    fs_->Record(std::move(op));
    std::uint64_t& size = fs_->sizes_[node_];
    size = std::max<std::uint64_t>(size, offset + n);
  }

  std::unique_ptr<WritableFile> target_;
  CrashSimulatingFileSystem* fs_;
  int node_;
};

namespace {

// The folder whose sync makes a name operation on `path` sure.
std::string FolderOf(const std::string& path) {
  std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? std::string(".") : folder;
}

std::string NormalFolder(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder.empty() ? std::string(".") : folder;
}

// One state as one string, to tell equal states apart.
std::string Serialize(const CrashSimulatingFileSystem::State& files) {
  std::string out;
  for (const auto& [path, bytes] : files) {
    out += std::to_string(path.size()) + ":" + path +
           std::to_string(bytes.size()) + ":" + bytes;
  }
  return out;
}

void Write(std::string& data, std::uint64_t offset, const char* bytes,
           std::size_t n) {
  if (offset + n > data.size()) data.resize(offset + n);
  std::memcpy(data.data() + offset, bytes, n);
}

}  // namespace

void CrashSimulatingFileSystem::StartRecording() {
  ops_.clear();
  names_.clear();
  sizes_.clear();
  base_names_.clear();
  base_data_.clear();
  next_node_ = 0;
  for (auto& [path, bytes] : Files()) {
    int node = next_node_++;
    names_[path] = node;
    sizes_[node] = bytes.size();
    base_names_[path] = node;
    base_data_[node] = std::move(bytes);
  }
}

int CrashSimulatingFileSystem::OpenNode(const std::string& path, bool append) {
  auto it = names_.find(path);
  if (it != names_.end()) {
    if (!append) {
      Op op{Kind::kTruncate};
      op.node = it->second;
      Record(std::move(op));
      sizes_[it->second] = 0;
    }
    return it->second;
  }
  int node = next_node_++;
  names_[path] = node;
  sizes_[node] = 0;
  Op op{Kind::kLink};
  op.node = node;
  op.name = path;
  Record(std::move(op));
  return node;
}

std::unique_ptr<WritableFile> CrashSimulatingFileSystem::Wrap(
    std::unique_ptr<WritableFile> file, int node) {
  if (!file) return nullptr;
  return std::make_unique<RecordingFile>(std::move(file), this, node);
}

std::unique_ptr<WritableFile> CrashSimulatingFileSystem::NewWritableFile(
    const std::string& path) {
  auto file = MemoryFileSystem::NewWritableFile(path);
  return Wrap(std::move(file), OpenNode(path, /*append=*/false));
}

std::unique_ptr<WritableFile> CrashSimulatingFileSystem::NewAppendableFile(
    const std::string& path) {
  auto file = MemoryFileSystem::NewAppendableFile(path);
  return Wrap(std::move(file), OpenNode(path, /*append=*/true));
}

std::unique_ptr<WritableFile> CrashSimulatingFileSystem::NewExclusiveFile(
    const std::string& path) {
  if (FileExists(path)) return nullptr;
  return NewWritableFile(path);
}

bool CrashSimulatingFileSystem::RenameFile(const std::string& from,
                                           const std::string& to) {
  if (!MemoryFileSystem::RenameFile(from, to)) return false;
  auto it = names_.find(from);
  int node = it != names_.end() ? it->second : next_node_++;
  if (it != names_.end()) names_.erase(it);
  names_[to] = node;
  Op op{Kind::kRename};
  op.node = node;
  op.name = to;
  op.from = from;
  Record(std::move(op));
  return true;
}

bool CrashSimulatingFileSystem::RenameFileNoReplace(const std::string& from,
                                                    const std::string& to) {
  if (FileExists(to) || !FileExists(from)) return false;
  return RenameFile(from, to);
}

bool CrashSimulatingFileSystem::DeleteFile(const std::string& path) {
  if (!MemoryFileSystem::DeleteFile(path)) return false;
  auto it = names_.find(path);
  if (it == names_.end()) return true;
  Op op{Kind::kUnlink};
  op.node = it->second;
  op.name = path;
  names_.erase(it);
  Record(std::move(op));
  return true;
}

bool CrashSimulatingFileSystem::SyncDirectory(const std::string& path) {
  Op op{Kind::kSyncDir};
  op.folder = NormalFolder(path);
  Record(std::move(op));
  return true;
}

bool CrashSimulatingFileSystem::IsSure(std::size_t i,
                                       std::size_t prefix) const {
  const Op& op = ops_[i];
  auto syncedLater = [&](auto matches) {
    for (std::size_t j = i + 1; j < prefix; ++j) {
      if (matches(ops_[j])) return true;
    }
    return false;
  };
  auto folderSynced = [&](const std::string& folder) {
    return syncedLater([&](const Op& o) {
      return o.kind == Kind::kSyncDir && o.folder == folder;
    });
  };
  switch (op.kind) {
    case Kind::kWrite:
    case Kind::kTruncate:
      return syncedLater([&](const Op& o) {
        return o.kind == Kind::kSync && o.node == op.node;
      });
    case Kind::kLink:
    case Kind::kUnlink:
      return folderSynced(FolderOf(op.name));
    case Kind::kRename:
      return folderSynced(FolderOf(op.name)) && folderSynced(FolderOf(op.from));
    case Kind::kSync:
    case Kind::kSyncDir:
      return true;
  }
  return true;
}

CrashSimulatingFileSystem::State CrashSimulatingFileSystem::Replay(
    std::size_t prefix, const std::vector<bool>& sure,
    const std::vector<std::size_t>& unsureNames,
    const std::vector<bool>& happenedNames, Data data) const {
  std::vector<bool> happened(prefix, false);
  for (std::size_t i = 0; i < prefix; ++i) happened[i] = sure[i];
  for (std::size_t k = 0; k < unsureNames.size(); ++k) {
    if (happenedNames[k]) happened[unsureNames[k]] = true;
  }
  // Torn: each node keeps the first half of its unsure bytes.
  std::map<int, std::uint64_t> keep;
  if (data == Data::kTorn) {
    for (std::size_t i = 0; i < prefix; ++i) {
      if (ops_[i].kind == Kind::kWrite && !sure[i]) {
        keep[ops_[i].node] += ops_[i].bytes.size();
      }
    }
    for (auto& [node, bytes] : keep) bytes /= 2;
  }
  std::set<int> cut;
  std::map<std::string, int> names = base_names_;
  std::map<int, std::string> contents = base_data_;
  for (std::size_t i = 0; i < prefix; ++i) {
    const Op& op = ops_[i];
    switch (op.kind) {
      case Kind::kWrite:
      case Kind::kTruncate: {
        std::string& bytes = contents[op.node];
        std::size_t take = op.bytes.size();
        if (!sure[i]) {
          if (data == Data::kLost || cut.count(op.node) != 0) break;
          if (data == Data::kTorn) {
            std::uint64_t& left = keep[op.node];
            take =
                static_cast<std::size_t>(std::min<std::uint64_t>(take, left));
            left -= take;
            if (take < op.bytes.size()) cut.insert(op.node);
          }
        }
        if (op.kind == Kind::kTruncate) {
          bytes.clear();
        } else {
          Write(bytes, op.offset, op.bytes.data(), take);
        }
        break;
      }
      case Kind::kLink:
        if (happened[i]) names[op.name] = op.node;
        break;
      case Kind::kRename:
        if (happened[i]) {
          names[op.name] = op.node;
          auto from = names.find(op.from);
          if (from != names.end() && from->second == op.node) names.erase(from);
        }
        break;
      case Kind::kUnlink:
        if (happened[i]) {
          auto it = names.find(op.name);
          if (it != names.end() && it->second == op.node) names.erase(it);
        }
        break;
      case Kind::kSync:
      case Kind::kSyncDir:
        break;
    }
  }
  State files;
  for (const auto& [path, node] : names) files[path] = contents[node];
  return files;
}

std::vector<CrashSimulatingFileSystem::State>
CrashSimulatingFileSystem::CrashStates(std::size_t prefix) const {
  prefix = std::min(prefix, ops_.size());
  std::vector<bool> sure(prefix);
  std::vector<std::size_t> unsureNames;
  bool unsureData = false;
  for (std::size_t i = 0; i < prefix; ++i) {
    sure[i] = IsSure(i, prefix);
    if (sure[i]) continue;
    Kind kind = ops_[i].kind;
    if (kind == Kind::kWrite || kind == Kind::kTruncate) {
      unsureData = true;
    } else {
      unsureNames.push_back(i);
    }
  }

  // Which unsure name operations happened: all combinations while few,
  // else the prefixes in order and each one left out.
  const std::size_t n = unsureNames.size();
  std::vector<std::vector<bool>> choices;
  if (n <= kMaxExhaustiveNameOps) {
    for (std::size_t m = 0; m < (std::size_t{1} << n); ++m) {
      std::vector<bool> choice(n);
      for (std::size_t k = 0; k < n; ++k) choice[k] = (m >> k) & 1;
      choices.push_back(std::move(choice));
    }
  } else {
    for (std::size_t k = 0; k <= n; ++k) {
      std::vector<bool> choice(n, false);
      std::fill(choice.begin(), choice.begin() + k, true);
      choices.push_back(std::move(choice));
    }
    for (std::size_t k = 0; k < n; ++k) {
      std::vector<bool> choice(n, true);
      choice[k] = false;
      choices.push_back(std::move(choice));
    }
  }
  std::vector<Data> datas = {Data::kKept};
  if (unsureData) datas = {Data::kLost, Data::kKept, Data::kTorn};

  std::vector<State> states;
  std::set<std::string> seen;
  for (Data data : datas) {
    for (const std::vector<bool>& choice : choices) {
      State files = Replay(prefix, sure, unsureNames, choice, data);
      if (seen.insert(Serialize(files)).second) {
        states.push_back(std::move(files));
      }
    }
  }
  return states;
}

std::size_t CrashSimulatingFileSystem::ForEachCrashState(
    const std::function<void(const State&)>& check) const {
  std::set<std::string> seen;
  for (std::size_t prefix = 0; prefix <= ops_.size(); ++prefix) {
    for (const State& files : CrashStates(prefix)) {
      if (seen.insert(Serialize(files)).second) check(files);
    }
  }
  return seen.size();
}

}  // namespace pemar
