// Version blocks held in memory for the version reader's tests, and a
// VersionApi that serves them the way version.dll's ANSI calls do: nodes of
// {length, value length, key, padding, value, padding, children}, lookups by
// backslash path with keys compared without regard to case, the value
// pointer pointing into the caller's copy of the block.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "resources/version.h"
#include "shell/logic/VersionApi.h"

namespace raylet::test {

struct VersionNode {
  std::string key;
  std::string value;  // raw bytes
  std::vector<VersionNode> children;
};

inline std::string Pad4(std::string bytes) {
  while (bytes.size() % 4 != 0) bytes.push_back('\0');
  return bytes;
}

inline std::string Serialize(const VersionNode& node) {
  std::string body = Pad4(std::string(4, '\0') + node.key + '\0');
  body = Pad4(body + node.value);
  for (const VersionNode& child : node.children) body += Pad4(Serialize(child));
  uint16_t length = static_cast<uint16_t>(body.size());
  uint16_t value_length = static_cast<uint16_t>(node.value.size());
  std::memcpy(&body[0], &length, 2);
  std::memcpy(&body[2], &value_length, 2);
  return body;
}

inline VersionNode Text(const std::string& key, const std::string& text) { return {key, text + '\0', {}}; }

inline std::string Translations(const std::vector<std::pair<uint16_t, uint16_t>>& pairs) {
  std::string bytes;
  for (auto [language, code_page] : pairs) {
    bytes.append(reinterpret_cast<const char*>(&language), 2);
    bytes.append(reinterpret_cast<const char*>(&code_page), 2);
  }
  return bytes;
}

// A block like the program's: one string table `table` with `values`, and
// (when `translations` is not empty) a VarFileInfo\Translation value.
inline std::string MakeBlock(const std::string& table, const std::vector<std::pair<std::string, std::string>>& values,
                             const std::vector<std::pair<uint16_t, uint16_t>>& translations) {
  VersionNode strings{table, "", {}};
  for (const auto& [key, text] : values) strings.children.push_back(Text(key, text));
  VersionNode root{"VS_VERSION_INFO", std::string(52, '\x11'), {{"StringFileInfo", "", {strings}}}};
  if (!translations.empty()) {
    root.children.push_back({"VarFileInfo", "", {{"Translation", Translations(translations), {}}}});
  }
  return Serialize(root);
}

inline std::vector<std::pair<std::string, std::string>> ProgramValues() {
  return {{"CompanyName", "The Raylet authors"}, {"FileDescription", "Raylet"},   {"FileVersion", RAYLET_VERSION_TEXT},
          {"InternalName", "rayctl"},        {"LegalCopyright", "(C) us"},   {"OriginalFilename", "rayctl.exe"},
          {"ProductName", "RayCtl"},         {"ProductVersion", RAYLET_VERSION_TEXT}};
}

class FakeVersionApi : public VersionApi {
 public:
  std::string module_path = "C:\\RAYLET\\RAYCTL.EXE";
  bool has_block = true;
  std::string block;
  bool read_fails = false;

  std::vector<std::string> queries;
  std::string path_asked;  // what GetFileVersionInfoSizeA was given
  int reads = 0;

  DWORD module_buffer_size = 0;
  bool module_buffer_zeroed = false;
  std::string answers_without_value;  // a query that succeeds yet points nowhere

  // As the NT family answers: a path the buffer cannot hold with its
  // terminator fills it, unterminated, and the result is the buffer's size.
  DWORD GetModuleFileNameA(HMODULE, char* buffer, DWORD size) override {
    module_buffer_size = size;
    module_buffer_zeroed = std::all_of(buffer, buffer + size, [](char c) { return c == 0; });
    std::size_t length = std::min<std::size_t>(module_path.size(), size);
    std::memcpy(buffer, module_path.data(), length);
    if (length < size) buffer[length] = '\0';
    return static_cast<DWORD>(length);
  }
  DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle) override {
    path_asked = path;
    *handle = 0;
    return has_block ? static_cast<DWORD>(block.size()) : 0;
  }
  BOOL GetFileVersionInfoA(const char*, DWORD, DWORD size, void* data) override {
    ++reads;
    if (read_fails || size < block.size()) return FALSE;
    std::memcpy(data, block.data(), block.size());
    return TRUE;
  }
  BOOL VerQueryValueA(const void* data, const char* sub_block, void** value, UINT* length) override {
    queries.push_back(sub_block);
    if (sub_block == answers_without_value) {
      *value = nullptr;
      *length = 0;
      return TRUE;
    }
    auto* node = static_cast<uint8_t*>(const_cast<void*>(data));
    std::string path = sub_block;
    std::size_t at = 0;
    while (at < path.size()) {
      while (at < path.size() && path[at] == '\\') ++at;
      std::size_t end = path.find('\\', at);
      if (end == std::string::npos) end = path.size();
      if (end == at) break;
      node = Child(node, path.substr(at, end - at));
      if (node == nullptr) return FALSE;
      at = end;
    }
    *value = ValueOf(node);
    *length = ValueLength(node);
    return TRUE;
  }

 private:
  static uint16_t Word(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }
  static std::size_t Align(std::size_t n) { return (n + 3) & ~std::size_t{3}; }
  static const char* Key(uint8_t* node) { return reinterpret_cast<const char*>(node + 4); }
  static uint8_t* ValueOf(uint8_t* node) { return node + Align(4 + std::strlen(Key(node)) + 1); }
  static UINT ValueLength(uint8_t* node) { return Word(node + 2); }
  static uint8_t* Child(uint8_t* node, const std::string& key) {
    uint8_t* end = node + Word(node);
    uint8_t* child = ValueOf(node) + Align(ValueLength(node));
    while (child < end && Word(child) != 0) {
      if (strcasecmp(Key(child), key.c_str()) == 0) return child;
      child += Align(Word(child));
    }
    return nullptr;
  }
};

}  // namespace raylet::test
