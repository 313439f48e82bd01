#include "platform/browser.h"

// windows.h (through wide_text) before shellapi.h, which needs it.
#include "platform/wide_text-windows.h"

#include <shellapi.h>

namespace quorbix::platform {

// The shell opens the page with the user's default browser; not waited for.
bool openInBrowser(const std::string& url) {
  const HINSTANCE result = ::ShellExecuteW(nullptr, L"open", wideText(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace quorbix::platform
