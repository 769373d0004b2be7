// The debugger's machine: the CP1610 simulator with the built image loaded.
#pragma once

#include <memory>
#include <string>

#include "debug/machine.h"

namespace quillon {

// Loads `image` (.bin with its .cfg, or .rom) into a new simulated console, at reset. The
// Executive ROM is looked for where the emulator finds it (JZINTV_ROM_PATH, then `folder`).
// Null, with `problem` set, when the image cannot be loaded.
std::unique_ptr<Machine> LoadSimulatorMachine(const std::string& image, const std::string& folder, std::string& problem);

}  // namespace quillon
