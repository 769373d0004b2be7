// The source files: the one assembled and those it includes, each read once and cut into lines,
// the include path searched for them, and the INCLUDEs open at the line in hand.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cpasm/assembler.h"

namespace cpasm {

// One line to assemble, with where it came from.
struct SourceLine {
  int file = 0;  // an index into the source files
  int line = 0;
  std::string_view text;
};

struct SourceFile {
  std::string path;
  std::string text;
  std::vector<SourceLine> lines;  // without their line ends
};

class SourceFiles {
 public:
  // The file assembled is file 0; INCLUDE looks in `includeDirs` after the including file's
  // folder and the working folder, at most `depth` files deep.
  SourceFiles(const std::string& fileName, std::string_view text, FileReader readFile,
              std::vector<std::string> includeDirs, size_t depth);
  const SourceFile& File(int index) const { return *files_[static_cast<size_t>(index)]; }
  const std::string& Path(int index) const { return File(index).path; }
  // Every file read so far, file 0 first.
  std::vector<std::string> Paths() const;

  // No INCLUDE open: a new pass.
  void StartPass() { open_.assign(1, 0); }
  // INCLUDE `name` from file `including`: finds and reads it (or takes it as read before) and
  // opens it inside the files open. False with `error` when it cannot be read, INCLUDEs nest
  // too deeply, or it is open already.
  bool Open(std::string_view name, int including, int& index, std::string& error);
  void Close() { open_.pop_back(); }

 private:
  FileReader readFile_;
  std::vector<std::string> includeDirs_;
  size_t depth_;
  std::vector<std::unique_ptr<SourceFile>> files_;
  std::unordered_map<std::string, int> byPath_;
  std::vector<int> open_;  // the file assembled, then the INCLUDEs open, innermost last
};

}  // namespace cpasm
