// An executable loaded as a data file, and readers for the raw bytes of its
// resources. The programs to check come from the command line.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace raylet::ui {

// The executables named on the command line (set by main).
std::vector<std::string>& ExecutablesUnderTest();

class ResourceFile {
 public:
  explicit ResourceFile(const std::string& path)
      : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~ResourceFile() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  ResourceFile(const ResourceFile&) = delete;
  ResourceFile& operator=(const ResourceFile&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  HMODULE Module() const { return module_; }
  // The neutral-language resource's bytes; empty when there is none.
  std::vector<uint8_t> Bytes(LPCSTR type, UINT id) const {
    HRSRC found = FindResourceExA(module_, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    if (found == nullptr) return {};
    auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module_, found)));
    return std::vector<uint8_t>(data, data + SizeofResource(module_, found));
  }

 private:
  HMODULE module_;
};

// Reads little-endian words, UTF-16 strings and alignment in resource bytes.
class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& bytes, std::size_t at = 0) : bytes_(bytes), at_(at) {}
  uint16_t Word() {
    uint16_t value = static_cast<uint16_t>(bytes_.at(at_) | (bytes_.at(at_ + 1) << 8));
    at_ += 2;
    return value;
  }
  uint32_t Dword() {
    uint32_t low = Word();
    return low | (static_cast<uint32_t>(Word()) << 16);
  }
  int16_t Short() { return static_cast<int16_t>(Word()); }
  std::wstring String() {
    std::wstring text;
    for (uint16_t c = Word(); c != 0; c = Word()) text.push_back(static_cast<wchar_t>(c));
    return text;
  }
  // A name or ordinal field: 0xFFFF followed by the ordinal, else a string.
  std::wstring NameOrOrdinal() {
    if (bytes_.at(at_) == 0xFF && bytes_.at(at_ + 1) == 0xFF) {
      Word();
      return L"#" + std::to_wstring(Word());
    }
    return String();
  }
  void Align(std::size_t boundary) { at_ = (at_ + boundary - 1) / boundary * boundary; }
  std::size_t At() const { return at_; }
  void Seek(std::size_t at) { at_ = at; }
  bool AtEnd() const { return at_ >= bytes_.size(); }

 private:
  const std::vector<uint8_t>& bytes_;
  std::size_t at_;
};

}  // namespace raylet::ui
