// Any input read as a marker record: the first byte picks the container (binary stream, XML
// element, ini section) and the marker class, the rest is the record. A clear error or a
// consistent marker that lays itself out and paints, never a crash, hang or huge allocation.
#include "annotations/CrossHair.h"
#include "annotations/LabelWithArrow.h"
#include "annotations/LineMarker.h"
#include "drawing/RecordingSurface.h"
#include "persistence/XmlCodec.h"
#include "util/Exceptions.h"

#include <QBuffer>
#include <QGuiApplication>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

QGuiApplication* App = nullptr;

std::unique_ptr<TVxMovable> MakeMarker(int Kind) {
    switch (Kind) {
    case 0:
        return std::make_unique<TVxHorizontalMarker>();
    case 1:
        return std::make_unique<TVxVerticalMarker>();
    case 2:
        return std::make_unique<TVxCrossHair>();
    default:
        return std::make_unique<TVxLabelWithArrowMarker>();
    }
}

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
    std::unique_ptr<TVxMovable> marker = MakeMarker((Data[0] / 3) % 4);
    try {
        switch (Data[0] % 3) {
        case 0: {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            TVxStreamReader in(buffer);
            marker->ReadFromStream(in);
            break;
        }
        case 1: {
            pugi::xml_document doc;
            LoadXmlDocument(doc, bytes);
            marker->ReadFromXml(doc.first_child());
            break;
        }
        default: {
            TVxIniFile ini;
            ini.LoadFromText(bytes);
            marker->ReadFromIni(ini, "Marker");
            break;
        }
        }
    } catch (const EVxException&) {
    }
    marker->UpdatePosition();
    if (marker->Width() < 0 || marker->Height() < 0 || !std::isfinite(marker->X()) ||
        !std::isfinite(marker->Y()) || std::abs(marker->CaptionDeltaX()) > MaxMarkerPixels ||
        std::abs(marker->CaptionDeltaY()) > MaxMarkerPixels)
        std::abort();
    TVxRecordingSurface surface;
    marker->PaintGr(surface);
    return 0;
}
