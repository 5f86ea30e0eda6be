#include "drawing/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>
#include <optional>

namespace {

// Classic desktop values, used where the palette has no role for an index.
constexpr std::array<std::uint32_t, SystemColorCount> ClassicRgb = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0};

struct TPaletteSource {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// The palette role that plays the part of system colour Index, if any.
std::optional<TPaletteSource> PaletteSourceOf(int Index) {
    constexpr auto A = QPalette::Active;
    switch (Index) {
    case 4:  // menu
    case 30: // menu bar
        return TPaletteSource{A, QPalette::Window};
    case 5: // window background
        return TPaletteSource{A, QPalette::Base};
    case 7: // menu text
        return TPaletteSource{A, QPalette::WindowText};
    case 8: // window text
        return TPaletteSource{A, QPalette::Text};
    case 13: // highlight
    case 29: // menu highlight
        return TPaletteSource{A, QPalette::Highlight};
    case 14:
        return TPaletteSource{A, QPalette::HighlightedText};
    case 15: // button face
        return TPaletteSource{A, QPalette::Button};
    case 16: // button shadow
        return TPaletteSource{A, QPalette::Dark};
    case 17: // grey text
        return TPaletteSource{QPalette::Disabled, QPalette::Text};
    case 18:
        return TPaletteSource{A, QPalette::ButtonText};
    case 20: // button highlight
        return TPaletteSource{A, QPalette::Light};
    case 21: // dark 3-D shadow
        return TPaletteSource{A, QPalette::Shadow};
    case 22: // 3-D light
        return TPaletteSource{A, QPalette::Midlight};
    case 23:
        return TPaletteSource{A, QPalette::ToolTipText};
    case 24:
        return TPaletteSource{A, QPalette::ToolTipBase};
    case 26: // hot-tracked item
        return TPaletteSource{A, QPalette::Link};
    default:
        return std::nullopt;
    }
}

} // namespace

std::array<TVxColor, SystemColorCount> ReadSystemColors() {
    std::array<TVxColor, SystemColorCount> colors{};
    const bool havePalette = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    const QPalette palette = havePalette ? QGuiApplication::palette() : QPalette();
    for (int i = 0; i < SystemColorCount; ++i) {
        std::uint32_t rgb = ClassicRgb[static_cast<std::size_t>(i)];
        if (const auto source = PaletteSourceOf(i); source && havePalette)
            rgb = palette.color(source->Group, source->Role).rgb() & 0xFFFFFFu;
        colors[static_cast<std::size_t>(i)] = VxColor(0xFF000000u | rgb);
    }
    return colors;
}
