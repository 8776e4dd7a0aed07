// Module1: the program's one free shell-open operation.
#pragma once

#include <cstdint>
#include <string>

#include "app/controls.h"

namespace tessaly {

// Opens `path` with the desktop's default action and returns the shell's
// result code (above 32 when the shell accepted the request); 0 when the
// call itself could not be made.
std::int32_t OpenDocument(IPlatform& platform, const std::string& path);

}  // namespace tessaly
