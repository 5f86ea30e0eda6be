#include "captions/MeasuringSurface.h"

#include "drawing/Font.h"

#include <QHash>
#include <tuple>

namespace {

// What a measurement depends on. The rendering hint takes part because it selects the font's
// hinting, which may change advances.
struct TKey {
    QString Text;
    TVxFontSpec Font;
    QRectF Layout;
    TVxStringFormat Format;
    TVxTextRenderingHint Hint;
    bool Height; // a line height rather than a string box

    bool operator==(const TKey& Other) const {
        return Height == Other.Height && Hint == Other.Hint && Text == Other.Text &&
               Font == Other.Font && Layout == Other.Layout && Format == Other.Format;
    }
};

size_t qHash(const TKey& Key, size_t Seed = 0) {
    return qHashMulti(Seed, Key.Text, Key.Font.Family, Key.Font.Size, int(Key.Font.Unit),
                      Key.Font.Bold, Key.Font.Italic, Key.Font.Underline, Key.Font.StrikeOut,
                      Key.Layout.width(), Key.Layout.height(), int(Key.Hint), Key.Height);
}

// Bounded: a caption fuzzer or a chart of ever new labels must not grow it without end.
constexpr qsizetype MaxRemembered = 8192;

QHash<TKey, QRectF>& Remembered() {
    static QHash<TKey, QRectF> cache;
    return cache;
}

template <class TMeasure> QRectF Lookup(TKey&& Key, TMeasure&& Measure) {
    QHash<TKey, QRectF>& cache = Remembered();
    if (const auto it = cache.constFind(Key); it != cache.constEnd())
        return *it;
    const QRectF result = Measure();
    if (cache.size() >= MaxRemembered)
        cache.clear();
    cache.insert(std::move(Key), result);
    return result;
}

} // namespace

QRectF TVxMeasuringSurface::MeasureString(const QString& Text, const TVxFontSpec& Font,
                                          const QRectF& Layout,
                                          const TVxStringFormat& Format) const {
    return Lookup(TKey{Text, Font, Layout, Format, FTextHint, false}, [&] {
        const QPaintDevice* device = MeasuringDevice();
        return MeasureText(Text, ToQFont(Font, FTextHint, device), Layout, Format, device);
    });
}

double TVxMeasuringSurface::GetFontHeight(const TVxFontSpec& Font) const {
    return Lookup(TKey{QString(), Font, QRectF(), TVxStringFormat(), FTextHint, true},
                  [&] {
                      const QPaintDevice* device = MeasuringDevice();
                      return QRectF(0, 0, 0,
                                    FontLineSpacing(ToQFont(Font, FTextHint, device), device));
                  })
        .height();
}
