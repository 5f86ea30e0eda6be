#pragma once
// The inline markup of rich captions, split into tokens. Measuring and drawing both walk the
// same token list, so a caption is always drawn exactly as it was measured.
//
// Markup is a backslash and one lower-case character: "\b" bold, "\i" italic, "\u" underline,
// "\o" strike-out, "\+" superscript, "\-" subscript (each toggles), "\\" a backslash,
// "\c[A=a, R=r, G=g, B=b]" a text colour ("\c[]": the caption's own colour), "\f[name]" a
// font family ("\f[]": the caption font's family). A backslash before any other character is
// dropped and the character shown. Line breaks are CR, LF, CR LF, U+2028 and U+2029.
//
// The tokenizer never raises and reads nothing outside its text: "[...]" counts as the
// argument of "\c" or "\f" only when "[" follows directly and "]" comes within
// MaxMarkupArgument characters (otherwise "c" or "f" is shown as text), a trailing backslash
// is dropped, and a colour that does not read is ignored (the colour stays as it was).
// CheckCaptionMarkup reports those mistakes for caption editors.

#include "drawing/Color.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <vector>

/// What a markup token does.
enum class TVxMarkupKind : std::uint8_t {
    Run,         ///< Text: plain text drawn with the current style (never empty)
    LineBreak,   ///< the next line begins
    Bold,        ///< toggles bold
    Italic,      ///< toggles italic
    Underline,   ///< toggles underline
    StrikeOut,   ///< toggles strike-out
    SuperScript, ///< toggles superscript (switching subscript off first)
    SubScript,   ///< toggles subscript (switching superscript off first)
    Color,       ///< Color becomes the text colour
    ColorReset,  ///< the caption's own colour again
    Font,        ///< Text becomes the font family (empty: the caption font's family)
};

/// One token of a caption.
struct TVxMarkupToken {
    /// What the token does.
    TVxMarkupKind Kind = TVxMarkupKind::Run;
    /// The text of a run, or the family of a font change.
    QString Text;
    /// The colour of a colour change.
    TVxColor Color = 0;
    /// Equal tokens.
    bool operator==(const TVxMarkupToken&) const = default;
};

/// Longest argument of "\c[...]" or "\f[...]", brackets excluded.
inline constexpr int MaxMarkupArgument = 256;

/// The tokens of Text (placeholders already expanded). Adjacent text is merged into one run.
std::vector<TVxMarkupToken> TokenizeCaption(QStringView Text);

/// Text without its markup, lines separated by CR.
QString PlainCaptionText(QStringView Text);

/// The first markup mistake of Text, empty when there is none: a "\c" or "\f" without a
/// bracketed argument, a colour that does not read, a trailing backslash.
QString FindMarkupError(QStringView Text);
/// Raises EVxConvertError with FindMarkupError's message when Text has a markup mistake.
void CheckCaptionMarkup(QStringView Text);

/// The colour of the inside of "\c[...]": "A=a, R=r, G=g, B=b" (blanks around the parts
/// allowed), each value a 32-bit integer (decimal, or hexadecimal after "$" or "0x") reduced to
/// its low 8 bits; nullopt when it does not read.
std::optional<TVxColor> ParseMarkupColor(QStringView Text);

/// Text with every backslash, "<%" and "%>" escaped and line breaks as CR: a caption that shows
/// Text literally.
QString EscapeCaptionText(QStringView Text);
