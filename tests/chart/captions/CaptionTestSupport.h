#pragma once
// Shared pieces of the caption tests: QString printing, the fixed test font, and its metrics
// measured straight with Qt (the independent reference for every width and height).

#include "styles/VxFont.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QString>
#include <optional>
#include <ostream>

inline void PrintTo(const QString& Text, std::ostream* Out) {
    *Out << '"' << Text.toStdString() << '"';
}

/// The fixed test font family.
inline const QString TestFamily = QStringLiteral("DejaVu Sans");

/// Metrics of the test family at Points on a 96-dpi image, as Qt gives them.
class TReferenceMetrics {
public:
    explicit TReferenceMetrics(double Points, bool Bold = false, bool Italic = false,
                               const QString& Family = TestFamily)
        : FDevice(1, 1, QImage::Format_ARGB32) {
        FDevice.setDotsPerMeterX(3780);
        FDevice.setDotsPerMeterY(3780);
        QFont font(Family);
        font.setPointSizeF(Points);
        font.setBold(Bold);
        font.setItalic(Italic);
        FMetrics.emplace(font, &FDevice);
    }
    /// The width of a run: advance of "I" + Run + "I" less that of "II".
    double Run(const QString& Text) const {
        return FMetrics->horizontalAdvance(u'I' + Text + u'I') -
               FMetrics->horizontalAdvance(QStringLiteral("II"));
    }
    /// The line spacing.
    double LineHeight() const { return FMetrics->lineSpacing(); }

private:
    QImage FDevice;
    std::optional<QFontMetricsF> FMetrics;
};

/// The padding the default string layout puts on either side of a text: 1/6 em, the em being
/// Points * 96 / 72 pixels.
inline double SidePadding(double Points) {
    return Points * 96.0 / 72.0 / 6.0;
}
