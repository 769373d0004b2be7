// Assembles a generated source of N lines (default 100,000) in memory and prints the time taken.
// With --index N: builds the IDE's symbol index of a generated project of N lines (a main source
// and ten included files, PROCs with local labels, EQUs and macros).
// With --basic N prologue epilogue: a program shaped like compiled BASIC, the framework files
// given around N statements that each begin with SRCFILE.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include "assemble/program_insight.h"
#include "assemble/symbol_index.h"
#include "cpasm/assembler.h"

namespace {

int IndexBench(int lines) {
  std::map<std::string, std::string> files;
  std::string& main = files["/bench/main.asm"];
  main = "        ROMW 16\n        ORG $5000\n";
  const int parts = 10;
  for (int part = 0; part < parts; ++part) main += "        INCLUDE \"part" + std::to_string(part) + ".asm\"\n";
  int generated = 2 + parts;
  char line[160];
  for (int part = 0; part < parts; ++part) {
    std::string& text = files["/bench/part" + std::to_string(part) + ".asm"];
    std::snprintf(line, sizeof line, "        MACRO   ADD%d a, b\n        ADDR    %%a%%, %%b%%\n        ENDM\n", part);
    text += line;
    generated += 3;
    for (int block = 0; generated < lines * (part + 1) / parts; ++block) {
      const char* body[] = {
          "; part %d block %d",
          "P%d_%d    PROC",
          "@@top    MVII    #K%d_%d, R0",
          "K%d_%d    EQU     %d * 3",
          "@@loop   DECR    R0",
          "         BNEQ    @@loop",
          "         ADD%d    R0, R1",
          "         B       @@top",
          "         ENDP",
          "",
      };
      for (const char* b : body) {
        std::snprintf(line, sizeof line, b, part, block, block);
        text += line;
        text += '\n';
        ++generated;
      }
    }
  }
  auto read = [&files](const std::string& path, std::string& text) {
    auto it = files.find(path);
    if (it == files.end()) return false;
    text = it->second;
    return true;
  };
  auto start = std::chrono::steady_clock::now();
  quillon::SymbolIndex index;
  index.Build({"/bench/main.asm"}, read);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("symbol index: %d lines in %zu files, %zu definitions in %.3f s (target: 0.5 s)\n", generated,
              index.Files().size(), index.Definitions().size(), seconds);
  // What the editor asks of the index between rebuilds, on a line of the last part, with the
  // symbols' values of a build; each the slowest of five runs.
  auto time = [](auto&& work) {
    double slowest = 0;
    std::size_t n = 0;
    for (int run = 0; run < 5; ++run) {
      auto from = std::chrono::steady_clock::now();
      n = work();
      slowest =
          std::max(slowest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count());
    }
    return std::make_pair(slowest, n);
  };
  const std::string file = "/bench/part9.asm";
  quillon::BuildFacts facts;
  facts.symbols = cpasm::AssembleText("/bench/main.asm", files["/bench/main.asm"], read).symbols;
  facts.built = true;
  auto tip = time([&] { return quillon::TipAt("         BNEQ    @@loop", 10, file, 40, index, facts, read).size(); });
  auto tipMacro =
      time([&] { return quillon::TipAt("         ADD9    R0, R1", 11, file, 40, index, facts, read).size(); });
  auto tipSymbol =
      time([&] { return quillon::TipAt("@@top    MVII    #K9_3, R0", 20, file, 40, index, facts, read).size(); });
  auto complete = time([&] { return quillon::CompletionsFor("K9_", file, 40, index).size(); });
  const quillon::SymbolDefinition* macro = index.Find("ADD9", file, 40);
  auto references = time([&] { return macro ? quillon::FindReferences(*macro, index, read).size() : 0; });
  auto rename = time([&] { return quillon::PlanRename("ADD9", file, 40, "SUM9", index, read).places.size(); });
  std::printf("tip over an instruction %.1f ms, a macro %.1f ms, a symbol %.1f ms (target: 50 ms)\n", tip.first,
              tipMacro.first, tipSymbol.first);
  std::printf("completion of K9_: %zu names in %.1f ms (target: 50 ms)\n", complete.second, complete.first);
  std::printf("references of ADD9: %zu in %.1f ms; rename preview %zu places in %.1f ms (target: 200 ms)\n",
              references.second, references.first, rename.second, rename.first);
  const bool fast = tip.first <= 50 && tipMacro.first <= 50 && tipSymbol.first <= 50 && complete.first <= 50 &&
                    references.first <= 200 && rename.first <= 200;
  if (!fast) std::printf("slower than a target\n");
  return fast && index.Files().size() == files.size() && !index.Definitions().empty() && tip.second &&
                 tipMacro.second && tipSymbol.second && complete.second && references.second && rename.second
             ? 0
             : 1;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  text.clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  const bool failed = std::ferror(file) != 0;  // a read that stopped short is no file read
  std::fclose(file);
  return !failed;
}

int BasicBench(int statements, const std::string& prologue, const std::string& epilogue) {
  std::string source = "        ROMW 16\n        INCLUDE \"" + prologue + "\"\n";
  char line[256];
  int lines = 2;
  for (int n = 1; n <= statements; ++n) {
    if (n % 10 == 0) {
      std::snprintf(line, sizeof line,
                    "        SRCFILE \"bench.bas\", %d\n        ;[%d] IF x > %d THEN y = x\n"
                    "        MVI     var_X, R0\n        CMPI    #%d, R0\n        BLE     T%d\n"
                    "        MVO     R0, var_Y\nT%d:\n",
                    n, n, n, n + 1, n, n);
      lines += 7;
    } else {
      std::snprintf(line, sizeof line,
                    "        SRCFILE \"bench.bas\", %d\n        ;[%d] x = x + %d\n"
                    "        MVI     var_X, R0\n        ADDI    #%d, R0\n        MVO     R0, var_X\n",
                    n, n, n, n);
      lines += 5;
    }
    source += line;
  }
  source += "        SRCFILE \"\", 0\n        INCLUDE \"" + epilogue + "\"\n";
  lines += 2;
  auto start = std::chrono::steady_clock::now();
  cpasm::Assembly assembly = cpasm::AssembleText("bench.asm", source, ReadWholeFile);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  size_t words = 0;
  for (const cpasm::Segment& segment : assembly.segments) words += segment.words.size();
  std::printf("compiled BASIC: framework + %d statements (%d lines), %zu words, %zu map runs, %d errors in %.3f s\n",
              statements, lines, words, assembly.sourceMap.size(), assembly.errors, seconds);
  return assembly.errors == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--index") return IndexBench(std::atoi(argv[2]));
  if (argc > 4 && std::string(argv[1]) == "--basic") return BasicBench(std::atoi(argv[2]), argv[3], argv[4]);
  const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
  std::string source = "        ROMW 16\n        ORG $1000\n";
  // Ten lines a block, about as many comments, symbols and blank lines as code; 5 words a block.
  const char* body[] = {
      "; block %d: what follows is typical of a game's source",
      "VAL%d    EQU     %d * 2 + 1",
      "",
      "        MVII    #VAL%d, R0      ; load",
      "        IF      VAL%d > 0",
      "        SLL     R0, 2",
      "        ENDI",
      "        DECLE   VAL%d",
      "        ; end of block",
  };
  char line[128];
  int generated = 2;
  for (int block = 0; generated < lines; ++block) {
    std::snprintf(line, sizeof line, "LABEL%d: CLRR R3\n", block);
    source += line;
    ++generated;
    for (const char* text : body) {
      if (generated >= lines) break;
      std::snprintf(line, sizeof line, text, block, block);
      source += line;
      source += '\n';
      ++generated;
    }
  }
  auto start = std::chrono::steady_clock::now();
  cpasm::Assembly assembly = cpasm::AssembleText("bench.asm", source, {});
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  size_t words = 0;
  for (const cpasm::Segment& segment : assembly.segments) words += segment.words.size();
  std::printf("assembler: %d lines, %zu words, %d errors in %.3f s\n", generated, words, assembly.errors, seconds);
  return assembly.errors == 0 ? 0 : 1;
}
