#pragma once
// Rich captions: a text with inline markup (CaptionMarkup.h) and placeholders between "<%"
// and "%>" (CaptionVariables.h), measured and drawn rotated and aligned on a drawing surface.
//
// A TVxRichCaptionRec holds one caption with its anchor, alignment, angle and base font.
// ParseForSize expands the placeholders, splits the text into markup tokens and measures every
// run; PaintGr draws the very same tokens at the measured positions, so drawing always matches
// the measured block. Neither raises, whatever the caption holds.
//
// Text is measured with the surface's metrics at 96 dpi. The width of a run is
// w("I" + run + "I") - w("II") in the default string layout, which keeps leading and trailing
// blanks; every line gets the default layout's padding (FRightAdj) once, and runs are drawn
// that half-padding in from the line's start, with the top of the line at the run's top.

#include "captions/CaptionMarkup.h"
#include "drawing/Surface.h"
#include "styles/VxFont.h"

#include <QPointer>
#include <QString>
#include <vector>

/// A caption text with markup and placeholders.
using TVxRichCaption = QString;

/// Which point of a text block lies at its anchor (streamed as values 0 to 8).
enum class TVxContentAlignment {
    TopLeft,      ///< top left corner
    TopCenter,    ///< middle of the top edge
    TopRight,     ///< top right corner
    MiddleLeft,   ///< middle of the left edge
    MiddleCenter, ///< centre
    MiddleRight,  ///< middle of the right edge
    BottomLeft,   ///< bottom left corner
    BottomCenter, ///< middle of the bottom edge
    BottomRight,  ///< bottom right corner
};

/// Smallest and largest font size, in points, a caption is measured and drawn with; sizes
/// outside (and NaN) are brought into this range (0 or less and NaN become 1).
inline constexpr double MinCaptionFontSize = 1;
inline constexpr double MaxCaptionFontSize = 1000;

/// Size of superscript and subscript relative to the caption font.
inline constexpr double ScriptSizeFactor = 0.66;

struct TVxRichCaptionRec {
    /// The plain text (markup and placeholders removed, lines separated by CR), set by
    /// ParseForSize.
    QString FText;
    /// Current font family while parsing or drawing.
    QString FFontName;
    /// Current style while parsing or drawing.
    bool FBold = false, FItalic = false, FUnderline = false, FStrikeOut = false;
    bool FSuperScript = false, FSubScript = false;
    /// The style as font-style bits: bold 1, italic 2, underline 4, strike-out 8.
    int FStyle = 0;
    /// The current surface font while parsing or drawing.
    TVxFontSpec FFont;
    /// The padding the default string layout adds to a measured line.
    float FRightAdj = 0;
    /// The laid-out block size in pixels: widest line, line count times line height.
    float FWidth = 0, FHeight = 0;
    /// Current font size in points.
    float FSize = 0;
    /// The caption after placeholder expansion.
    TVxRichCaption FCaptionWithVars;
    /// Width of each line (empty until measured).
    std::vector<float> FLineWidth;
    /// Rotation in degrees, counter-clockwise on the screen, about the anchor.
    float Angle = 0;
    /// The anchor point on the surface.
    float X = 0, Y = 0;
    /// Which point of the block lies at the anchor.
    TVxContentAlignment Align = TVxContentAlignment::TopLeft;
    /// The caption to show.
    TVxRichCaption Caption;
    /// The base font (not owned; none: Arial 8 points, black).
    QPointer<TVxFont> Font;
    /// When non-zero, replaces the font's FillColor as the caption's colour.
    TVxColor FColorOverride = 0;

    /// FColorOverride when it is non-zero, else the font's FillColor.
    TVxColor CaptionColor() const;
    /// The width of ForString as a run in the current font FFont.
    double GetWidth(const QString& ForString, const TVxSurface& Gr) const;
    /// Expands the placeholders with Owner as the dependent, splits the markup and measures
    /// the block (FWidth, FHeight, FLineWidth, FText).
    void ParseForSize(TVxSurface& Gr, QObject* Owner = nullptr);
    /// Draws the caption at X, Y with Angle and Align; measures first when never measured.
    /// The surface's transform, clip, smoothing and text hint are as before afterwards.
    void PaintGr(TVxSurface& Gr);
    /// Where the block's top-left corner lies relative to the anchor, before rotation.
    QPointF BlockOffset() const;
    /// The markup tokens of FCaptionWithVars (set by ParseForSize).
    const std::vector<TVxMarkupToken>& Tokens() const { return FTokens; }
    /// The measured width of each token (runs; 0 for the others).
    const std::vector<float>& TokenWidths() const { return FTokenWidth; }

private:
    struct TBase;
    TBase BaseFont() const;
    void ResetStyle(const TBase& Base);
    void CreateFont(const TBase& Base);
    template <class TDrawRun> void WalkRuns(const TBase& Base, double LineHeight, TDrawRun&& Draw);

    std::vector<TVxMarkupToken> FTokens;
    std::vector<float> FTokenWidth;
    double FLineHeight = 0; // measured line height: drawing spaces lines as measured
};

/// A growable list of caption records (number labels of an axis, legend items).
class TVxRichCaptionRecVector {
public:
    /// An empty list growing by 20.
    TVxRichCaptionRecVector() = default;
    /// An empty list growing by NewCount (20 when NewCount is not above 0).
    explicit TVxRichCaptionRecVector(int NewCount) : FIncrement(NewCount > 0 ? NewCount : 20) {}

    /// Appends Rec; returns the new count.
    int Add(const TVxRichCaptionRec& Rec);
    /// Count 0; the storage is kept.
    void Clear() { FCount = 0; }
    /// Removes record Pos, moving later ones down; ignored at or beyond the count.
    void Delete(int Pos);
    /// A copy of record i; raises EVxRangeError "i=%d index out of range" outside the list.
    TVxRichCaptionRec GetValue(int i) const;
    /// Stores Rec at i, growing the list to i + 1 when needed (ignored for i < 0).
    void SetValue(int i, const TVxRichCaptionRec& Rec);
    /// Record i for changing in place; raises like GetValue.
    TVxRichCaptionRec& Items(int i);
    /// Number of records.
    int Count() const { return FCount; }
    /// Sets count and capacity to exactly Value (0 for negative values).
    void SetCount(int Value);
    /// Capacity as reported: grows in steps of the increment.
    int Capacity() const { return FCapacity; }
    /// The growth step.
    int Increment() const { return FIncrement; }

private:
    void Reserve(int Needed);

    int FCount = 0;
    int FCapacity = 0;
    int FIncrement = 20;
    std::vector<TVxRichCaptionRec> FArray;
};
