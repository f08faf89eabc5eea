#include "sim/SimRegistry.h"

#include <cstdio>
#include <cstring>

#include "sim/SimText.h"

namespace raylet::sim {

namespace {
constexpr LONG kKeyDeleted = 1018;  // ERROR_KEY_DELETED
constexpr LONG kBadPathname = 161;  // ERROR_BAD_PATHNAME
constexpr unsigned char kJunk = 0xCD;
}  // namespace

struct SimRegistry::Node {
  std::string name;
  std::map<std::string, RegValue> values;               // by folded name
  std::map<std::string, std::unique_ptr<Node>> children;  // by folded name
};

bool SplitKeyPath(const std::string& path, std::vector<std::string>* parts) {
  parts->clear();
  if (path.empty()) return true;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = path.find('\\', start);
    std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part.empty()) return false;
    parts->push_back(part);
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

SimRegistry::SimRegistry(SimFaults& faults, SimViolations& violations)
    : faults_(faults), violations_(violations), hklm_(new Node{"HKLM", {}, {}}), hkcu_(new Node{"HKCU", {}, {}}) {}

SimRegistry::~SimRegistry() = default;

SimRegistry::Node* SimRegistry::RootNode(HKEY root) const {
  if (root == HKEY_LOCAL_MACHINE) return hklm_.get();
  if (root == HKEY_CURRENT_USER) return hkcu_.get();
  return nullptr;
}

SimRegistry::Node* SimRegistry::Find(HKEY root, const std::vector<std::string>& path) const {
  Node* node = RootNode(root);
  for (const std::string& part : path) {
    if (node == nullptr) return nullptr;
    auto it = node->children.find(Fold(part));
    node = it == node->children.end() ? nullptr : it->second.get();
  }
  return node;
}

SimRegistry::Node* SimRegistry::Make(HKEY root, const std::string& path) {
  std::vector<std::string> parts;
  Node* node = RootNode(root);
  if (node == nullptr || !SplitKeyPath(path, &parts)) return nullptr;
  for (const std::string& part : parts) {
    auto& child = node->children[Fold(part)];
    if (!child) child.reset(new Node{part, {}, {}});
    node = child.get();
  }
  return node;
}

// ---------------------------------------------------------------- seeding

void SimRegistry::CreateKey(HKEY root, const std::string& path) { Make(root, path); }

void SimRegistry::DeleteKey(HKEY root, const std::string& path) {
  std::vector<std::string> parts;
  if (!SplitKeyPath(path, &parts) || parts.empty()) return;
  std::string last = Fold(parts.back());
  parts.pop_back();
  if (Node* parent = Find(root, parts)) parent->children.erase(last);
}

void SimRegistry::SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                           const std::string& data) {
  Node* node = Make(root, path);
  if (node == nullptr) return;
  RegValue& value = node->values[Fold(name)];
  if (value.name.empty()) value.name = name;
  value.type = type;
  value.data = data;
}

void SimRegistry::SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
  SetValue(root, path, name, REG_SZ, text + std::string(1, '\0'));
}

void SimRegistry::SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
  SetValue(root, path, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

bool SimRegistry::KeyExists(HKEY root, const std::string& path) const {
  std::vector<std::string> parts;
  return SplitKeyPath(path, &parts) && Find(root, parts) != nullptr;
}

std::optional<RegValue> SimRegistry::GetValue(HKEY root, const std::string& path, const std::string& name) const {
  std::vector<std::string> parts;
  if (!SplitKeyPath(path, &parts)) return std::nullopt;
  Node* node = Find(root, parts);
  if (node == nullptr) return std::nullopt;
  auto it = node->values.find(Fold(name));
  if (it == node->values.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> SimRegistry::GetString(HKEY root, const std::string& path, const std::string& name) const {
  auto value = GetValue(root, path, name);
  if (!value) return std::nullopt;
  return value->data.substr(0, value->data.find('\0'));
}

std::optional<DWORD> SimRegistry::GetDword(HKEY root, const std::string& path, const std::string& name) const {
  auto value = GetValue(root, path, name);
  if (!value || value->data.size() != sizeof(DWORD)) return std::nullopt;
  DWORD result;
  std::memcpy(&result, value->data.data(), sizeof result);
  return result;
}

void SimRegistry::DumpNode(const Node& node, const std::string& prefix, std::string* out) const {
  *out += "[" + prefix + "]\n";
  for (const auto& [folded, value] : node.values) {
    char head[32];
    std::snprintf(head, sizeof head, " = %u:", static_cast<unsigned>(value.type));
    *out += "  \"" + value.name + "\"" + head;
    for (unsigned char c : value.data) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%02x", c);
      *out += hex;
    }
    *out += "\n";
  }
  for (const auto& [folded, child] : node.children) DumpNode(*child, prefix + "\\" + child->name, out);
}

std::string SimRegistry::Dump(HKEY root, const std::string& path) const {
  std::vector<std::string> parts;
  if (!SplitKeyPath(path, &parts)) return "";
  Node* node = Find(root, parts);
  if (node == nullptr) return "";
  std::string out;
  DumpNode(*node, RootName(root) + (path.empty() ? "" : "\\" + path), &out);
  return out;
}

int SimRegistry::KeyCount() const {
  int count = 0;
  std::vector<const Node*> pending = {hklm_.get(), hkcu_.get()};
  while (!pending.empty()) {
    const Node* node = pending.back();
    pending.pop_back();
    for (const auto& entry : node->children) {
      ++count;
      pending.push_back(entry.second.get());
    }
  }
  return count;
}

int SimRegistry::OpenHandles() const {
  int count = 0;
  for (const auto& entry : handles_) count += entry.second.open ? 1 : 0;
  return count;
}

std::vector<std::string> SimRegistry::OpenHandlePaths() const {
  std::vector<std::string> paths;
  for (const auto& entry : handles_) {
    if (entry.second.open) paths.push_back(entry.second.spelled);
  }
  return paths;
}

// ---------------------------------------------------------------- the calls

LONG SimRegistry::Resolve(HKEY key, const char* call, Node** node, const Handle** handle) {
  *handle = nullptr;
  if (Node* root = RootNode(key)) {
    *node = root;
    return ERROR_SUCCESS;
  }
  auto it = handles_.find(reinterpret_cast<std::uintptr_t>(key));
  if (it == handles_.end()) {
    violations_.Add(std::string(call) + " on an unknown key handle");
    return ERROR_INVALID_HANDLE;
  }
  if (!it->second.open) {
    violations_.Add(std::string(call) + " on " + it->second.spelled + " after its close");
    return ERROR_INVALID_HANDLE;
  }
  *handle = &it->second;
  *node = Find(it->second.root, it->second.path);
  return *node == nullptr ? kKeyDeleted : ERROR_SUCCESS;
}

LONG SimRegistry::Open(HKEY root, const char* path, DWORD options, REGSAM access, HKEY* result) {
  std::string sub = path == nullptr ? "" : path;
  Node* parent = nullptr;
  const Handle* parent_handle = nullptr;
  LONG status = Resolve(root, "RegOpenKeyExA", &parent, &parent_handle);
  HKEY base_root = parent_handle ? parent_handle->root : root;
  std::string spelled = parent_handle ? parent_handle->spelled : RootName(root);
  if (!sub.empty()) spelled += "\\" + sub;
  if (options != 0) violations_.Add("RegOpenKeyExA " + spelled + " with options " + std::to_string(options));
  if (access != KEY_ALL_ACCESS) violations_.Add("RegOpenKeyExA " + spelled + " with access " + std::to_string(access));
  if (result == nullptr) violations_.Add("RegOpenKeyExA " + spelled + " without a result pointer");

  std::vector<std::string> full = parent_handle ? parent_handle->path : std::vector<std::string>();
  std::vector<std::string> parts;
  if (status == ERROR_SUCCESS && !SplitKeyPath(sub, &parts)) status = kBadPathname;
  for (const std::string& part : parts) full.push_back(Fold(part));
  if (faults_.Next(Op::RegOpen, spelled) && status == ERROR_SUCCESS) status = ERROR_ACCESS_DENIED;
  if (status == ERROR_SUCCESS && Find(base_root, full) == nullptr) status = ERROR_FILE_NOT_FOUND;
  opens_.push_back({spelled, options, access, status});
  if (status != ERROR_SUCCESS || result == nullptr) return status;

  std::uintptr_t value = next_handle_;
  next_handle_ += 4;
  handles_[value] = Handle{base_root, full, spelled, true};
  *result = reinterpret_cast<HKEY>(value);
  ++open_count_;
  return ERROR_SUCCESS;
}

LONG SimRegistry::Query(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size) {
  Node* node = nullptr;
  const Handle* handle = nullptr;
  LONG status = Resolve(key, "RegQueryValueExA", &node, &handle);
  std::string subject = handle ? handle->spelled : RootName(key);
  if (reserved != nullptr) violations_.Add("RegQueryValueExA with a reserved pointer");
  if (faults_.Next(Op::RegQuery, subject) && status == ERROR_SUCCESS) status = ERROR_ACCESS_DENIED;
  if (status != ERROR_SUCCESS) return status;
  auto it = node->values.find(Fold(name == nullptr ? "" : name));
  if (it == node->values.end()) return ERROR_FILE_NOT_FOUND;
  const RegValue& value = it->second;
  if (type != nullptr) *type = value.type;
  DWORD needed = static_cast<DWORD>(value.data.size());
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
  }
  if (size == nullptr) {
    violations_.Add("RegQueryValueExA with data but no size");
    return 87;
  }
  if (needed > *size) {
    std::memset(data, kJunk, *size);
    *size = needed;
    return ERROR_MORE_DATA;
  }
  std::memcpy(data, value.data.data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

LONG SimRegistry::Set(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  Node* node = nullptr;
  const Handle* handle = nullptr;
  LONG status = Resolve(key, "RegSetValueExA", &node, &handle);
  std::string subject = handle ? handle->spelled : RootName(key);
  std::string value_name = name == nullptr ? "" : name;
  if (reserved != 0) violations_.Add("RegSetValueExA with reserved " + std::to_string(reserved));
  if (faults_.Next(Op::RegSet, subject) && status == ERROR_SUCCESS) status = ERROR_ACCESS_DENIED;
  std::string bytes = data == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(data), size);
  changes_.push_back({RegChange::kSetValue, subject, value_name, type, bytes, status});
  if (status != ERROR_SUCCESS) return status;
  RegValue& value = node->values[Fold(value_name)];
  if (value.name.empty()) value.name = value_name;
  value.type = type;
  value.data = bytes;
  return ERROR_SUCCESS;
}

LONG SimRegistry::DeleteSubKey(HKEY parent, const char* subkey) {
  Node* node = nullptr;
  const Handle* handle = nullptr;
  LONG status = Resolve(parent, "RegDeleteKeyA", &node, &handle);
  std::string subject = handle ? handle->spelled : RootName(parent);
  std::string sub = subkey == nullptr ? "" : subkey;
  std::vector<std::string> parts;
  if (status == ERROR_SUCCESS && (!SplitKeyPath(sub, &parts) || parts.empty())) status = kBadPathname;
  if (faults_.Next(Op::RegDeleteKey, subject + "\\" + sub) && status == ERROR_SUCCESS) status = ERROR_ACCESS_DENIED;
  if (status == ERROR_SUCCESS) {
    std::string last = Fold(parts.back());
    parts.pop_back();
    for (const std::string& part : parts) {
      auto it = node->children.find(Fold(part));
      node = it == node->children.end() ? nullptr : it->second.get();
      if (node == nullptr) break;
    }
    if (node == nullptr || node->children.erase(last) == 0) status = ERROR_FILE_NOT_FOUND;
  }
  changes_.push_back({RegChange::kDeleteKey, subject, sub, 0, "", status});
  return status;
}

LONG SimRegistry::DeleteValue(HKEY key, const char* name) {
  Node* node = nullptr;
  const Handle* handle = nullptr;
  LONG status = Resolve(key, "RegDeleteValueA", &node, &handle);
  std::string subject = handle ? handle->spelled : RootName(key);
  std::string value_name = name == nullptr ? "" : name;
  if (faults_.Next(Op::RegDeleteValue, subject) && status == ERROR_SUCCESS) status = ERROR_ACCESS_DENIED;
  if (status == ERROR_SUCCESS && node->values.erase(Fold(value_name)) == 0) status = ERROR_FILE_NOT_FOUND;
  changes_.push_back({RegChange::kDeleteValue, subject, value_name, 0, "", status});
  return status;
}

LONG SimRegistry::Close(HKEY key) {
  if (RootNode(key) != nullptr) return ERROR_SUCCESS;  // closing a root key is harmless
  auto it = handles_.find(reinterpret_cast<std::uintptr_t>(key));
  if (it == handles_.end()) {
    violations_.Add("RegCloseKey of an unknown key handle");
    return ERROR_INVALID_HANDLE;
  }
  if (!it->second.open) {
    violations_.Add("RegCloseKey of " + it->second.spelled + " twice");
    return ERROR_INVALID_HANDLE;
  }
  it->second.open = false;
  ++close_count_;
  return ERROR_SUCCESS;
}

}  // namespace raylet::sim
