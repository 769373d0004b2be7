// Programs for the simulator's tests: assembled by the bundled assembler, read back through the
// simulator's own .bin + .cfg reader.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "cpasm/assembler.h"
#include "cpsim/image.h"
#include "support/assembly_text.h"

namespace cpsim::test {

// The image of `source` (a whole program, with its ORGs); fails the test on an assembly error.
inline Image Assembled(const std::string& source) {
  cpasm::Assembly assembly = cpasm::AssembleText("t.asm", source, {});
  EXPECT_EQ(assembly.errors, 0) << source << "\n" << cpasm::test::Problems(assembly);
  Image image;
  std::string error;
  EXPECT_TRUE(ReadBin(cpasm::ImageBytes(assembly), cpasm::MemoryMapText(assembly), image, error)) << error;
  return image;
}

}  // namespace cpsim::test
