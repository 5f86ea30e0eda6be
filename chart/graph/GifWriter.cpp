#include "graph/GifWriter.h"

#include "util/Exceptions.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <cstdint>
#include <gif_lib.h>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

/// A colour as it goes into the table: 0 for transparent, else opaque RGB with alpha 0xFF.
std::uint32_t Key(QRgb Pixel) {
    const int a = qAlpha(Pixel);
    if (a == 0)
        return 0;
    if (a == 255)
        return Pixel;
    // Non-premultiplied ARGB composed onto white.
    const auto over = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
    return qRgb(over(qRed(Pixel)), over(qGreen(Pixel)), over(qBlue(Pixel)));
}

int WriteToArray(GifFileType* File, const GifByteType* Data, int Length) {
    static_cast<QByteArray*>(File->UserData)->append(reinterpret_cast<const char*>(Data), Length);
    return Length;
}

[[noreturn]] void Fail(const char* What, int Error) {
    const char* reason = GifErrorString(Error);
    throw EVxException(
        QStringLiteral("GIF encoder: %1 failed (%2)")
            .arg(QLatin1String(What), reason ? QString::fromUtf8(reason) : QString::number(Error)));
}

/// A reduced colour table and the entry of every colour of the image.
struct TReduction {
    std::vector<GifColorType> Table;
    std::unordered_map<std::uint32_t, GifByteType> Index;
};

int Channel(std::uint32_t Rgb, int C) {
    return int((Rgb >> (16 - 8 * C)) & 0xFF);
}

/// Median cut: the box of colours with the widest channel range is split at the pixel
/// median of that channel until there are 255 boxes (one entry stays free for the
/// transparent index); each box's entry is the pixel-weighted mean of its colours.
TReduction MedianCut(const QImage& Argb) {
    struct TColour {
        std::uint32_t Rgb;
        std::uint32_t Pixels;
    };
    std::unordered_map<std::uint32_t, std::uint32_t> counts;
    for (int y = 0; y < Argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(Argb.constScanLine(y));
        for (int x = 0; x < Argb.width(); ++x)
            if (const std::uint32_t key = Key(row[x]); key != 0)
                ++counts[key];
    }
    TReduction reduction;
    if (counts.empty())
        return reduction;
    std::vector<TColour> colours;
    colours.reserve(counts.size());
    for (const auto& [rgb, pixels] : counts)
        colours.push_back({rgb, pixels});

    struct TBox {
        std::size_t Begin, End;
        int Widest, Extent;
    };
    const auto measure = [&colours](std::size_t Begin, std::size_t End) {
        int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
        for (std::size_t i = Begin; i < End; ++i)
            for (int c = 0; c < 3; ++c) {
                lo[c] = std::min(lo[c], Channel(colours[i].Rgb, c));
                hi[c] = std::max(hi[c], Channel(colours[i].Rgb, c));
            }
        TBox box{Begin, End, 0, -1};
        for (int c = 0; c < 3; ++c)
            if (hi[c] - lo[c] > box.Extent) {
                box.Extent = hi[c] - lo[c];
                box.Widest = c;
            }
        return box;
    };
    std::vector<TBox> boxes{measure(0, colours.size())};
    while (boxes.size() < 255) {
        std::size_t pick = boxes.size();
        for (std::size_t i = 0; i < boxes.size(); ++i)
            if (boxes[i].End - boxes[i].Begin >= 2 &&
                (pick == boxes.size() || boxes[i].Extent > boxes[pick].Extent))
                pick = i;
        if (pick == boxes.size())
            break;
        const TBox box = boxes[pick];
        const int c = box.Widest;
        std::sort(colours.begin() + std::ptrdiff_t(box.Begin),
                  colours.begin() + std::ptrdiff_t(box.End),
                  [c](const TColour& A, const TColour& B) {
                      return Channel(A.Rgb, c) < Channel(B.Rgb, c);
                  });
        std::uint64_t total = 0;
        for (std::size_t i = box.Begin; i < box.End; ++i)
            total += colours[i].Pixels;
        std::uint64_t below = 0;
        std::size_t split = box.Begin + 1;
        for (std::size_t i = box.Begin; i + 1 < box.End; ++i) {
            below += colours[i].Pixels;
            split = i + 1;
            if (2 * below >= total)
                break;
        }
        boxes[pick] = measure(box.Begin, split);
        boxes.push_back(measure(split, box.End));
    }

    reduction.Index.reserve(colours.size());
    for (const TBox& box : boxes) {
        std::uint64_t sum[3] = {0, 0, 0}, pixels = 0;
        for (std::size_t i = box.Begin; i < box.End; ++i) {
            for (int c = 0; c < 3; ++c)
                sum[c] += std::uint64_t(Channel(colours[i].Rgb, c)) * colours[i].Pixels;
            pixels += colours[i].Pixels;
            reduction.Index.emplace(colours[i].Rgb, GifByteType(reduction.Table.size()));
        }
        const auto mean = [&](int c) { return GifByteType((sum[c] + pixels / 2) / pixels); };
        reduction.Table.push_back({mean(0), mean(1), mean(2)});
    }
    return reduction;
}

struct TGifCloser {
    void operator()(GifFileType* File) const {
        int error = 0;
        EGifCloseFile(File, &error);
    }
};

struct TMapFreer {
    void operator()(ColorMapObject* Map) const { GifFreeMapObject(Map); }
};

int BitsFor(int Colors) {
    int bits = 1;
    while ((1 << bits) < Colors)
        ++bits;
    return bits;
}

} // namespace

QByteArray EncodeGif(const QImage& Image, TVxGifPalette* Palette) {
    const QImage argb = Image.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width();
    const int h = argb.height();
    if (w <= 0 || h <= 0 || w > 65535 || h > 65535)
        throw EVxException(QStringLiteral("GIF encoder: an image of %1 x %2 pixels cannot be "
                                          "stored (1 to 65535 pixels each way)")
                               .arg(w)
                               .arg(h));
    const std::size_t count = std::size_t(w) * std::size_t(h);
    std::vector<GifByteType> indices(count);
    std::array<GifColorType, 256> table{};
    int colours = 0;
    int transparent = -1;

    // First the exact table: each distinct colour in order of appearance.
    std::unordered_map<std::uint32_t, int> seen;
    seen.reserve(512);
    bool exact = true;
    std::uint32_t lastKey = 1; // no key is 1: alpha is 0 or 0xFF
    int lastIndex = 0;
    for (int y = 0; y < h && exact; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        GifByteType* out = indices.data() + std::size_t(y) * std::size_t(w);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t key = Key(row[x]);
            if (key != lastKey) {
                const auto it = seen.find(key);
                if (it != seen.end()) {
                    lastIndex = it->second;
                } else if (colours == 256) {
                    exact = false;
                    break;
                } else {
                    lastIndex = colours++;
                    seen.emplace(key, lastIndex);
                    if (key == 0)
                        transparent = lastIndex;
                    table[std::size_t(lastIndex)] = {
                        GifByteType(qRed(key)), GifByteType(qGreen(key)), GifByteType(qBlue(key))};
                }
                lastKey = key;
            }
            out[x] = GifByteType(lastIndex);
        }
    }

    if (!exact) {
        const TReduction reduction = MedianCut(argb);
        colours = int(reduction.Table.size());
        std::copy(reduction.Table.begin(), reduction.Table.end(), table.begin());
        transparent = -1;
        for (int y = 0; y < h; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            GifByteType* out = indices.data() + std::size_t(y) * std::size_t(w);
            for (int x = 0; x < w; ++x) {
                const std::uint32_t key = Key(row[x]);
                if (key == 0) {
                    if (transparent < 0) {
                        transparent = colours++;
                        table[std::size_t(transparent)] = {255, 255, 255};
                    }
                    out[x] = GifByteType(transparent);
                } else {
                    out[x] = reduction.Index.at(key);
                }
            }
        }
    }
    if (Palette)
        *Palette = exact ? TVxGifPalette::Exact : TVxGifPalette::MedianCut;

    const int bits = BitsFor(std::max(colours, 2));
    std::unique_ptr<ColorMapObject, TMapFreer> map(GifMakeMapObject(1 << bits, nullptr));
    if (!map)
        throw EVxException(QStringLiteral("GIF encoder: out of memory"));
    for (int i = 0; i < colours; ++i)
        map->Colors[i] = table[std::size_t(i)];

    QByteArray bytes;
    int error = 0;
    std::unique_ptr<GifFileType, TGifCloser> file(EGifOpen(&bytes, WriteToArray, &error));
    if (!file)
        Fail("opening", error);
    EGifSetGifVersion(file.get(), true);
    if (EGifPutScreenDesc(file.get(), w, h, bits, 0, map.get()) == GIF_ERROR)
        Fail("the screen descriptor", file->Error);
    if (transparent >= 0) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.UserInputFlag = false;
        control.DelayTime = 0;
        control.TransparentColor = transparent;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(file.get(), GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_ERROR)
            Fail("the transparency extension", file->Error);
    }
    if (EGifPutImageDesc(file.get(), 0, 0, w, h, false, nullptr) == GIF_ERROR)
        Fail("the image descriptor", file->Error);
    for (int y = 0; y < h; ++y)
        if (EGifPutLine(file.get(), indices.data() + std::size_t(y) * std::size_t(w), w) ==
            GIF_ERROR)
            Fail("writing a line", file->Error);
    GifFileType* raw = file.release();
    if (EGifCloseFile(raw, &error) == GIF_ERROR)
        Fail("closing", error);
    return bytes;
}
