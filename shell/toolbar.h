// The command bar's buttons as a page leaves them: the back button and the two arrows.
// Called at the end of every page rebuild.
#pragma once

namespace shell {

// Shows the back button when showBack is true and each arrow whose mode is not 0; hides
// the others.
void UpdateToolbar(bool showBack, int nextArrowMode, int previousArrowMode);

}  // namespace shell
