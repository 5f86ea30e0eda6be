// Any text read as an ini file and then as a vector's section.
#include "persistence/IniFile.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TVxIniFile ini;
    TVxDoubleVector vector;
    try {
        ini.LoadFromText(QByteArray(reinterpret_cast<const char*>(Data), qsizetype(Size)));
        vector.ReadFrom(ini, "V");
    } catch (const EVxException&) {
    }
    if (vector.GetCount() > vector.GetCapacity())
        __builtin_trap();
    vector.GetSum();
    return 0;
}
