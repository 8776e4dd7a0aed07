// The six path rows in settings-file order: each row's picker button, its
// field, what the composer uses the path for, and how the user picks it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "core/compose.h"
#include "window/layout.h"

namespace tessaly {

enum class PathPicker { DocumentFile, QuoteFile, Folder };

struct PathRow {
    ControlId button;
    ControlId field;
    PathRole role;
    PathPicker picker;
};

inline constexpr std::array<PathRow, 6> kPathRows{{
    {ControlId::TemplateButton, ControlId::TemplateField, PathRole::Template, PathPicker::DocumentFile},
    {ControlId::SignatureButton, ControlId::SignatureField, PathRole::Signature, PathPicker::DocumentFile},
    {ControlId::Quote1Button, ControlId::Quote1Field, PathRole::Quote1, PathPicker::QuoteFile},
    {ControlId::Quote2Button, ControlId::Quote2Field, PathRole::Quote2, PathPicker::QuoteFile},
    {ControlId::Html1Button, ControlId::Html1Field, PathRole::Html1, PathPicker::Folder},
    {ControlId::Html2Button, ControlId::Html2Field, PathRole::Html2, PathPicker::Folder},
}};

// The row index of a field or a picker button, if it is one.
inline std::optional<std::size_t> PathRowOf(ControlId id) {
    for (std::size_t i = 0; i < kPathRows.size(); ++i) {
        if (kPathRows[i].button == id || kPathRows[i].field == id) return i;
    }
    return std::nullopt;
}

}  // namespace tessaly
