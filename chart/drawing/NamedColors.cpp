#include "drawing/NamedColors.h"

#include "drawing/SystemColors.h"
#include "util/Exceptions.h"

namespace {

struct TSystemEntry {
    const char* Name;
    int Index;
};

// Table entries 1 to 26 and the system colour index each one shows.
constexpr std::array<TSystemEntry, NamedSystemColorCount> SystemEntries = {{
    {"ActiveBorder", 10},
    {"ActiveCaption", 2},
    {"ActiveCaptionText", 9},
    {"AppWorkspace", 12},
    {"Control", 15},
    {"ControlDark", 16},
    {"ControlDarkDark", 21},
    {"ControlLight", 22},
    {"ControlLightLight", 20},
    {"ControlText", 18},
    {"Desktop", 1},
    {"GrayText", 17},
    {"Highlight", 13},
    {"HighlightText", 14},
    {"HotTrack", 26},
    {"InactiveBorder", 11},
    {"InactiveCaption", 3},
    {"InactiveCaptionText", 19},
    {"Info", 24},
    {"InfoText", 23},
    {"Menu", 4},
    {"MenuText", 7},
    {"ScrollBar", 0},
    {"Window", 5},
    {"WindowFrame", 6},
    {"WindowText", 8},
}};

// Entries 27 to 167: Transparent and the web colours with their standard values.
constexpr std::array<TVxNamedColor, NamedColorCount - NamedSystemColorCount> FixedEntries = {{
    {"Transparent", VxColor(0x00FFFFFF)},
    {"Black", VxColor(0xFF000000)},
    {"DimGray", VxColor(0xFF696969)},
    {"Gray", VxColor(0xFF808080)},
    {"DarkGray", VxColor(0xFFA9A9A9)},
    {"Silver", VxColor(0xFFC0C0C0)},
    {"LightGray", VxColor(0xFFD3D3D3)},
    {"Gainsboro", VxColor(0xFFDCDCDC)},
    {"WhiteSmoke", VxColor(0xFFF5F5F5)},
    {"White", VxColor(0xFFFFFFFF)},
    {"RosyBrown", VxColor(0xFFBC8F8F)},
    {"IndianRed", VxColor(0xFFCD5C5C)},
    {"Brown", VxColor(0xFFA52A2A)},
    {"Firebrick", VxColor(0xFFB22222)},
    {"LightCoral", VxColor(0xFFF08080)},
    {"Maroon", VxColor(0xFF800000)},
    {"DarkRed", VxColor(0xFF8B0000)},
    {"Red", VxColor(0xFFFF0000)},
    {"Snow", VxColor(0xFFFFFAFA)},
    {"MistyRose", VxColor(0xFFFFE4E1)},
    {"Salmon", VxColor(0xFFFA8072)},
    {"Tomato", VxColor(0xFFFF6347)},
    {"DarkSalmon", VxColor(0xFFE9967A)},
    {"Coral", VxColor(0xFFFF7F50)},
    {"OrangeRed", VxColor(0xFFFF4500)},
    {"LightSalmon", VxColor(0xFFFFA07A)},
    {"Sienna", VxColor(0xFFA0522D)},
    {"SeaShell", VxColor(0xFFFFF5EE)},
    {"Chocolate", VxColor(0xFFD2691E)},
    {"SaddleBrown", VxColor(0xFF8B4513)},
    {"SandyBrown", VxColor(0xFFF4A460)},
    {"PeachPuff", VxColor(0xFFFFDAB9)},
    {"Peru", VxColor(0xFFCD853F)},
    {"Linen", VxColor(0xFFFAF0E6)},
    {"Bisque", VxColor(0xFFFFE4C4)},
    {"DarkOrange", VxColor(0xFFFF8C00)},
    {"BurlyWood", VxColor(0xFFDEB887)},
    {"Tan", VxColor(0xFFD2B48C)},
    {"AntiqueWhite", VxColor(0xFFFAEBD7)},
    {"NavajoWhite", VxColor(0xFFFFDEAD)},
    {"BlanchedAlmond", VxColor(0xFFFFEBCD)},
    {"PapayaWhip", VxColor(0xFFFFEFD5)},
    {"Moccasin", VxColor(0xFFFFE4B5)},
    {"Orange", VxColor(0xFFFFA500)},
    {"Wheat", VxColor(0xFFF5DEB3)},
    {"OldLace", VxColor(0xFFFDF5E6)},
    {"FloralWhite", VxColor(0xFFFFFAF0)},
    {"DarkGoldenrod", VxColor(0xFFB8860B)},
    {"Goldenrod", VxColor(0xFFDAA520)},
    {"Cornsilk", VxColor(0xFFFFF8DC)},
    {"Gold", VxColor(0xFFFFD700)},
    {"Khaki", VxColor(0xFFF0E68C)},
    {"LemonChiffon", VxColor(0xFFFFFACD)},
    {"PaleGoldenrod", VxColor(0xFFEEE8AA)},
    {"DarkKhaki", VxColor(0xFFBDB76B)},
    {"Beige", VxColor(0xFFF5F5DC)},
    {"LightGoldenrodYellow", VxColor(0xFFFAFAD2)},
    {"Olive", VxColor(0xFF808000)},
    {"Yellow", VxColor(0xFFFFFF00)},
    {"LightYellow", VxColor(0xFFFFFFE0)},
    {"Ivory", VxColor(0xFFFFFFF0)},
    {"OliveDrab", VxColor(0xFF6B8E23)},
    {"YellowGreen", VxColor(0xFF9ACD32)},
    {"DarkOliveGreen", VxColor(0xFF556B2F)},
    {"GreenYellow", VxColor(0xFFADFF2F)},
    {"Chartreuse", VxColor(0xFF7FFF00)},
    {"LawnGreen", VxColor(0xFF7CFC00)},
    {"DarkSeaGreen", VxColor(0xFF8FBC8F)},
    {"ForestGreen", VxColor(0xFF228B22)},
    {"LimeGreen", VxColor(0xFF32CD32)},
    {"LightGreen", VxColor(0xFF90EE90)},
    {"PaleGreen", VxColor(0xFF98FB98)},
    {"DarkGreen", VxColor(0xFF006400)},
    {"Green", VxColor(0xFF008000)},
    {"Lime", VxColor(0xFF00FF00)},
    {"Honeydew", VxColor(0xFFF0FFF0)},
    {"SeaGreen", VxColor(0xFF2E8B57)},
    {"MediumSeaGreen", VxColor(0xFF3CB371)},
    {"SpringGreen", VxColor(0xFF00FF7F)},
    {"MintCream", VxColor(0xFFF5FFFA)},
    {"MediumSpringGreen", VxColor(0xFF00FA9A)},
    {"MediumAquamarine", VxColor(0xFF66CDAA)},
    {"Aquamarine", VxColor(0xFF7FFFD4)},
    {"Turquoise", VxColor(0xFF40E0D0)},
    {"LightSeaGreen", VxColor(0xFF20B2AA)},
    {"MediumTurquoise", VxColor(0xFF48D1CC)},
    {"DarkSlateGray", VxColor(0xFF2F4F4F)},
    {"PaleTurquoise", VxColor(0xFFAFEEEE)},
    {"Teal", VxColor(0xFF008080)},
    {"DarkCyan", VxColor(0xFF008B8B)},
    {"Aqua", VxColor(0xFF00FFFF)},
    {"Cyan", VxColor(0xFF00FFFF)},
    {"LightCyan", VxColor(0xFFE0FFFF)},
    {"Azure", VxColor(0xFFF0FFFF)},
    {"DarkTurquoise", VxColor(0xFF00CED1)},
    {"CadetBlue", VxColor(0xFF5F9EA0)},
    {"PowderBlue", VxColor(0xFFB0E0E6)},
    {"LightBlue", VxColor(0xFFADD8E6)},
    {"DeepSkyBlue", VxColor(0xFF00BFFF)},
    {"SkyBlue", VxColor(0xFF87CEEB)},
    {"LightSkyBlue", VxColor(0xFF87CEFA)},
    {"SteelBlue", VxColor(0xFF4682B4)},
    {"AliceBlue", VxColor(0xFFF0F8FF)},
    {"DodgerBlue", VxColor(0xFF1E90FF)},
    {"SlateGray", VxColor(0xFF708090)},
    {"LightSlateGray", VxColor(0xFF778899)},
    {"LightSteelBlue", VxColor(0xFFB0C4DE)},
    {"CornflowerBlue", VxColor(0xFF6495ED)},
    {"RoyalBlue", VxColor(0xFF4169E1)},
    {"MidnightBlue", VxColor(0xFF191970)},
    {"Lavender", VxColor(0xFFE6E6FA)},
    {"Navy", VxColor(0xFF000080)},
    {"DarkBlue", VxColor(0xFF00008B)},
    {"MediumBlue", VxColor(0xFF0000CD)},
    {"Blue", VxColor(0xFF0000FF)},
    {"GhostWhite", VxColor(0xFFF8F8FF)},
    {"SlateBlue", VxColor(0xFF6A5ACD)},
    {"DarkSlateBlue", VxColor(0xFF483D8B)},
    {"MediumSlateBlue", VxColor(0xFF7B68EE)},
    {"MediumPurple", VxColor(0xFF9370DB)},
    {"BlueViolet", VxColor(0xFF8A2BE2)},
    {"Indigo", VxColor(0xFF4B0082)},
    {"DarkOrchid", VxColor(0xFF9932CC)},
    {"DarkViolet", VxColor(0xFF9400D3)},
    {"MediumOrchid", VxColor(0xFFBA55D3)},
    {"Thistle", VxColor(0xFFD8BFD8)},
    {"Plum", VxColor(0xFFDDA0DD)},
    {"Violet", VxColor(0xFFEE82EE)},
    {"Purple", VxColor(0xFF800080)},
    {"DarkMagenta", VxColor(0xFF8B008B)},
    {"Magenta", VxColor(0xFFFF00FF)},
    {"Fuchsia", VxColor(0xFFFF00FF)},
    {"Orchid", VxColor(0xFFDA70D6)},
    {"MediumVioletRed", VxColor(0xFFC71585)},
    {"DeepPink", VxColor(0xFFFF1493)},
    {"HotPink", VxColor(0xFFFF69B4)},
    {"LavenderBlush", VxColor(0xFFFFF0F5)},
    {"PaleVioletRed", VxColor(0xFFDB7093)},
    {"Crimson", VxColor(0xFFDC143C)},
    {"Pink", VxColor(0xFFFFC0CB)},
    {"LightPink", VxColor(0xFFFFB6C1)},
}};

std::array<TVxNamedColor, NamedColorCount>& MutableTable() {
    static std::array<TVxNamedColor, NamedColorCount> table = [] {
        std::array<TVxNamedColor, NamedColorCount> t{};
        const auto system = ReadSystemColors();
        for (std::size_t i = 0; i < SystemEntries.size(); ++i)
            t[i] = {SystemEntries[i].Name,
                    system[static_cast<std::size_t>(SystemEntries[i].Index)]};
        for (std::size_t i = 0; i < FixedEntries.size(); ++i)
            t[SystemEntries.size() + i] = FixedEntries[i];
        return t;
    }();
    return table;
}

} // namespace

const std::array<TVxNamedColor, NamedColorCount>& NamedColorTable() {
    return MutableTable();
}

const TVxNamedColor& NamedColor(int Index) {
    if (Index < 1 || Index > NamedColorCount)
        throw EVxRangeError::ForIndex(Index);
    return MutableTable()[static_cast<std::size_t>(Index - 1)];
}

int NamedSystemColorIndex(int Index) {
    if (Index < 1 || Index > NamedSystemColorCount)
        throw EVxRangeError::ForIndex(Index);
    return SystemEntries[static_cast<std::size_t>(Index - 1)].Index;
}

void RefreshSystemColors() {
    auto& table = MutableTable();
    const auto system = ReadSystemColors();
    for (std::size_t i = 0; i < SystemEntries.size(); ++i)
        table[i].Value = system[static_cast<std::size_t>(SystemEntries[i].Index)];
}
