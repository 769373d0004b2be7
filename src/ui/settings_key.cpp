// The registry key of the settings for every program that does not name its own. Alone in its
// file, so that a program defining kProcessSettingsKey itself (the GUI tests) does not pull it in.
#include "ui/app_state.h"

namespace quillon {

extern const char* const kProcessSettingsKey = kSettingsKeyPath;

}  // namespace quillon
