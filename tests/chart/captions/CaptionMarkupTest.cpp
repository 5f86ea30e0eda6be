#include "captions/CaptionMarkup.h"

#include "CaptionTestSupport.h"
#include "util/Exceptions.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using K = TVxMarkupKind;

TVxMarkupToken Text(const QString& Text) {
    return {K::Run, Text, 0};
}
TVxMarkupToken Mark(K Kind) {
    return {Kind, {}, 0};
}

std::string Describe(const std::vector<TVxMarkupToken>& Tokens) {
    std::string s;
    for (const auto& t : Tokens)
        s += std::to_string(int(t.Kind)) + ":" + t.Text.toStdString() + ":" +
             std::to_string(std::uint32_t(t.Color)) + " ";
    return s;
}

struct TTokenCase {
    QString Text;
    std::vector<TVxMarkupToken> Tokens;
};

TEST(CaptionMarkup, TokenTable) {
    const QString longArgument(MaxMarkupArgument + 1, u'x');
    const QString fitArgument(MaxMarkupArgument, u'x');
    const std::vector<TTokenCase> cases = {
        {u"x\\+2\\+ + y\\-i\\-"_s,
         {Text("x"), Mark(K::SuperScript), Text("2"), Mark(K::SuperScript), Text(" + y"),
          Mark(K::SubScript), Text("i"), Mark(K::SubScript)}},
        {u"\\\\"_s, {Text("\\")}},
        {u"a\\\\b"_s, {Text("a\\b")}},
        {u"\\q"_s, {Text("q")}},
        {u"\\B"_s, {Text("B")}},
        {u"a\\"_s, {Text("a")}},
        {u"\\"_s, {}},
        {u""_s, {}},
        {u"\\bB\\b\\iI\\i\\uU\\u\\oO"_s,
         {Mark(K::Bold), Text("B"), Mark(K::Bold), Mark(K::Italic), Text("I"), Mark(K::Italic),
          Mark(K::Underline), Text("U"), Mark(K::Underline), Mark(K::StrikeOut), Text("O")}},
        {u"a\rb"_s, {Text("a"), Mark(K::LineBreak), Text("b")}},
        {u"a\r\nb"_s, {Text("a"), Mark(K::LineBreak), Text("b")}},
        {u"a\nb\u2028"_s, {Text("a"), Mark(K::LineBreak), Text("b"), Mark(K::LineBreak)}},
        {u"\r\r"_s, {Mark(K::LineBreak), Mark(K::LineBreak)}},
        {u"\\c[A=255, R=1, G=2, B=3]x\\c[]y"_s,
         {{K::Color, {}, MakeColor(255, 1, 2, 3)}, Text("x"), Mark(K::ColorReset), Text("y")}},
        // Values are reduced to their low 8 bits; hexadecimal and blanks are accepted.
        {u"\\c[ A=256 ,R=-1, G=0x1FF, B=$10 ]x"_s,
         {{K::Color, {}, MakeColor(0, 255, 255, 16)}, Text("x")}},
        // Colours that do not read are ignored; the text goes on.
        {u"a\\c[A=99999999999, R=0, G=0, B=0]b"_s, {Text("ab")}},
        {u"a\\c[red]b"_s, {Text("ab")}},
        {u"a\\c[A=1, R=2, G=3]b"_s, {Text("ab")}},
        {u"a\\c[A=1, R=2, G=3, B=4, X=5]b"_s, {Text("ab")}},
        // Without a bracket right after it, or a "]" close enough, the letter is text.
        {u"\\cabc]"_s, {Text("cabc]")}},
        {u"\\f x]"_s, {Text("f x]")}},
        {u"\\c["_s, {Text("c[")}},
        {u"\\c["_s + longArgument + u"]"_s, {Text(u"c["_s + longArgument + u"]"_s)}},
        {u"\\f["_s + fitArgument + u"]a"_s, {{K::Font, fitArgument, 0}, Text("a")}},
        {u"\\f[DejaVu Serif]a\\f[]b"_s,
         {{K::Font, u"DejaVu Serif"_s, 0}, Text("a"), Mark(K::Font), Text("b")}},
    };
    for (const TTokenCase& c : cases)
        EXPECT_EQ(TokenizeCaption(c.Text), c.Tokens)
            << c.Text.toStdString() << " gave " << Describe(TokenizeCaption(c.Text));
}

TEST(CaptionMarkup, PlainTextDropsMarkupAndKeepsLines) {
    EXPECT_EQ(PlainCaptionText(u"x\\+2\\+\r\\b y\\\\\\c[]z"), u"x2\r y\\z"_s);
}

TEST(CaptionMarkup, MistakesAreFoundForEditors) {
    struct TCase {
        QString Text;
        bool Bad;
    };
    const std::vector<TCase> cases = {
        {u"plain \\b bold\\b \\c[A=255, R=0, G=0, B=0]x\\c[]\\f[Arial]y\\f[]"_s, false},
        {u"\\q\\\\"_s, false},
        {u"ends in \\"_s, true},
        {u"\\c no bracket"_s, true},
        {u"\\f[never closed"_s, true},
        {u"\\c[A=1, R=2, G=3, B=x]"_s, true},
        {u"\\c[A=4294967296, R=0, G=0, B=0]"_s, true},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(!FindMarkupError(c.Text).isEmpty(), c.Bad) << c.Text.toStdString();
        if (c.Bad)
            EXPECT_THROW(CheckCaptionMarkup(c.Text), EVxConvertError);
        else
            EXPECT_NO_THROW(CheckCaptionMarkup(c.Text));
    }
}

} // namespace
