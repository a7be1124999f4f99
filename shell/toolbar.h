// The command bar's buttons as a page leaves them: the back button and the two arrows, each
// with a blank placeholder where it has one. Called at the end of every page rebuild.
#pragma once

namespace shell {

// Shows the back button when showBack is true and each arrow whose mode is not off, and
// hides the others; a hidden back or up arrow gives its place to a blank button, so the
// buttons to its right stay where they are. Without a command bar nothing happens.
void UpdateToolbar(bool showBack, int nextArrowMode, int previousArrowMode);

}  // namespace shell
