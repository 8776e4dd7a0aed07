#include "window/presentation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "path_rows.h"

namespace tessaly {

int TwipsToPixels(int twips, unsigned dpi) {
    const long long scaled = static_cast<long long>(twips) * static_cast<long long>(dpi);
    const long long half = scaled >= 0 ? 720 : -720;
    return static_cast<int>((scaled + half) / 1440);
}

float TwipsPerPixel(unsigned dpi) { return 1440.0f / static_cast<float>(dpi == 0 ? 96 : dpi); }

float PixelsToTwips(int pixels, unsigned dpi) { return static_cast<float>(pixels) * TwipsPerPixel(dpi); }

PixelRect ControlRect(const ControlRow& row, unsigned dpi) {
    return {TwipsToPixels(row.left, dpi), TwipsToPixels(row.top, dpi), TwipsToPixels(row.left + row.width, dpi),
            TwipsToPixels(row.top + row.height, dpi)};
}

std::vector<ControlId> TabOrder() {
    std::vector<const ControlRow*> stops;
    for (const ControlRow& row : Layout()) {
        if (!row.visible || row.tabIndex < 0) continue;
        switch (row.kind) {
            case ControlKind::Button:
            case ControlKind::PictureButton:
            case ControlKind::TextField:
            case ControlKind::CheckBox:
                stops.push_back(&row);
                break;
            default:
                break;
        }
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](const ControlRow* a, const ControlRow* b) { return a->tabIndex < b->tabIndex; });
    std::vector<ControlId> ids;
    for (const ControlRow* row : stops) ids.push_back(row->id);
    return ids;
}

std::vector<ControlId> ReadingOrder() {
    std::vector<ControlId> ids = TabOrder();
    const int labelIndex = Row(ControlId::StatusLabel).tabIndex;
    const auto after = std::find_if(ids.begin(), ids.end(), [&](ControlId id) { return Row(id).tabIndex > labelIndex; });
    ids.insert(after, ControlId::StatusLabel);
    ids.push_back(ControlId::CreditsLine);
    return ids;
}

std::vector<MenuEntry> TrayMenuEntries(RunState state) {
    const ControlId hidden = state == RunState::Running ? ControlId::ResumeItem : ControlId::PauseItem;
    std::vector<MenuEntry> entries;
    bool inMenu = false;
    for (const ControlRow& row : Layout()) {
        if (row.id == ControlId::TrayMenu) {
            inMenu = true;
            continue;
        }
        if (!inMenu) continue;
        if (row.kind != ControlKind::MenuItem && row.kind != ControlKind::MenuSeparator) break;
        if (row.id == hidden) continue;
        entries.push_back({row.id, row.kind == ControlKind::MenuSeparator, row.text});
    }
    return entries;
}

std::string_view TrayTip(RunState state) {
    return state == RunState::Running ? "Tessaly Running" : "Tessaly Paused";
}

std::optional<FontSpec> FontOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
        case ControlKind::CheckBox: return FontSpec{8.25, true, false};
        case ControlKind::Label: return FontSpec{9.75, true, false};
        case ControlKind::CreditsLine: return FontSpec{8.25, false, true};
        default: return std::nullopt;
    }
}

std::optional<Rgb> FixedColour(Colour colour) {
    if (colour & 0x80000000u) return std::nullopt;
    return Rgb{static_cast<std::uint8_t>(colour & 0xFF), static_cast<std::uint8_t>((colour >> 8) & 0xFF),
               static_cast<std::uint8_t>((colour >> 16) & 0xFF)};
}

int SystemColourIndex(Colour colour) { return (colour & 0x80000000u) ? static_cast<int>(colour & 0xFFu) : -1; }

Rgb ReadableTextColour(Rgb preferred, Rgb background) {
    auto luma = [](Rgb c) { return 0.299 * c.red + 0.587 * c.green + 0.114 * c.blue; };
    const double back = luma(background);
    if (std::abs(luma(preferred) - back) >= 96.0) return preferred;
    return back < 128.0 ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
}

std::string_view PictureName(ControlId id) {
    switch (id) {
        case ControlId::StartButton: return "start";
        case ControlId::StopButton: return "stop";
        case ControlId::CreateNowButton: return "create";
        case ControlId::HelpButton: return "help";
        default: return {};
    }
}

int PictureScaleIndex(unsigned dpi) {
    if (dpi >= 192) return 2;
    if (dpi >= 144) return 1;
    return 0;
}

std::string JoinPatterns(const FileFilter& filter, char separator) {
    std::string joined;
    for (const std::string& pattern : filter.patterns) {
        if (!joined.empty()) joined += separator;
        joined += pattern;
    }
    return joined;
}

std::string WithoutTrailingSeparator(std::string folder) {
#ifdef _WIN32
    constexpr std::string_view separators = "\\/";
    auto isRoot = [&] { return folder.size() == 3 && folder[1] == ':'; };
#else
    constexpr std::string_view separators = "/";
    auto isRoot = [] { return false; };
#endif
    while (folder.size() > 1 && separators.find(folder.back()) != std::string_view::npos && !isRoot()) {
        folder.pop_back();
    }
    return folder;
}

std::optional<ControlId> ViewKeyTarget(ControlId focused) {
    if (const auto row = PathRowOf(focused)) return kPathRows[*row].field;
    return std::nullopt;
}

int NextAutoRunValue(int current) { return current == 1 ? 0 : 1; }

}  // namespace tessaly
