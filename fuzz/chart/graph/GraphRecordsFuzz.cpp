// Any bytes read as a whole chart (the first byte picks stream, XML or ini) into a small
// chart: the load either succeeds, and the chart then saves in every container and paints
// into a 100 x 100 image, or raises and leaves the chart exactly as it was (its saved
// bytes unchanged). Never a crash, hang or huge allocation.
//
// QUENBY_FUZZ_SEED_DIR=dir writes the seeds (the small chart saved in each container)
// into dir and exits.
#include "annotations/Legend.h"
#include "axes/Axis.h"
#include "graph/Graph.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "series/Series.h"
#include "util/Application.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

/// The chart every input is read into.
struct TChart {
    TChart() {
        Form.setObjectName("FuzzForm");
        TVxApplication::Instance().RegisterForm(&Form);
        Graph = new TVxGraph2D(&Form);
        Graph->setObjectName("Graph");
        Graph->setGeometry(0, 0, 100, 100);
        auto* vx = new TVxDoubleVector(&Form);
        vx->setObjectName("VX");
        auto* vy = new TVxDoubleVector(&Form);
        vy->setObjectName("VY");
        vx->AddRange(std::vector<double>{0, 1, 2, 3, 4});
        vy->AddRange(std::vector<double>{3, -1, 4, 1, 5});
        auto* ax = new TVxAxis(&Form);
        ax->setObjectName("AX");
        auto* ay = new TVxAxis(&Form);
        ay->setObjectName("AY");
        ay->SetPosition(TVxAxisPosition::Left);
        Graph->AddAxis(ax);
        Graph->AddAxis(ay);
        auto* band = new TVxLineSeries(&Form);
        band->setObjectName("Band");
        auto* points = new TVxPointSeries(&Form);
        points->setObjectName("Points");
        for (TVxSeries* s : {static_cast<TVxSeries*>(band), static_cast<TVxSeries*>(points)}) {
            s->SetXData(vx);
            s->SetYData(vy);
            s->SetXAxis(ax);
            s->SetYAxis(ay);
        }
        band->SetDrawBandTo(points);
        auto* legend = new TVxLegend(&Form);
        legend->setObjectName("Legend");
        legend->SetGraph(Graph);
        Graph->SetCaption("Fuzz\r\nchart");
    }
    ~TChart() { TVxApplication::Instance().Unregister(&Form); }

    QByteArray Stream() const {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        Graph->WriteTo(static_cast<QIODevice&>(buffer), true);
        return bytes;
    }
    QByteArray Xml() const {
        pugi::xml_document doc;
        Graph->WriteTo(doc, true);
        return SaveXmlDocument(doc);
    }
    QByteArray Ini() const {
        TVxIniFile ini;
        Graph->WriteTo(ini, "S", true);
        return ini.SaveToText();
    }

    QWidget Form;
    TVxGraph2D* Graph;
};

void WriteSeeds(const QString& Dir) {
    TChart chart;
    QDir().mkpath(Dir);
    const auto write = [&](const char* Name, char Container, const QByteArray& Bytes) {
        QFile file(Dir + "/" + Name);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(1, Container) + Bytes);
    };
    write("stream", 0, chart.Stream());
    write("xml", 1, chart.Xml());
    write("ini", 2, chart.Ini());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(*argc, *argv);
    (void)app;
    if (const char* dir = std::getenv("QUENBY_FUZZ_SEED_DIR")) {
        WriteSeeds(QString::fromLocal8Bit(dir));
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0)
        return 0;
    TChart chart;
    const QByteArray before = chart.Stream();
    QByteArray bytes(reinterpret_cast<const char*>(Data + 1), qsizetype(Size - 1));
    bool loaded = false;
    try {
        switch (Data[0] % 3) {
        case 0: {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            chart.Graph->ReadFrom(static_cast<QIODevice&>(buffer));
            break;
        }
        case 1: {
            pugi::xml_document doc;
            LoadXmlDocument(doc, bytes);
            chart.Graph->ReadFrom(doc.first_child());
            break;
        }
        default: {
            TVxIniFile ini;
            ini.LoadFromText(bytes);
            chart.Graph->ReadFrom(ini, "S");
            break;
        }
        }
        loaded = true;
    } catch (const EVxException&) {
    }
    if (!loaded) {
        // A refused load changes nothing.
        if (chart.Stream() != before || chart.Graph->Updating() || chart.Graph->Loading())
            __builtin_trap();
        return 0;
    }
    try {
        chart.Stream();
        chart.Xml();
        chart.Ini();
    } catch (const EVxException&) {
        __builtin_trap(); // a loaded chart saves
    }
    chart.Graph->PaintToImage();
    return 0;
}
