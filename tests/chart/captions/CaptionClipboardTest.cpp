#include "captions/CaptionClipboard.h"

#include "CaptionTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(CaptionClipboard, MarkupTravelsWithItsPlainText) {
    const QString caption =
        u"T\\+2\\+ = <%Form1.Series1.Slope;0.00%>\r\\c[A=255, R=255, G=0, B=0]\u00B0C"_s;
    std::unique_ptr<QMimeData> data(CaptionToMimeData(caption));
    EXPECT_EQ(data->data(u"TVxCaptionEdit"_s), caption.toUtf8());
    EXPECT_EQ(data->text(), u"T2 = <%Form1.Series1.Slope;0.00%>\n\u00B0C"_s);
    EXPECT_EQ(CaptionFromMimeData(data.get()), caption);
}

TEST(CaptionClipboard, PlainTextIsEscapedAndOddDataRefused) {
    QMimeData plain;
    plain.setText(u"C:\\data <%x%>\r\nnext"_s);
    EXPECT_EQ(CaptionFromMimeData(&plain), u"C:\\\\data <%<%x%>%>\rnext"_s);

    QMimeData bad;
    bad.setData(u"TVxCaptionEdit"_s, QByteArray("a\xff\xfe", 3));
    EXPECT_EQ(CaptionFromMimeData(&bad), u"a\uFFFD\uFFFD"_s);

    QMimeData huge;
    huge.setText(QString(MaxClipboardCaption + 1, u'x'));
    EXPECT_EQ(CaptionFromMimeData(&huge), std::nullopt);

    QMimeData image;
    image.setData(u"image/png"_s, "x");
    EXPECT_EQ(CaptionFromMimeData(&image), std::nullopt);
    EXPECT_EQ(CaptionFromMimeData(nullptr), std::nullopt);
}

TEST(CaptionClipboard, SystemClipboardRoundTrip) {
    const QString caption = u"\\bBold\\b <%1+1%>"_s;
    CopyCaptionToClipboard(caption);
    EXPECT_EQ(PasteCaptionFromClipboard(), caption);
}

} // namespace
