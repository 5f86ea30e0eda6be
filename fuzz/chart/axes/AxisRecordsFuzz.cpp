// Any bytes read as an axis record (the first byte picks stream, XML or ini), then laid out
// and painted into a 100 x 100 image: a clear error or an axis that paints, never a crash,
// hang or huge allocation.
#include "RecordFuzzHost.h"
#include "axes/AxisLook.h"
#include "axes/AxisPainter.h"
#include "drawing/QtSurface.h"
#include "util/Application.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    StartFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    QObject form;
    form.setObjectName("RecForm");
    TVxApplication::Instance().RegisterForm(&form);
    TFuzzAxisHost host;
    auto* master = new TVxAxis(&form);
    master->setObjectName("Master");
    auto* axis = new TVxAxis(&form);
    axis->setObjectName("Slave");
    for (TVxAxis* a : {master, axis})
        a->SetHost(&host);
    const bool read = ReadRecordFrom(
        Data, Size, [&](QIODevice& In) { axis->ReadFrom(In, true); },
        [&](pugi::xml_node Element) { axis->ReadFrom(Element, true); },
        [&](const TVxIniFile& Ini) { axis->ReadFrom(Ini, "S", true); });
    if (read) {
        if (axis->CanZoomBack() && axis->ZoomStage() >= axis->ZoomBufferSize())
            __builtin_trap();
        axis->ZoomBack();
        // The layout of a 100 x 100 graph, then the paint.
        axis->SetAxisGeometry(0, 0, 100);
        axis->CalculateScale();
        QImage image = FuzzImage();
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        PaintAxis(surface, *axis, AxisLook(*axis));
    }
    for (TVxAxis* a : {master, axis})
        a->SetHost(nullptr);
    TVxApplication::Instance().Unregister(&form);
    return 0;
}
