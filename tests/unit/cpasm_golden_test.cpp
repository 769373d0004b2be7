// Golden sources: every .asm in tests/cpasm_golden says in its comments what it must assemble to.
//   ; words: 0005 000C          the image, word after word (lines add up)
//   ; map: $0000 - $0FFF = $A000 PAGE 1     a line the memory map must hold
//   ; problem: 12 error division by zero    a problem on that line; no others may appear
//   ; include-dir: lib          a search folder, relative to the golden folder
//   ; now: 1772600767           the clock, in seconds since 1970
// Each source is assembled as written with LF and again with CR LF line ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/error_log.h"
#include "base/syntax_table.h"
#include "cpasm/assembler.h"
#include "support/assembly_text.h"

namespace cpasm {
namespace cpasm_golden_test {

namespace fs = std::filesystem;

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream out;
  out << in.rdbuf();
  text = out.str();
  return true;
}

std::string WithLineEnds(const std::string& text, bool crlf) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n' && crlf) out += '\r';
    out += c;
  }
  return out;
}

struct Expected {
  std::vector<uint16_t> words;
  std::vector<std::string> mapLines;
  std::vector<std::string> problems;  // "<line> error|warning <text>"
  std::vector<std::string> includeDirs;
  int64_t now = -1;
};

std::string After(const std::string& line, const std::string& key) {
  size_t at = line.find(key);
  if (at == std::string::npos) return {};
  std::string rest = line.substr(at + key.size());
  while (!rest.empty() && (rest.back() == '\r' || rest.back() == ' ')) rest.pop_back();
  while (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
  return rest;
}

Expected ReadExpected(const std::string& text, const fs::path& folder) {
  Expected e;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.find("; words:") != std::string::npos) {
      std::istringstream words(After(line, "; words:"));
      for (std::string w; words >> w;) e.words.push_back(static_cast<uint16_t>(std::stoul(w, nullptr, 16)));
    } else if (line.find("; map:") != std::string::npos) {
      e.mapLines.push_back(After(line, "; map:"));
    } else if (line.find("; problem:") != std::string::npos) {
      e.problems.push_back(After(line, "; problem:"));
    } else if (line.find("; now:") != std::string::npos) {
      e.now = std::stoll(After(line, "; now:"));
    } else if (line.find("; include-dir:") != std::string::npos) {
      e.includeDirs.push_back((folder / After(line, "; include-dir:")).string());
    }
  }
  return e;
}

// A problem matches "<line> <error|warning> <words>" when its line and kind agree and its text
// holds the words.
bool Matches(const Diagnostic& d, const std::string& expected) {
  std::istringstream in(expected);
  int line = 0;
  std::string kind;
  in >> line >> kind;
  std::string words;
  std::getline(in, words);
  words = After(words, "");
  return d.line == line && (kind == "error") == d.error && d.text.find(words) != std::string::npos;
}

TEST(CpasmGolden, EverySourceAssemblesToWhatItSays) {
  const fs::path folder = CPASM_GOLDEN_DIR;
  std::vector<fs::path> sources;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".asm") sources.push_back(entry.path());
  std::sort(sources.begin(), sources.end());
  ASSERT_GE(sources.size(), 10u) << "golden sources in " << folder;

  for (const fs::path& source : sources) {
    std::string text;
    ASSERT_TRUE(ReadFile(source.string(), text)) << source;
    const Expected expected = ReadExpected(text, folder);
    Options options;
    options.includeDirs = expected.includeDirs;
    options.now = expected.now;
    for (bool crlf : {false, true}) {
      const std::string name = source.filename().string() + (crlf ? " (CR LF)" : "");
      FileReader reader = [crlf](const std::string& path, std::string& out) {
        if (!ReadFile(path, out)) return false;
        out = WithLineEnds(out, crlf);
        return true;
      };
      Assembly a = AssembleText(source.string(), WithLineEnds(text, crlf), reader, options);
      EXPECT_EQ(test::Words(a), expected.words) << name << "\n" << test::Problems(a);
      const std::string map = MemoryMapText(a);
      for (const std::string& line : expected.mapLines)
        EXPECT_NE(map.find(line + "\n"), std::string::npos) << name << ": map lacks " << line << "\n" << map;
      for (const Diagnostic& d : a.diagnostics) {
        bool wanted = std::any_of(expected.problems.begin(), expected.problems.end(),
                                  [&](const std::string& p) { return Matches(d, p); });
        EXPECT_TRUE(wanted) << name << ": unexpected " << FormatDiagnostic(d);
      }
      for (const std::string& p : expected.problems) {
        bool seen =
            std::any_of(a.diagnostics.begin(), a.diagnostics.end(), [&](const Diagnostic& d) { return Matches(d, p); });
        EXPECT_TRUE(seen) << name << ": missing problem " << p << "\n" << test::Problems(a);
      }
    }
  }
}

// The editor colours exactly what the assembler accepts: every mnemonic and directive it takes,
// the registers, and nothing it rejects, each in upper and in lower case (the table is
// case-sensitive, the assembler is not).
TEST(CpasmKeywords, SyntaxColoursMatchTheAssembler) {
  quillon::ErrorLog log;  // never opened: a failure to read shows as an empty table
  quillon::SyntaxTable table;
  quillon::LoadSyntaxFile(std::string(CPASM_SOURCE_DIR) + "/resources/syntax.cfg", table, log);
  ASSERT_GT(table.Keywords().size(), 50u);
  auto lower = [](std::string word) {
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word;
  };
  std::set<std::string> accepted;
  std::vector<std::pair<std::string, bool>> names;  // a name and whether it is accepted
  for (const char* reg : {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7", "SP", "PC"}) names.emplace_back(reg, true);
  for (const Keyword& k : Keywords())
    if (k.name != "=") names.emplace_back(k.name, k.supported);
  for (const auto& [name, supported] : names) {
    for (const std::string& spelling : {name, lower(name)}) {
      if (supported) {
        accepted.insert(spelling);
        EXPECT_TRUE(table.Keywords().count(spelling)) << spelling << " is accepted but not coloured";
      } else {
        EXPECT_FALSE(table.Keywords().count(spelling)) << spelling << " is coloured but rejected";
      }
    }
  }
  for (const auto& [word, colour] : table.Keywords())
    EXPECT_TRUE(accepted.count(word)) << word << " is coloured but the assembler does not know it";
}

}  // namespace cpasm_golden_test
}  // namespace cpasm
