#include "cpasm/sourcemap.h"

#include <cstdio>

#include "cpasm/assembler_state.h"

namespace cpasm {

void SourceMapBuilder::Reset() {
  runs_.clear();
  file_ = 0;
  line_ = 0;
  override_ = 0;
  overrideLine_ = 0;
}

void SourceMapBuilder::SetOverride(const std::string& name, int line) {
  if (name.empty()) {
    override_ = 0;
    return;
  }
  auto [it, added] = nameIndex_.emplace(name, static_cast<int>(names_.size()));
  if (added) names_.push_back(name);
  override_ = -1 - it->second;
  overrideLine_ = line;
}

void SourceMapBuilder::Word(uint32_t address) {
  const int file = override_ ? override_ : file_;
  const int line = override_ ? overrideLine_ : line_;
  if (!runs_.empty()) {
    Run& last = runs_.back();
    if (last.file == file && last.line == line && last.last + 1 == address) {
      last.last = address;
      return;
    }
  }
  runs_.push_back({address, address, file, line});
}

std::vector<SourceRun> SourceMapBuilder::Runs(const std::vector<std::string>& paths) const {
  std::vector<SourceRun> out;
  out.reserve(runs_.size());
  for (const Run& run : runs_) {
    const std::string& file =
        run.file < 0 ? names_[static_cast<size_t>(-1 - run.file)] : paths[static_cast<size_t>(run.file)];
    out.push_back({run.first, run.last, run.line, file});
  }
  return out;
}

std::string SourceMapText(const Assembly& assembly) {
  std::string text = "; cpasm source map 1\n";
  char buffer[64];
  for (const SourceRun& run : assembly.sourceMap) {
    std::snprintf(buffer, sizeof buffer, "%04X %04X %d ", run.first, run.last, run.line);
    text += buffer;
    text += run.file;
    text += '\n';
  }
  return text;
}

// SRCFILE "name", line: the words that follow come from that file and line, until SRCFILE "", 0
// (or a negative line). A relative name is taken in the folder of the file that says it.
void Assembler::DoSourceFile(const DirectiveCall& call) {
  std::vector<std::string_view> parts = SplitOperands(call.operands);
  if (parts.size() != 2) return Error("SRCFILE needs \"file\", line");
  std::string name;
  int64_t line = 0;
  if (!EvalText(parts[0], name) || !Eval(parts[1], line)) return;
  if (line > 0x7FFFFFFF) return Error("SRCFILE line " + std::to_string(line) + " is too large");
  if (name.empty() || line < 0) return image_.Map().SetOverride({}, 0);
  const bool absolute = name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':');
  if (!absolute) {
    const std::string& here = sources_.Path(call.line.file);
    size_t slash = here.find_last_of("/\\");
    if (slash != std::string::npos) name = here.substr(0, slash + 1) + name;
  }
  image_.Map().SetOverride(name, static_cast<int>(line));
}

}  // namespace cpasm
