// The graph's rich captions: the title measured as a rich caption record once per layout,
// and the caption variables "Name" and "Caption" that other captions can show, with the
// dependents refreshed when either changes.

#include "captions/MeasuringSurface.h"
#include "graph/Graph.h"

void TVxCustomGraph::RegisterCaptionVariables() {
    RegisterStringGetter(QStringLiteral("Name"),
                         QStringLiteral("Internal name of the graph control"), this,
                         GlobalStringGetters(), [this] { return objectName(); });
    RegisterStringGetter(QStringLiteral("Caption"),
                         QStringLiteral("Caption used in title of graph"), this,
                         GlobalStringGetters(), [this] { return FCaption; });
    connect(this, &QObject::objectNameChanged, this,
            [this] { UpdateDependents(FObjectsToUpdate); });
}

void TVxCustomGraph::MeasureTitle() {
    FTitleRec.Caption = FCaption;
    FTitleRec.Font = FCaptionFont;
    if (FCaption.isEmpty()) {
        FTitleRec.FLineWidth.clear();
        FTitleRec.FWidth = 0;
        FTitleRec.FHeight = 0;
        return;
    }
    TVxMeasuringSurface surface;
    FTitleRec.ParseForSize(surface, this);
}

void TVxCustomGraph::ParseCaption() {
    MeasureTitle();
    Modified();
}

QSizeF TVxCustomGraph::TitleSize() const {
    return {FTitleRec.FWidth, FTitleRec.FHeight};
}
