// In-memory registry of the simulated Windows.
//
// Two root keys, HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER; key paths and
// value names compare case-insensitively, values keep their type and raw
// bytes. The Reg* operations behave like Windows 98's:
//  - RegOpenKeyExA never creates a key; it accepts a root key or an open
//    handle as parent. Options other than 0 and access other than
//    KEY_ALL_ACCESS are violations (the call still works).
//  - RegQueryValueExA reports type and size; data larger than *size gives
//    ERROR_MORE_DATA and a buffer full of junk (0xCD), nothing usable.
//  - RegDeleteKeyA removes the key with all its subkeys and values.
//  - Every handle is counted: a close of an unknown or closed handle, or the
//    use of one, is a violation; a handle still open at the end is a leak.
// The test side (CreateKey, SetString, GetValue, Dump, ...) never counts as a
// call of the program and never fails.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "sim/SimFaults.h"
#include "sim/SimViolations.h"

namespace raylet::sim {

struct RegValue {
  std::string name;  // as written first
  DWORD type = REG_NONE;
  std::string data;  // raw bytes
};

// One call of the program that wrote or deleted something.
struct RegChange {
  enum Kind { kSetValue, kDeleteKey, kDeleteValue } kind;
  std::string key;   // "HKCU\Control Panel\Infrared" (spelling of the call)
  std::string name;  // value name, or subkey for kDeleteKey
  DWORD type = 0;
  std::string data;
  LONG result = 0;
};

struct RegOpenRecord {
  std::string key;  // full path as the program spelled it
  DWORD options;
  REGSAM access;
  LONG result;
};

class SimRegistry {
 public:
  SimRegistry(SimFaults& faults, SimViolations& violations);
  ~SimRegistry();

  // --- Seeding and inspection (tests) ---
  void CreateKey(HKEY root, const std::string& path);  // with every missing parent
  void DeleteKey(HKEY root, const std::string& path);
  // Creates the key when needed. `data` is stored byte for byte.
  void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& data);
  // REG_SZ with its terminator.
  void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text);
  void SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
  bool KeyExists(HKEY root, const std::string& path) const;
  std::optional<RegValue> GetValue(HKEY root, const std::string& path, const std::string& name) const;
  // Text up to the first NUL; empty optional when missing.
  std::optional<std::string> GetString(HKEY root, const std::string& path, const std::string& name) const;
  std::optional<DWORD> GetDword(HKEY root, const std::string& path, const std::string& name) const;
  // The subtree as text, keys and values in a fixed order, for comparing a
  // whole state before and after an operation. Empty when the key is absent.
  std::string Dump(HKEY root, const std::string& path = "") const;
  int KeyCount() const;  // every key under both roots

  // --- What the program did ---
  const std::vector<RegOpenRecord>& Opens() const { return opens_; }
  const std::vector<RegChange>& Changes() const { return changes_; }
  int OpenCount() const { return open_count_; }     // successful opens
  int CloseCount() const { return close_count_; }   // valid closes
  int OpenHandles() const;                          // open now
  std::vector<std::string> OpenHandlePaths() const;

  // --- The program's calls (through SimWindows) ---
  LONG Open(HKEY root, const char* path, DWORD options, REGSAM access, HKEY* result);
  LONG Query(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
  LONG Set(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
  LONG DeleteSubKey(HKEY parent, const char* subkey);
  LONG DeleteValue(HKEY key, const char* name);
  LONG Close(HKEY key);

 private:
  struct Node;
  struct Handle {
    HKEY root;
    std::vector<std::string> path;  // folded components
    std::string spelled;            // "HKLM\Enum\Root\Infrared"
    bool open;
  };

  Node* RootNode(HKEY root) const;
  Node* Find(HKEY root, const std::vector<std::string>& path) const;
  Node* Make(HKEY root, const std::string& path);
  // Resolves a root key or an open handle; records violations and returns
  // the Windows error otherwise.
  LONG Resolve(HKEY key, const char* call, Node** node, const Handle** handle);
  void DumpNode(const Node& node, const std::string& prefix, std::string* out) const;

  SimFaults& faults_;
  SimViolations& violations_;
  std::unique_ptr<Node> hklm_;
  std::unique_ptr<Node> hkcu_;
  std::map<std::uintptr_t, Handle> handles_;
  std::uintptr_t next_handle_ = 0x1000;
  std::vector<RegOpenRecord> opens_;
  std::vector<RegChange> changes_;
  int open_count_ = 0;
  int close_count_ = 0;
};

// Splits "A\B\C" into its components; an empty path gives none. False for an
// empty component ("A\\B", "\A", "A\").
bool SplitKeyPath(const std::string& path, std::vector<std::string>* parts);

}  // namespace raylet::sim
