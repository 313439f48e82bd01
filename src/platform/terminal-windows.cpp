#include "platform/terminal.h"

#include "platform/wide_text-windows.h"

namespace quorbix::platform {

// The console window keeps the title until the program ends; Windows puts
// the old one back then.
void setConsoleTitle(std::string_view title) { ::SetConsoleTitleW(wideText(title).c_str()); }

}  // namespace quorbix::platform
