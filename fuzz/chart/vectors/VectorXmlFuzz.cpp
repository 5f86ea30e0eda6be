// Any text read as XML and then as a vector's element.
#include "persistence/XmlCodec.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    pugi::xml_document document;
    TVxDoubleVector vector;
    try {
        LoadXmlDocument(document, QByteArray(reinterpret_cast<const char*>(Data), qsizetype(Size)));
        vector.ReadFrom(document.first_child());
    } catch (const EVxException&) {
    }
    if (vector.GetCount() > vector.GetCapacity())
        __builtin_trap();
    vector.GetSum();
    return 0;
}
