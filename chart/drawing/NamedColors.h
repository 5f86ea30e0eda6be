#pragma once
// The table of 167 named colours: 26 system colours, Transparent and the 140 web colours.

#include "drawing/Color.h"

#include <QString>
#include <array>

/// One entry of the named colour table.
struct TVxNamedColor {
    /// The colour's name as written in files ("LightGray").
    const char* Name;
    /// Its ARGB value.
    TVxColor Value;
};

/// Number of entries of the named colour table.
inline constexpr int NamedColorCount = 167;
/// Number of system colour entries at the start of the table.
inline constexpr int NamedSystemColorCount = 26;
/// Table position (1-based) of the first entry that is not a system colour ("Transparent").
inline constexpr int FirstFixedNamedColor = NamedSystemColorCount + 1;

/// The table, entry 1 at position 0; the system colours hold their values of the last refresh.
const std::array<TVxNamedColor, NamedColorCount>& NamedColorTable();
/// Entry Index (1 to 167) of the table; raises EVxRangeError for another index.
const TVxNamedColor& NamedColor(int Index);
/// The system colour index (0 to 30) behind table entry Index (1 to 26).
int NamedSystemColorIndex(int Index);
/// Reads the current system colours into entries 1 to 26 (done once at first use).
void RefreshSystemColors();
