// Any text read as an ini file and then as the style keys of section "S".
#include "StyleInvariants.h"
#include "styles/StyleRecords.h"
#include "util/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TVxIniFile ini;
    TVxLineSettings line;
    TVxSimpleLineSettings simple;
    TVxGradientSettings gradient;
    TVxAreaSettings area;
    TVxFont font;
    try {
        ini.LoadFromText(QByteArray(reinterpret_cast<const char*>(Data), qsizetype(Size)));
        ReadLineSettings(ini, "S", "L", line);
        ReadSimpleLineSettings(ini, "S", "P", simple);
        ReadGradientSettings(ini, "S", "G", gradient);
        ReadAreaSettings(ini, "S", "A", area);
        ReadFontSettings(ini, "S", "F", font);
    } catch (const EVxException&) {
    }
    CheckStyles(line, simple, gradient, area, font);
    return 0;
}
