#include "shell/logic/CommandLineSplit.h"

namespace raylet {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Writes the arguments' characters into a fixed buffer; once a character
// does not fit (room is kept for the terminator), the writer stays full.
class ArgumentWriter {
 public:
  ArgumentWriter(char* buffer, std::size_t size) : buffer_(buffer), size_(size) {}

  void Put(char c) {
    if (used_ + 1 < size_) {
      buffer_[used_++] = c;
    } else {
      full_ = true;
    }
  }
  void PutBackslashes(unsigned count) {
    for (unsigned i = 0; i < count; ++i) Put('\\');
  }
  // Starts an argument; returns where it begins.
  char* Begin() { return buffer_ + used_; }
  // Terminates the argument begun last; false when it did not fit whole.
  bool End() {
    if (full_ || used_ >= size_) return false;
    buffer_[used_++] = '\0';
    return true;
  }

 private:
  char* buffer_;
  std::size_t size_;
  std::size_t used_ = 0;
  bool full_ = false;
};

// The program name: no escapes, a leading quote runs to the next quote.
const char* ReadProgramName(const char* p, ArgumentWriter& out) {
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') out.Put(*p++);
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && !IsBlank(*p)) out.Put(*p++);
  }
  return p;
}

// One argument after the program name; returns where the next one may start.
const char* ReadArgument(const char* p, ArgumentWriter& out) {
  bool quoted = false;
  while (*p != '\0' && (quoted || !IsBlank(*p))) {
    if (*p == '\\') {
      unsigned backslashes = 0;
      while (*p == '\\') {
        ++backslashes;
        ++p;
      }
      if (*p == '"') {
        out.PutBackslashes(backslashes / 2);
        if (backslashes % 2 == 1) {
          out.Put('"');
          ++p;
        }
      } else {
        out.PutBackslashes(backslashes);
      }
    } else if (*p == '"') {
      if (quoted && p[1] == '"') {
        out.Put('"');
        p += 2;
      } else {
        quoted = !quoted;
        ++p;
      }
    } else {
      out.Put(*p++);
    }
  }
  return p;
}

}  // namespace

int SplitCommandLine(const char* line, char* buffer, std::size_t buffer_size, char** argv, int max_args) {
  int count = 0;
  if (argv == nullptr || max_args < 0) return 0;
  argv[0] = nullptr;
  if (line == nullptr || buffer == nullptr || buffer_size == 0 || max_args == 0) return 0;
  ArgumentWriter out(buffer, buffer_size);

  const char* p = line;
  char* start = out.Begin();
  p = ReadProgramName(p, out);
  if (!out.End()) return 0;
  argv[count++] = start;

  for (;;) {
    while (IsBlank(*p)) ++p;
    if (*p == '\0' || count == max_args) break;
    start = out.Begin();
    p = ReadArgument(p, out);
    if (!out.End()) break;
    argv[count++] = start;
  }
  argv[count] = nullptr;
  return count;
}

}  // namespace raylet
