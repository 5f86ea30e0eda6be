#pragma once
// What the record fuzzers share: a graph of 100 x 100 pixels that axes and series join, the
// choice of container from the first byte, and the paint of what was read into an image.

#include "axes/Axis.h"
#include "axes/AxisHost.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "util/Exceptions.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <functional>

/// An axis host measuring labels roughly, as a graph would with a small font.
class TFuzzAxisHost : public TVxAxisHost {
public:
    double LabelFontSize(const TVxAxis&) const override { return 10; }
    QSizeF MeasureLabel(const TVxAxis&, const QString& Text) const override {
        return {6.0 * double(Text.size()), 12.0};
    }
    void AxisModified(TVxAxis&) override {}
};

/// Feeds Data[1..] to the reader of the container Data[0] picks: 0 a stream, 1 an XML
/// element (the document's first element), 2 an ini section "S". Errors are the expected
/// answer to bad input; false when there was no input.
inline bool ReadRecordFrom(const uint8_t* Data, size_t Size,
                           const std::function<void(QIODevice&)>& FromStream,
                           const std::function<void(pugi::xml_node)>& FromXml,
                           const std::function<void(const TVxIniFile&)>& FromIni) {
    if (Size == 0)
        return false;
    QByteArray bytes(reinterpret_cast<const char*>(Data + 1), qsizetype(Size - 1));
    try {
        switch (Data[0] % 3) {
        case 0: {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            FromStream(buffer);
            break;
        }
        case 1: {
            pugi::xml_document doc;
            LoadXmlDocument(doc, bytes);
            FromXml(doc.first_child());
            break;
        }
        default: {
            TVxIniFile ini;
            ini.LoadFromText(bytes);
            FromIni(ini);
            break;
        }
        }
    } catch (const EVxException&) {
    }
    return true;
}

/// A 100 x 100 image to paint what was read into.
inline QImage FuzzImage() {
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

inline void StartFuzzApplication(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    (void)app;
}
