// The command bar's button states. First, empty version: the command bar and its buttons
// come with the navigation work, which fills this in.
#include "shell/toolbar.h"

namespace shell {

void UpdateToolbar(bool /*showBack*/, int /*nextArrowMode*/, int /*previousArrowMode*/) {}

}  // namespace shell
