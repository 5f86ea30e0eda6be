#pragma once
// A scale and a context as a horizontal axis of 400 pixels with a 12-point label font
// has them, with the invariant number and date conventions.

#include "axes/AxisScale.h"
#include "axes/DateTimeScale.h"

#include <QString>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& Text, std::ostream* Out) {
    *Out << '"' << Text.toStdString() << '"';
}

inline const TVxFormatSettings& InvariantSettings() {
    static const TVxFormatSettings settings = [] {
        TVxFormatSettings s = TVxFormatSettings::Invariant();
        s.ShortTimeFormat = "hh:nn";
        return s;
    }();
    return settings;
}

inline TVxScaleContext MakeContext(double ControlLength = 400) {
    TVxScaleContext c;
    c.ControlLength = ControlLength;
    c.FontSize = 12;
    c.Settings = &InvariantSettings();
    return c;
}

inline TVxAxisScale MakeScale(TVxAxisScaling Scaling = TVxAxisScaling::Normal,
                              float AxLength = 400) {
    TVxAxisScale s;
    s.Scaling = Scaling;
    s.AxLength = AxLength;
    s.Formats = DefaultDateTimeFormats(InvariantSettings());
    return s;
}

inline std::vector<QString> LabelTexts(const TVxTickList& Ticks) {
    std::vector<QString> texts;
    for (const auto& l : Ticks.Labels)
        texts.push_back(l.Text);
    return texts;
}

inline std::vector<float> LabelPixels(const TVxTickList& Ticks) {
    std::vector<float> pixels;
    for (const auto& l : Ticks.Labels)
        pixels.push_back(l.Pixel);
    return pixels;
}
