// Any input read as a legend record: the first byte picks the container (binary stream, XML
// element, ini section), the rest is the record. A clear error or a consistent legend that
// lays itself out and paints, never a crash, hang or huge allocation.
#include "annotations/Legend.h"
#include "drawing/RecordingSurface.h"
#include "persistence/XmlCodec.h"
#include "util/Exceptions.h"

#include <QBuffer>
#include <QGuiApplication>
#include <cmath>
#include <cstdlib>

namespace {

QGuiApplication* App = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    App = new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0)
        return 0;
    QByteArray bytes(reinterpret_cast<const char*>(Data + 1), qsizetype(Size - 1));
    TVxLegend legend;
    try {
        switch (Data[0] % 3) {
        case 0: {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            TVxStreamReader in(buffer);
            legend.ReadFromStream(in);
            break;
        }
        case 1: {
            pugi::xml_document doc;
            LoadXmlDocument(doc, bytes);
            legend.ReadFromXml(doc.child("TVxLegend"));
            break;
        }
        default: {
            TVxIniFile ini;
            ini.LoadFromText(bytes);
            legend.ReadFromIni(ini, "Legend");
            break;
        }
        }
    } catch (const EVxException&) {
    }
    if (legend.Columns() < 1 || legend.Rows() < 1 || legend.Width() < 0 || legend.Height() < 0 ||
        !std::isfinite(legend.ItemWidth()) || !std::isfinite(legend.DistanceToBorder()))
        std::abort();
    TVxRecordingSurface surface;
    legend.PaintGr(surface);
    return 0;
}
