// Six weeks of daily prices of two shares on a date-time axis: one drawn as candlesticks
// (body from open to close, green when the day rose, red when it fell), the other as OHLC
// bars (high-low bar, open tick left, close tick right). Weekends have no trading.

#include "GalleryPage.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/OHLC.h"
#include "undo/UndoStack.h"
#include "util/DateTime.h"
#include "vectors/DoubleVector.h"

#include <algorithm>
#include <random>

void BuildPrices(QWidget& form, const TGalleryPageOptions&) {
    auto* undo = new TVxUndoStack(&form);
    undo->setObjectName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph1");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->SetDataAreaColor(VxColor(0xFFFCFCF7));
    graph->TestPrimaryAxis();
    const TDateTime first = EncodeDateTime(2026, 3, 2); // a Monday; fixed, never the clock
    const auto fix = [](TVxAxis* axis, double start, double stop, const char* caption) {
        axis->SetEndRounding(TVxAxisEndRounding::RndNothing);
        axis->SetStartEnd(TVxAxisEnd::Fixed);
        axis->SetStopEnd(TVxAxisEnd::Fixed);
        axis->SetStart(start);
        axis->SetStop(stop);
        AxisLook(*axis).SetCaption(caption);
    };
    graph->PrimaryXAxis()->SetScaling(TVxAxisScaling::DateTime);
    fix(graph->PrimaryXAxis(), first - 1, first + 42, "Day");
    fix(graph->PrimaryYAxis(), 40, 130, "Price (EUR)");

    std::mt19937_64 random(42); // seeded random walks: the same prices on every run
    const auto share = [&](const char* name, double price, double volatility) {
        std::normal_distribution<double> step(0.0, volatility);
        TVxDoubleVector* v[5];
        const char* parts[] = {"Day", "Open", "High", "Low", "Close"};
        for (int k = 0; k < 5; ++k) {
            v[k] = new TVxDoubleVector(&form);
            v[k]->setObjectName(QString::fromLatin1(name) + parts[k]);
        }
        for (int day = 0; day < 42; ++day) {
            if (day % 7 >= 5)
                continue; // Saturday and Sunday
            const double open = price, close = price + step(random);
            v[0]->Add(first + day);
            v[1]->Add(open);
            v[2]->Add(std::max(open, close) + std::abs(step(random)) * 0.6);
            v[3]->Add(std::min(open, close) - std::abs(step(random)) * 0.6);
            v[4]->Add(close);
            price = close;
        }
        return std::vector<TVxDoubleVector*>(v, v + 5);
    };
    const auto bind = [graph](TVxCustomOHLC* s, const char* name,
                              const std::vector<TVxDoubleVector*>& v) {
        s->setObjectName(name);
        s->SetXData(v[0]);
        s->SetOpenData(v[1]);
        s->SetHighData(v[2]);
        s->SetLowData(v[3]);
        s->SetCloseData(v[4]);
        s->SetXAxis(graph->PrimaryXAxis());
        s->SetYAxis(graph->PrimaryYAxis()); // joins once all four prices and both axes are set
    };
    auto* candles = new TVxCandleSticks(&form);
    bind(candles, "Northwind", share("Northwind", 100, 3.0));
    candles->SetBullColor(VxColor(0xFF2E9E4F));
    candles->SetBearColor(VxColor(0xFFD8453B));
    candles->SetBarWidth(9);
    auto* bars = new TVxOHLC(&form);
    bind(bars, "Eastgate", share("Eastgate", 60, 2.0));
    bars->SetBarWidth(3);
    bars->SetIndicatorLength(5);
}
