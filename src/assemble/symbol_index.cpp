#include "assemble/symbol_index.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <utility>

#include "base/text_util.h"

namespace quillon {

namespace {

char Folded(char c) {
  if (c == '/') return '\\';
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

using Kind = SymbolDefinition::Kind;

// The path with its "." and ".." folders taken out and one kind of slash (the first it uses):
// an INCLUDE "../lib/x.inc" names the same file as the open document "C:\p\lib\x.inc".
std::string CleanPath(const std::string& path) {
  const std::size_t firstSlash = path.find_first_of("/\\");
  if (firstSlash == std::string::npos) return path;
  const char slash = path[firstSlash];
  std::size_t at = 0;
  std::string head;
  if (path.size() > 1 && path[1] == ':') head = path.substr(0, 2), at = 2;
  if (path.compare(at, 2, "\\\\") == 0 || path.compare(at, 2, "//") == 0)
    head += std::string(2, slash), at += 2;
  else if (at < path.size() && (path[at] == '/' || path[at] == '\\'))
    head += slash, ++at;
  std::vector<std::string> parts;
  while (at <= path.size()) {
    std::size_t end = path.find_first_of("/\\", at);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(at, end - at);
    if (part == "..") {
      if (!parts.empty() && parts.back() != "..")
        parts.pop_back();
      else if (head.empty())
        parts.push_back(part);
    } else if (!part.empty() && part != ".") {
      parts.push_back(std::move(part));
    }
    at = end + 1;
  }
  std::string out = head;
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? std::string(1, slash) : std::string()) + parts[i];
  return out;
}

}  // namespace

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '@' || c == '&';
}

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
  expanded_.clear();
  cpasm::Options options;
  options.includeDirs = includeDirs;
  auto known = [this](const std::string& path) {
    for (const std::string& f : files_)
      if (SameSourcePath(f, path)) return true;
    return false;
  };
  // Each name once, matched exactly as the assembler does (a macro and a label may share a
  // name). A file read again as a root of its own, or under another spelling of its path, adds
  // nothing twice.
  std::set<std::string> seen, seenExpanded;
  for (const std::string& given : roots) {
    const std::string root = CleanPath(given);
    if (known(root)) continue;
    std::string text;
    if (!read(root, text)) continue;
    cpasm::SourceDefinitions found = cpasm::ReadDefinitions(root, text, read, options);
    for (std::string& file : found.files) {
      file = CleanPath(file);
      if (!known(file)) files_.push_back(std::move(file));
    }
    for (SymbolDefinition& d : found.definitions) {
      std::string key = d.kind == Kind::kMacro ? "(macro)" + d.name : d.name;
      d.file = CleanPath(d.file);
      if (seen.insert(std::move(key)).second) definitions_.push_back(std::move(d));
    }
    for (std::string& name : found.expanded)
      if (seenExpanded.insert(name).second) expanded_.push_back(std::move(name));
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
  // Exact names first, preferring this file; then a macro of exactly that name (macro names are
  // case-sensitive, like the assembler's); then any other name without regard to case.
  const SymbolDefinition* best = nullptr;
  for (const SymbolDefinition& d : definitions_) {
    if (d.kind == Kind::kMacro || d.name != name) continue;
    if (SameSourcePath(d.file, file)) return &d;
    if (!best) best = &d;
  }
  if (best) return best;
  for (const SymbolDefinition& d : definitions_)
    if (d.kind == Kind::kMacro && d.name == name) return &d;
  for (const SymbolDefinition& d : definitions_)
    if (d.kind != Kind::kMacro && EqualsNoCase(d.name, name)) return &d;
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
  auto lower = [](const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  const std::string wanted = lower(filter);
  std::vector<std::pair<int, int>> kept;  // rank, index
  std::vector<std::string> names(definitions.size());
  for (std::size_t i = 0; i < definitions.size(); ++i) {
    names[i] = lower(definitions[i].name);
    const std::string& name = names[i];
    const std::size_t at = name.find(wanted);
    if (at == std::string::npos) continue;
    const std::size_t dot = name.rfind('.');
    const std::string own = dot == std::string::npos ? name : name.substr(dot + 1);
    int rank = 3;
    if (wanted.empty() || name == wanted || own == wanted)
      rank = 0;
    else if (at == 0)
      rank = 1;
    else if (own.rfind(wanted, 0) == 0)
      rank = 2;
    kept.emplace_back(rank, static_cast<int>(i));
  }
  std::stable_sort(kept.begin(), kept.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    const int byName = names[a.second].compare(names[b.second]);
    if (byName != 0) return byName < 0;
    return definitions[a.second].name < definitions[b.second].name;
  });
  std::vector<int> out;
  out.reserve(kept.size());
  for (const auto& k : kept) out.push_back(k.second);
  return out;
}

}  // namespace quillon
