// Any byte string read as style records (the first byte picks the record): a clear error or
// consistent objects, never a crash, hang or huge allocation.
#include "StyleInvariants.h"
#include "styles/StyleRecords.h"
#include "util/Exceptions.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0)
        return 0;
    QByteArray bytes(reinterpret_cast<const char*>(Data + 1), qsizetype(Size - 1));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TVxStreamReader in(buffer);
    TVxLineSettings line;
    TVxSimpleLineSettings simple;
    TVxGradientSettings gradient;
    TVxAreaSettings area;
    TVxFont font;
    try {
        switch (Data[0] % 5) {
        case 0:
            ReadLineSettings(in, line);
            break;
        case 1:
            ReadSimpleLineSettings(in, simple);
            break;
        case 2:
            ReadGradientSettings(in, gradient);
            break;
        case 3:
            ReadAreaSettings(in, area);
            break;
        default:
            ReadFontSettings(in, font);
            break;
        }
    } catch (const EVxException&) {
    }
    CheckStyles(line, simple, gradient, area, font);
    return 0;
}
