#include "macros/expand_macro.h"

#include <string_view>

#include "base/text_util.h"

namespace quillon {

namespace {

const std::string* ValueOf(std::string_view name, const PlaceholderValues& values) {
  if (name == "ASM") return &values.assembler;
  if (name == "LOCAL") return &values.local;
  if (name == "OUTDIR") return &values.outdir;
  if (name == "INPUT") return &values.input;
  if (name == "OUTPUT") return &values.output;
  return nullptr;
}

bool IsName(std::string_view name) { return !name.empty() && name.find_first_of(" \t\r\n") == std::string_view::npos; }

}  // namespace

PlaceholderValues PlaceholdersFor(const PlaceholderSources& sources) {
  PlaceholderValues values;
  values.assembler = sources.assembler;
  values.local = sources.startDirectory;
  if (sources.project) {
    const ProjectBuildPaths& p = sources.paths;
    values.outdir = PathInFolder(p.projectDir, p.outputPath);
    values.input = PathInFolder(p.projectDir, p.mainSource);
    values.output = PathInFolder(p.projectDir, p.outputPath + "\\" + ImageFileName(p.outputName));
  } else if (!sources.document) {
    values.input = "untitled";
  } else if (!sources.documentPath.empty()) {
    values.outdir = FolderOf(sources.documentPath);
    values.input = sources.documentPath;
    values.output = PathInFolder(values.outdir, sources.documentBaseName + ".bin");
  }
  return values;
}

std::string ExpandPlaceholders(const std::string& text, const PlaceholderValues& values) {
  std::string result;
  result.reserve(text.size());
  std::size_t done = 0;  // text before this is in the result
  std::size_t p = text.find('%');
  while (p != std::string::npos) {
    const std::size_t q = text.find('%', p + 1);
    if (q == std::string::npos) break;  // a lone sign at the end
    if (q == p + 1) {                   // "%%" stays
      p = text.find('%', q + 1);
      continue;
    }
    const std::string_view name(text.data() + p + 1, q - p - 1);
    if (const std::string* value = ValueOf(name, values)) {
      result.append(text, done, p - done);
      result += *value;
      done = q + 1;
      p = text.find('%', done);
    } else if (IsName(name)) {
      p = text.find('%', q + 1);  // an unknown %NAME% stays whole
    } else {
      p = q;  // a lone sign; the next one may open a placeholder
    }
  }
  result.append(text, done, std::string::npos);
  return result;
}

}  // namespace quillon
