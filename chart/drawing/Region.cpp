#include "drawing/Region.h"

namespace {

// Stands for "everything": far beyond any pixel coordinate the library produces.
const QRectF HugeRect(-4.0e6, -4.0e6, 8.0e6, 8.0e6);

} // namespace

TVxRegion TVxRegion::FromRect(const QRectF& Rect) {
    TVxRegion r;
    r.FKind = TKind::Rect;
    r.FRect = Rect.normalized();
    return r;
}

TVxRegion TVxRegion::FromPath(const TVxPath& Path) {
    return FromQtPath(Path.ToQt());
}

TVxRegion TVxRegion::FromQtPath(const QPainterPath& Path) {
    TVxRegion r;
    r.FKind = TKind::Path;
    r.FPath = Path;
    return r;
}

QPainterPath TVxRegion::ToQtPath() const {
    switch (FKind) {
    case TKind::Infinite: {
        QPainterPath p;
        p.addRect(HugeRect);
        return p;
    }
    case TKind::Rect: {
        QPainterPath p;
        p.addRect(FRect);
        return p;
    }
    case TKind::Path:
        break;
    }
    return FPath;
}

QRectF TVxRegion::Bounds() const {
    switch (FKind) {
    case TKind::Infinite:
        return HugeRect;
    case TKind::Rect:
        return FRect;
    case TKind::Path:
        break;
    }
    return FPath.boundingRect();
}

bool TVxRegion::Contains(QPointF Point) const {
    switch (FKind) {
    case TKind::Infinite:
        return true;
    case TKind::Rect:
        return Point.x() >= FRect.left() && Point.x() < FRect.right() && Point.y() >= FRect.top() &&
               Point.y() < FRect.bottom();
    case TKind::Path:
        break;
    }
    return FPath.contains(Point);
}

TVxRegion TVxRegion::Transformed(const TVxMatrix& Matrix) const {
    switch (FKind) {
    case TKind::Infinite:
        return *this;
    case TKind::Rect:
        if (Matrix.type() <= QTransform::TxScale)
            return FromRect(Matrix.mapRect(FRect));
        return FromQtPath(Matrix.map(ToQtPath()));
    case TKind::Path:
        break;
    }
    return FromQtPath(Matrix.map(FPath));
}

TVxRegion TVxRegion::Combined(const TVxRegion& Other, TCombineMode Mode) const {
    switch (Mode) {
    case TCombineMode::CombineModeReplace:
        return Other;
    case TCombineMode::CombineModeIntersect:
        if (IsInfinite())
            return Other;
        if (Other.IsInfinite())
            return *this;
        if (FKind == TKind::Rect && Other.FKind == TKind::Rect) {
            const QRectF r = FRect.intersected(Other.FRect);
            return FromRect(r.isValid() ? r : QRectF(FRect.topLeft(), QSizeF(0, 0)));
        }
        return FromQtPath(ToQtPath().intersected(Other.ToQtPath()));
    case TCombineMode::CombineModeUnion:
        if (IsInfinite() || Other.IsInfinite())
            return TVxRegion();
        return FromQtPath(ToQtPath().united(Other.ToQtPath()));
    case TCombineMode::CombineModeXor: {
        const QPainterPath a = ToQtPath();
        const QPainterPath b = Other.ToQtPath();
        return FromQtPath(a.subtracted(b).united(b.subtracted(a)));
    }
    case TCombineMode::CombineModeExclude:
        return FromQtPath(ToQtPath().subtracted(Other.ToQtPath()));
    }
    return Other;
}

bool TVxRegion::operator==(const TVxRegion& Other) const {
    if (FKind != Other.FKind)
        return false;
    switch (FKind) {
    case TKind::Infinite:
        return true;
    case TKind::Rect:
        return FRect == Other.FRect;
    case TKind::Path:
        break;
    }
    return FPath == Other.FPath;
}
