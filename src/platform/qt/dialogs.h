// The modal dialogs: an error the user acknowledges, and the file and folder
// choosers. Each is modal to `parent`, or to nothing when it is null.
#pragma once

#include <string>

#include "window/desktop.h"

class QWidget;

namespace tessaly::qt {

void ShowErrorBox(QWidget* parent, const std::string& title, const std::string& text);
Choice ChooseFileIn(QWidget* parent, const FileRequest& request);
Choice ChooseFolderIn(QWidget* parent, const std::string& prompt);

}  // namespace tessaly::qt
