// Any byte string read as a vector's binary record: a clear error or a consistent vector,
// never a crash, hang or huge allocation.
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    QByteArray bytes(reinterpret_cast<const char*>(Data), qsizetype(Size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TVxDoubleVector vector;
    try {
        vector.ReadFrom(buffer);
    } catch (const EVxException&) {
    }
    if (vector.GetCount() > vector.GetCapacity())
        __builtin_trap();
    vector.GetSum();
    return 0;
}
