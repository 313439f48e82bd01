// The uninstall prompt (-U): the three "Uninstall" texts of the catalogue as
// a small console dialog with one tick box and a "Next" button. Main thread.
#pragma once

#include "base/message_catalogue.h"

namespace quorbix {

// Shows the prompt and reads keys: Space (or "x") toggles the tick, Enter
// presses Next, Esc, "q" or end of input close it. Next with the tick set
// opens the maker's uninstall feedback page in the browser; when no browser
// can be started the address is printed instead.
void runUninstallPrompt(MessageCatalogue& catalogue);

}  // namespace quorbix
