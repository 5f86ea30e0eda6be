#pragma once
// What every style object must hold after any input: values within their ranges, and pens and
// brushes that can be built.

#include "styles/AreaSettings.h"
#include "styles/LineSettings.h"
#include "styles/VxFont.h"

#include <cmath>

inline void CheckGradient(const TVxGradientSettings& G) {
    const float angle = G.LinearAngle();
    if (!(angle >= 0 && angle < 360))
        __builtin_trap();
    for (float f : {G.LinearCenter(), G.RadialCenterX(), G.RadialCenterY()})
        if (!(f >= 0 && f <= 1))
            __builtin_trap();
    if (int(G.Style()) < 0 || int(G.Style()) > 2)
        __builtin_trap();
    G.GetBrush(QRectF(0, 0, 100, 50));
}

inline void CheckStyles(const TVxLineSettings& Line, const TVxSimpleLineSettings& Simple,
                        const TVxGradientSettings& Gradient, const TVxAreaSettings& Area,
                        const TVxFont& Font) {
    for (const TVxSimpleLineSettings* l :
         {static_cast<const TVxSimpleLineSettings*>(&Line), &Simple}) {
        if (int(l->DashStyle()) < 0 || int(l->DashStyle()) > 5)
            __builtin_trap();
        CheckGradient(*l->Gradient());
        l->GetPen(QRectF(0, 0, 100, 50));
    }
    CheckGradient(Gradient);
    CheckGradient(*Area.Gradient());
    CheckGradient(*Font.Gradient());
    if (int(Area.AreaStyle()) < 0 || int(Area.AreaStyle()) > 53)
        __builtin_trap();
    Area.GetBrush(QRectF(0, 0, 100, 50));
    if (!std::isfinite(Font.GetSize()) || std::abs(Font.GetSize()) > TVxFont::MaxFontSize ||
        Font.Style().toInt() > 15 || Font.DrawEffects().toInt() > 15 ||
        int(Font.RenderingHint()) > 5)
        __builtin_trap();
    Font.FontSpec();
}
