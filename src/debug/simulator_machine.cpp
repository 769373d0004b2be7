#include "debug/simulator_machine.h"

namespace quillon {

std::unique_ptr<Machine> LoadSimulatorMachine(const std::string&, const std::string&, std::string& problem) {
  problem = "this build has no simulator yet.";
  return nullptr;
}

}  // namespace quillon
