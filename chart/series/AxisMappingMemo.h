#pragma once
// The mapping of two axes (ranges and their world values) as it was when a series last laid
// out its items, so that a paint can tell whether the items are still in place.

#include "axes/Axis.h"

class TVxAxisMappingMemo {
public:
    void Remember(const TVxAxis& X, const TVxAxis& Y) { Of(X, Y, FLast); }
    bool Changed(const TVxAxis& X, const TVxAxis& Y) const {
        double now[8];
        Of(X, Y, now);
        for (int j = 0; j < 8; ++j)
            if (now[j] != FLast[j])
                return true;
        return false;
    }

private:
    static void Of(const TVxAxis& X, const TVxAxis& Y, double* Out) {
        const TVxAxis* axes[2] = {&X, &Y};
        for (int k = 0; k < 2; ++k) {
            const TVxAxis& a = *axes[k];
            Out[4 * k] = a.Start();
            Out[4 * k + 1] = a.Stop();
            Out[4 * k + 2] = a.NumberToWorld(a.Start());
            Out[4 * k + 3] = a.NumberToWorld(a.Stop());
        }
    }
    double FLast[8] = {0, 0, 0, 0, 0, 0, 0, 0};
};
