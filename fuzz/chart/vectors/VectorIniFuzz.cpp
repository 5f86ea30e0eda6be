// Any text read as an ini file and then as a vector's section. The text the ini file then
// writes must be the ini library's own layout of what it read.
#include "persistence/IniFile.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const QByteArray text(reinterpret_cast<const char*>(Data), qsizetype(Size));
    TVxIniFile ini;
    TVxDoubleVector vector;
    bool loaded = false;
    try {
        ini.LoadFromText(text);
        loaded = true;
        vector.ReadFrom(ini, "V");
    } catch (const EVxException&) {
    }
    if (vector.GetCount() > vector.GetCapacity())
        __builtin_trap();
    vector.GetSum();

    if (loaded) {
        CSimpleIniA reference(/*IsUtf8=*/true, /*MultiKey=*/false, /*MultiLine=*/false);
        reference.SetSpaces(false);
        std::string expected;
        if (reference.LoadData(text.constData(), size_t(text.size())) >= 0 &&
            reference.Save(expected) >= 0 && ini.SaveToText().toStdString() != expected)
            __builtin_trap();
    }
    return 0;
}
