#include "app/uninstall_prompt.h"

#include "base/product.h"
#include "platform/browser.h"
#include "platform/console.h"
#include "platform/key_wait.h"
#include "platform/terminal.h"

namespace quorbix {
namespace {

std::string tickLine(bool ticked, const std::string& label) {
  return std::string(ticked ? "  [x] " : "  [ ] ") + label;
}

}  // namespace

void runUninstallPrompt(MessageCatalogue& catalogue) {
  const std::string title = catalogue.text("Uninstall", "Title");
  const std::string label = catalogue.text("Uninstall", "Uninstall Text");
  const std::string next = catalogue.text("Uninstall", "Next");

  platform::setConsoleTitle(title);
  platform::printLine(title);
  platform::printLine(" ");
  bool ticked = true;
  platform::printLine(tickLine(ticked, label));
  platform::printLine("  < " + next + " >   (Space: tick or untick, Enter: " + next + ", Esc: close)");

  platform::KeyReader keys;
  for (;;) {
    int key = keys.next();
    if (key < 0 || key == 27 || key == 'q' || key == 'Q') return;  // window closed
    if (key == ' ' || key == 'x' || key == 'X') {
      ticked = !ticked;
      platform::printLine(tickLine(ticked, label));
    } else if (key == '\n' || key == '\r') {
      break;
    }
  }
  if (ticked && !platform::openInBrowser(product::kUninstallFeedbackPage)) {
    platform::printLine(product::kUninstallFeedbackPage);
  }
}

}  // namespace quorbix
