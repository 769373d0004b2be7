// cpasm: the bundled CP1610 assembler.
//   cpasm -o image.bin|image.rom [-l listing.lst] [-i folder]... source.asm
// Writes the image when the source assembles without errors: a .bin with its memory map
// (image.cfg), or a .rom cartridge image; and beside either the source map (image.smap). The
// listing is written in every case. Exit code 0 only when the image was written. INCLUDE looks
// in the including file's folder, the working folder, the -i folders, then those of AS1600_PATH.
#ifdef _WIN32
#include <windows.h>
#endif

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cpasm/assembler.h"

namespace {

bool ReadWholeFile(const std::string& path, std::string& text) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  text.clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

// Writes beside the target and then moves over it, so a failed write leaves the old file whole.
bool WriteFileReplacing(const std::string& path, const std::string& data) {
  std::string temporary = path + ".tmp~";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  ok = std::fclose(file) == 0 && ok;
#ifdef _WIN32
  ok = ok && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
  ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
#endif
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

// The image's name with another extension: game.bin -> game.cfg.
std::string Beside(const std::string& imagePath, const char* extension) {
  size_t dot = imagePath.find_last_of('.');
  size_t slash = imagePath.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return imagePath + extension;
  return imagePath.substr(0, dot) + extension;
}

// The full path, as the source map names files.
std::string FullPath(const std::string& path) {
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(path), error);
  return error ? path : full.lexically_normal().string();
}

int Usage() {
  std::fprintf(stderr, "usage: cpasm -o image.bin|image.rom [-l listing.lst] [-i folder]... source.asm\n");
  return 2;
}

bool EndsWithRom(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".rom";
}

}  // namespace

int main(int argc, char** argv) {
  std::string imagePath, listingPath, sourcePath;
  cpasm::Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if ((arg == "-o" || arg == "-l") && i + 1 < argc) {
      (arg == "-o" ? imagePath : listingPath) = argv[++i];
    } else if (arg == "-i" && i + 1 < argc) {
      options.includeDirs.emplace_back(argv[++i]);
    } else if (!arg.empty() && arg[0] != '-' && sourcePath.empty()) {
      sourcePath = arg;
    } else {
      return Usage();
    }
  }
  if (sourcePath.empty() || imagePath.empty()) return Usage();
  const bool rom = EndsWithRom(imagePath);
  options.romOutput = rom;
#ifdef _WIN32
  const bool windows = true;
#else
  const bool windows = false;
#endif
  if (const char* path = std::getenv("AS1600_PATH"))
    for (std::string& dir : cpasm::SplitSearchPath(path, windows)) options.includeDirs.push_back(std::move(dir));

  cpasm::Assembly assembly;
  std::string text;
  if (ReadWholeFile(sourcePath, text)) {
    assembly = cpasm::AssembleText(sourcePath, text, ReadWholeFile, options);
  } else {
    cpasm::Diagnostic d{sourcePath, 0, true, "cannot read the source file"};
    assembly.listing = cpasm::FormatDiagnostic(d) + "\n";
    assembly.diagnostics.push_back(d);
    assembly.errors = 1;
  }

  bool written = false;
  if (assembly.errors == 0) {
    std::string image, error;
    if (!rom) {
      image = cpasm::ImageBytes(assembly);
    } else if (!cpasm::RomImage(assembly, image, error)) {
      cpasm::Diagnostic d{sourcePath, 0, true, error};
      assembly.listing += cpasm::FormatDiagnostic(d) + "\n";
      assembly.diagnostics.push_back(d);
      ++assembly.errors;
    }
    for (cpasm::SourceRun& run : assembly.sourceMap) run.file = FullPath(run.file);
    const std::string mapPath = Beside(imagePath, ".cfg"), sourceMapPath = Beside(imagePath, ".smap");
    if (assembly.errors == 0) {
      written = WriteFileReplacing(imagePath, image) &&
                (rom || WriteFileReplacing(mapPath, cpasm::MemoryMapText(assembly))) &&
                WriteFileReplacing(sourceMapPath, cpasm::SourceMapText(assembly));
      if (!written) {
        cpasm::Diagnostic d{
            sourcePath, 0, true,
            "cannot write the image " + imagePath + (rom ? "" : ", " + mapPath) + " or " + sourceMapPath};
        assembly.listing += cpasm::FormatDiagnostic(d) + "\n";
        assembly.diagnostics.push_back(d);
      }
    }
  }
  for (const cpasm::Diagnostic& d : assembly.diagnostics)
    std::fprintf(stderr, "%s\n", cpasm::FormatDiagnostic(d).c_str());
  if (!listingPath.empty() && !WriteFileReplacing(listingPath, assembly.listing)) {
    std::fprintf(stderr, "cpasm: cannot write the listing %s\n", listingPath.c_str());
    return 1;
  }
  if (written) std::fprintf(stderr, "cpasm: wrote %s\n", imagePath.c_str());
  return written ? 0 : 1;
}
