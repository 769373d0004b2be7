// The debugger's machine: the CP1610 simulator (src/cpsim) with the built image loaded. No windows.
#pragma once

#include <memory>
#include <string>

#include "cpsim/image.h"
#include "debug/machine.h"

namespace quillon {

// Loads `image` (.bin with its .cfg, or .rom) into a new simulated console and resets it. The
// Executive ROM is looked for where the emulator finds it (the folders of `romPath`, the value of
// JZINTV_ROM_PATH, then `folder`). Null, with `problem` set, when it cannot be loaded or started.
std::unique_ptr<Machine> LoadSimulatorMachine(const std::string& image, const std::string& romPath,
                                              const std::string& folder, std::string& problem);
// The same for an image already read, without the Executive.
std::unique_ptr<Machine> MakeSimulatorMachine(const cpsim::Image& image, std::string& problem);

}  // namespace quillon
