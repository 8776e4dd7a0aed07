// Standard output for the command-line companion, byte for byte. Windows'
// C runtime would turn every LF into CR LF in text mode, so a template's own
// CR LF would come out as CR CR LF; this writes the bytes as they are.
#pragma once

#include <string_view>

namespace tessaly::console {

// Writes all of `bytes` to standard output. False when they could not all be
// written: a full disk, a closed pipe, or no standard output at all.
bool WriteStandardOutput(std::string_view bytes);

}  // namespace tessaly::console
