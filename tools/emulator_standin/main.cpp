// emulator_standin: takes the place of the emulator in tests of Run (F5). It appends what it was
// started with to emulator_standin.txt in its current folder, one block per start:
//   start
//   folder <current folder>
//   arg <argument>        (one line per argument, as the program's arguments arrive)
// and ends with exit code 0 (2 when the file cannot be written).
#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  std::error_code error;
  const std::string folder = std::filesystem::current_path(error).string();
  std::FILE* file = std::fopen("emulator_standin.txt", "ab");
  if (!file) return 2;
  std::string text = "start\nfolder " + folder + "\n";
  for (int i = 1; i < argc; ++i) text += std::string("arg ") + argv[i] + "\n";
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written ? 0 : 2;
}
