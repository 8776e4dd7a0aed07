#include "app/tray_icon_data.h"

#include <algorithm>

namespace tessaly {

namespace {

constexpr std::size_t kTipOffset = 24;
constexpr std::size_t kTipBytes = 64;

void PutU32(TrayRecordBytes& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

void TrayIconRecord::Fill(std::uint32_t windowHandle, std::uint32_t iconHandle, std::string_view tip) {
    bytes.fill(0);
    PutU32(bytes, 0, static_cast<std::uint32_t>(bytes.size()));
    PutU32(bytes, 4, windowHandle);
    PutU32(bytes, 8, kTrayIconId);
    PutU32(bytes, 12, kTrayFlags);
    PutU32(bytes, 16, kTrayCallbackMessage);
    PutU32(bytes, 20, iconHandle);
    // The shell reads the tip up to its NUL, so the NUL must fit: a longer
    // text is cut to 63 bytes rather than handed over unterminated.
    const std::size_t length = std::min(tip.size(), kTipBytes - 1);
    auto* const field = bytes.data() + kTipOffset;
    std::copy_n(tip.data(), length, field);
    field[length] = 0;
    std::fill(field + length + 1, field + kTipBytes, static_cast<std::uint8_t>(' '));
}

std::uint32_t TrayIconRecord::Field(std::size_t offset) const {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(bytes.at(offset + i)) << (8 * i);
    }
    return value;
}

std::string_view TrayIconRecord::Tip() const {
    const auto* const field = reinterpret_cast<const char*>(bytes.data() + kTipOffset);
    const auto* const end = std::find(field, field + kTipBytes, '\0');
    return {field, static_cast<std::size_t>(end - field)};
}

}  // namespace tessaly
