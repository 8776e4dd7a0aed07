// The desktop's default actions: opening a file, a folder or a web address,
// and the help topics, which open in the browser.
#pragma once

#include <string>

#include "window/desktop.h"

namespace tessaly::qt {

// A local path (which must exist) or an address with a scheme.
OpenResult OpenWithDesktop(const std::string& target);

// The topic that the help project in `helpFolder` (help.hhp) gives for a
// help context number, 0 for its default topic.
OpenResult OpenHelpPage(const std::string& helpFolder, int contextId);

}  // namespace tessaly::qt
