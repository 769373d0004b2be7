#include "assemble/symbol_index.h"

#include <cctype>
#include <set>
#include <tuple>

namespace quillon {

namespace {

char Folded(char c) {
  if (c == '/') return '\\';
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '@' || c == '&';
}

using Kind = SymbolDefinition::Kind;

}  // namespace

bool SameSourcePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Folded(a[i]) != Folded(b[i])) return false;
  return true;
}

void SymbolIndex::Build(const std::vector<std::string>& roots, const SourceReader& read,
                        const std::vector<std::string>& includeDirs) {
  definitions_.clear();
  files_.clear();
  cpasm::Options options;
  options.includeDirs = includeDirs;
  auto known = [this](const std::string& path) {
    for (const std::string& f : files_)
      if (SameSourcePath(f, path)) return true;
    return false;
  };
  std::set<std::tuple<std::string, int, std::string>> seen;  // file (folded), line, name
  for (const std::string& root : roots) {
    if (known(root)) continue;
    std::string text;
    if (!read(root, text)) continue;
    cpasm::SourceDefinitions found = cpasm::ReadDefinitions(root, text, read, options);
    for (std::string& file : found.files)
      if (!known(file)) files_.push_back(std::move(file));
    for (SymbolDefinition& d : found.definitions) {
      std::string folded = d.file;
      for (char& c : folded) c = Folded(c);
      if (seen.emplace(std::move(folded), d.line, d.name).second) definitions_.push_back(std::move(d));
    }
  }
}

const SymbolDefinition* SymbolIndex::Find(const std::string& word, const std::string& file, int line) const {
  if (word.empty()) return nullptr;
  std::string name = word;
  if (word.size() > 2 && word[0] == '@' && word[1] == '@') {
    // The innermost PROC of this file around the line.
    const SymbolDefinition* proc = nullptr;
    for (const SymbolDefinition& d : definitions_)
      if ((d.kind == Kind::kProc || d.kind == Kind::kStruct) && SameSourcePath(d.file, file) && d.line <= line &&
          (d.endLine == 0 || line <= d.endLine) && (!proc || d.line >= proc->line))
        proc = &d;
    if (!proc) return nullptr;
    name = proc->name + "." + word.substr(2);
  }
  // Exact names first, preferring this file; then macros and any name without regard to case.
  const SymbolDefinition* best = nullptr;
  for (const SymbolDefinition& d : definitions_) {
    if (d.kind == Kind::kMacro || d.name != name) continue;
    if (SameSourcePath(d.file, file)) return &d;
    if (!best) best = &d;
  }
  if (best) return best;
  for (const SymbolDefinition& d : definitions_)
    if (d.kind == Kind::kMacro && SameNoCase(d.name, name)) return &d;
  for (const SymbolDefinition& d : definitions_)
    if (SameNoCase(d.name, name)) return &d;
  return nullptr;
}

void PlaceStack::Push(Place place) {
  if (places_.size() >= kMost) places_.erase(places_.begin());
  places_.push_back(std::move(place));
}

bool PlaceStack::Pop(Place& place) {
  if (places_.empty()) return false;
  place = std::move(places_.back());
  places_.pop_back();
  return true;
}

std::string NameAt(const std::string& lineText, int column) {
  if (column < 0 || static_cast<std::size_t>(column) > lineText.size()) return {};
  std::size_t at = static_cast<std::size_t>(column);
  if (at == lineText.size() || !IsNameChar(lineText[at])) {
    if (at == 0 || !IsNameChar(lineText[at - 1])) return {};
    --at;
  }
  std::size_t start = at, end = at;
  while (start > 0 && IsNameChar(lineText[start - 1])) --start;
  while (end < lineText.size() && IsNameChar(lineText[end])) ++end;
  std::string name = lineText.substr(start, end - start);
  // A name starts with a letter, '_', '.' or '@'; a number ($1F, 10h) is no name.
  if (std::isdigit(static_cast<unsigned char>(name[0]))) return {};
  // A trailing '.' or ':' belongs to no name ("LOOP:" is cut before the colon already).
  while (!name.empty() && name.back() == '.') name.pop_back();
  return name;
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::kLabel:
      return "label";
    case Kind::kProc:
      return "PROC";
    case Kind::kLocal:
      return "local label";
    case Kind::kEqu:
      return "EQU";
    case Kind::kSet:
      return "SET";
    case Kind::kMacro:
      return "macro";
    case Kind::kStruct:
      return "STRUCT";
  }
  return "";
}

std::vector<int> FilterDefinitions(const std::vector<SymbolDefinition>& definitions, const std::string& filter) {
  std::string wanted;
  for (char c : filter) wanted += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::vector<int> kept;
  for (std::size_t i = 0; i < definitions.size(); ++i) {
    if (!wanted.empty()) {
      std::string name;
      for (char c : definitions[i].name) name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (name.find(wanted) == std::string::npos) continue;
    }
    kept.push_back(static_cast<int>(i));
  }
  return kept;
}

}  // namespace quillon
