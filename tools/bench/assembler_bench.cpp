// Assembles a generated source of N lines (default 100,000) in memory and prints the time taken.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cpasm/assembler.h"

int main(int argc, char** argv) {
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
