#include "pickers/Module1.h"

#include <exception>

namespace tessaly {

std::int32_t OpenDocument(IPlatform& platform, const std::string& path) {
    try {
        return platform.ShellExecuteA(0, nullptr, path, nullptr, nullptr, 1);  // SW_SHOWNORMAL
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace tessaly
