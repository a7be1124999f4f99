// The built-in pages. First, empty version: the flags exist and every builder leaves the
// page empty; the navigation work fills them in.
#include "shell/builtin_pages.h"

namespace shell {

bool InventoryPageShown = false;
bool SoundPageShown = false;

void BuildSpecialPage() {}
void BuildInventoryPage() {}
void BuildHintsPage() {}

}  // namespace shell
