#include "captions/CaptionMarkup.h"

#include "drawing/ColorText.h"
#include "util/Exceptions.h"

#include <QList>

namespace {

bool IsLineBreak(QChar c) {
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// Where the "]" closing an argument that starts at From lies, or -1 when there is no "[" at
// From or no "]" within MaxMarkupArgument characters after it.
qsizetype ArgumentEnd(QStringView Text, qsizetype From) {
    if (From >= Text.size() || Text[From] != u'[')
        return -1;
    const qsizetype last = std::min(Text.size(), From + 1 + MaxMarkupArgument + 1);
    for (qsizetype i = From + 1; i < last; ++i)
        if (Text[i] == u']')
            return i;
    return -1;
}

// Walks Text once; Emit receives the tokens, Error the first mistake (if asked for).
class TTokenizer {
public:
    TTokenizer(QStringView Text, std::vector<TVxMarkupToken>* Tokens, QString* Error)
        : FText(Text), FTokens(Tokens), FError(Error) {}

    void Run() {
        const qsizetype n = FText.size();
        qsizetype i = 0;
        while (i < n) {
            const QChar c = FText[i];
            if (IsLineBreak(c)) {
                Flush();
                Add(TVxMarkupKind::LineBreak);
                i += (c == u'\r' && i + 1 < n && FText[i + 1] == u'\n') ? 2 : 1;
                continue;
            }
            if (c != u'\\') {
                // Copy the stretch up to the next backslash or line break in one piece.
                qsizetype j = i + 1;
                while (j < n && FText[j] != u'\\' && !IsLineBreak(FText[j]))
                    ++j;
                FRun.append(FText.mid(i, j - i));
                i = j;
                continue;
            }
            if (i + 1 >= n) {
                Fail(QStringLiteral("The caption ends in a backslash"));
                break;
            }
            const QChar k = FText[i + 1];
            i += 2;
            switch (k.unicode()) {
            case u'b':
                Style(TVxMarkupKind::Bold);
                break;
            case u'i':
                Style(TVxMarkupKind::Italic);
                break;
            case u'u':
                Style(TVxMarkupKind::Underline);
                break;
            case u'o':
                Style(TVxMarkupKind::StrikeOut);
                break;
            case u'+':
                Style(TVxMarkupKind::SuperScript);
                break;
            case u'-':
                Style(TVxMarkupKind::SubScript);
                break;
            case u'c':
            case u'f': {
                const qsizetype end = ArgumentEnd(FText, i);
                if (end < 0) {
                    Fail(QStringLiteral("\\%1 needs a bracketed argument").arg(k));
                    FRun.append(k);
                    break;
                }
                const QStringView argument = FText.mid(i + 1, end - i - 1);
                i = end + 1;
                if (k == u'f') {
                    Flush();
                    Add(TVxMarkupKind::Font, argument.trimmed().toString());
                } else if (argument.trimmed().isEmpty()) {
                    Flush();
                    Add(TVxMarkupKind::ColorReset);
                } else if (const auto color = ParseMarkupColor(argument)) {
                    Flush();
                    Add(TVxMarkupKind::Color, {}, *color);
                } else {
                    Fail(QStringLiteral("Invalid colour in caption: ") + argument.toString());
                }
                break;
            }
            default:
                // "\\" and a backslash before any other character: the character as text.
                FRun.append(k);
                break;
            }
        }
        Flush();
    }

private:
    void Add(TVxMarkupKind Kind, QString Text = {}, TVxColor Color = 0) {
        if (FTokens)
            FTokens->push_back({Kind, std::move(Text), Color});
    }
    void Style(TVxMarkupKind Kind) {
        Flush();
        Add(Kind);
    }
    void Flush() {
        if (FRun.isEmpty())
            return;
        Add(TVxMarkupKind::Run, FRun);
        FRun.clear();
    }
    void Fail(const QString& Message) {
        if (FError && FError->isEmpty())
            *FError = Message;
    }

    QStringView FText;
    std::vector<TVxMarkupToken>* FTokens;
    QString* FError;
    QString FRun;
};

} // namespace

std::vector<TVxMarkupToken> TokenizeCaption(QStringView Text) {
    std::vector<TVxMarkupToken> tokens;
    TTokenizer(Text, &tokens, nullptr).Run();
    return tokens;
}

QString PlainCaptionText(QStringView Text) {
    QString plain;
    for (const TVxMarkupToken& t : TokenizeCaption(Text)) {
        if (t.Kind == TVxMarkupKind::Run)
            plain += t.Text;
        else if (t.Kind == TVxMarkupKind::LineBreak)
            plain += u'\r';
    }
    return plain;
}

QString FindMarkupError(QStringView Text) {
    QString error;
    TTokenizer(Text, nullptr, &error).Run();
    return error;
}

void CheckCaptionMarkup(QStringView Text) {
    const QString error = FindMarkupError(Text);
    if (!error.isEmpty())
        throw EVxConvertError(error);
}

std::optional<TVxColor> ParseMarkupColor(QStringView Text) {
    static constexpr char16_t Names[4] = {u'A', u'R', u'G', u'B'};
    const auto parts = Text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    std::uint8_t channel[4] = {};
    for (int k = 0; k < 4; ++k) {
        const QStringView part = parts[k].trimmed();
        if (part.size() < 2 || part[0] != QChar(Names[k]) || part[1] != u'=')
            return std::nullopt;
        const auto value = ParseColorInteger(part.mid(2).toString());
        if (!value)
            return std::nullopt;
        channel[k] = std::uint8_t(std::uint32_t(*value) & 0xFFu);
    }
    return MakeColor(channel[0], channel[1], channel[2], channel[3]);
}

QString EscapeCaptionText(QStringView Text) {
    QString out;
    out.reserve(Text.size() + 8);
    const qsizetype n = Text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = Text[i];
        if (c == u'\\') {
            out += QStringLiteral("\\\\");
        } else if (c == u'<' && i + 1 < n && Text[i + 1] == u'%') {
            out += QStringLiteral("<%<%");
            ++i;
        } else if (c == u'%' && i + 1 < n && Text[i + 1] == u'>') {
            out += QStringLiteral("%>%>");
            ++i;
        } else if (c == u'\r' || c == u'\n' || c == QChar::LineSeparator ||
                   c == QChar::ParagraphSeparator) {
            out += u'\r';
            if (c == u'\r' && i + 1 < n && Text[i + 1] == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}
