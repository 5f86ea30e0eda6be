// The series and marker classes a chart file may name. Each kind adds its line to
// RegisteredClasses (see ComponentRegistry.h).

#include "graph/ComponentRegistry.h"

#include "annotations/CrossHair.h"
#include "annotations/LabelWithArrow.h"
#include "annotations/LineMarker.h"
#include "series/Arrows.h"
#include "series/Bars.h"
#include "series/Bubbles.h"
#include "series/FittedLineSeries.h"
#include "series/FourierSeries.h"
#include "series/FunctionSeries.h"
#include "series/InterpolationSeries.h"
#include "series/LeastSquaresSeries.h"
#include "series/MovingAverageSeries.h"
#include "series/OHLC.h"
#include "series/PointWithErrorSeries.h"
#include "series/RegressionSeries.h"
#include "series/Series.h"

#include <QMetaObject>

namespace {

std::vector<TVxComponentClass> RegisteredClasses() {
    return {
        VxSeriesClass<TVxLineSeries>("TVxLineSeries"),
        VxSeriesClass<TVxPointSeries>("TVxPointSeries"),
        VxSeriesClass<TVxPointWithErrorSeries>("TVxPointWithErrorSeries"),
        VxSeriesClass<TVxBars>("TVxBars"),
        VxSeriesClass<TVxBubbles>("TVxBubbles"),
        VxSeriesClass<TVxArrows>("TVxArrows"),
        VxSeriesClass<TVxOHLC>("TVxOHLC"),
        VxSeriesClass<TVxCandleSticks>("TVxCandleSticks"),
        VxSeriesClass<TVxFunctionSeries>("TVxFunctionSeries"),
        VxSeriesClass<TVxLinearRegression>("TVxLinearRegression"),
        VxSeriesClass<TVxPolynomial>("TVxPolynomial"),
        VxSeriesClass<TVxGeneralLinearLeastSquares>("TVxGeneralLinearLeastSquares"),
        VxSeriesClass<TVxInterpolation>("TVxInterpolation"),
        VxSeriesClass<TVxDifferential>("TVxDifferential"),
        VxSeriesClass<TVxIntegral>("TVxIntegral"),
        VxSeriesClass<TVxMovingAverage>("TVxMovingAverage"),
        VxSeriesClass<TVxFittedLine>("TVxFittedLine"),
        VxSeriesClass<TVxDiscreteFourier>("TVxDiscreteFourier"),
        VxSeriesClass<TVxChildSeries>("TVxChildSeries"),
        VxMarkerClass<TVxHorizontalMarker>("TVxHorizontalMarker"),
        VxMarkerClass<TVxVerticalMarker>("TVxVerticalMarker"),
        VxMarkerClass<TVxCrossHair>("TVxCrossHair"),
        VxMarkerClass<TVxLabelWithArrowMarker>("TVxLabelWithArrowMarker"),
    };
}

} // namespace

TVxComponentRegistry::TVxComponentRegistry() : FClasses(RegisteredClasses()) {}

TVxComponentRegistry& TVxComponentRegistry::Instance() {
    static TVxComponentRegistry registry;
    return registry;
}

void TVxComponentRegistry::Register(TVxComponentClass Class) {
    for (TVxComponentClass& c : FClasses)
        if (c.ClassName == Class.ClassName) {
            c = std::move(Class);
            return;
        }
    FClasses.push_back(std::move(Class));
}

void TVxComponentRegistry::Unregister(const QString& ClassName) {
    std::erase_if(FClasses, [&](const TVxComponentClass& c) { return c.ClassName == ClassName; });
}

const TVxComponentClass* TVxComponentRegistry::Find(const QString& ClassName) const {
    for (const TVxComponentClass& c : FClasses)
        if (c.ClassName == ClassName)
            return &c;
    return nullptr;
}

const TVxComponentClass* TVxComponentRegistry::FindFor(const QObject* Object,
                                                       TVxComponentKind Kind) const {
    if (!Object)
        return nullptr;
    for (const QMetaObject* m = Object->metaObject(); m; m = m->superClass())
        if (const TVxComponentClass* c = Find(QString::fromLatin1(m->className())))
            if (c->Kind == Kind)
                return c;
    return nullptr;
}
