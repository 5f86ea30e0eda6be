#pragma once
// TVxRichLabel: a windowless label that shows one rich caption (markup and live placeholders),
// rotated by any angle and aligned within its rectangle. The graph that hosts it paints it in
// layer order like every other item. With AutoSize the label takes the size of its rotated text
// block; the block is anchored so that it lies inside the label and touches the edges its
// alignment names (the centre for MiddleCenter).
//
// The caption is measured once per change of caption, angle, alignment, font or shown variable
// (AdjustBounds), never while painting.

#include "annotations/ChartItem.h"
#include "captions/CaptionVariables.h"
#include "captions/RichCaption.h"
#include "drawing/Color.h"
#include "styles/VxFont.h"

class TVxRichLabel : public TVxChartItem, public TVxCaptionDependent {
    Q_OBJECT
    Q_PROPERTY(float Angle READ Angle WRITE SetAngle)
    Q_PROPERTY(int BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int TextAlign READ TextAlignOrdinal WRITE SetTextAlignOrdinal)
    Q_PROPERTY(TVxFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)

public:
    /// An empty auto-sized label, text TopLeft at 0 degrees in the host's font, colour
    /// "ControlText" on a transparent background.
    explicit TVxRichLabel(QObject* AOwner = nullptr);
    ~TVxRichLabel() override;

    /// Rotation in degrees counter-clockwise, kept within [0, 360); non-finite values are ignored.
    float Angle() const { return FCaptionRec.Angle; }
    void SetAngle(float Value);
    /// Fill of the label's rectangle; a fully transparent colour leaves it untouched.
    TVxColor BackColor() const { return FBackColor; }
    void SetBackColor(TVxColor Value);
    /// The text colour: the font's FillColor.
    TVxColor ForeColor() const { return FFont->FillColor(); }
    void SetForeColor(TVxColor Value);
    /// The caption in rich caption markup; trailing blanks are removed.
    QString Caption() const { return FCaptionRec.Caption; }
    void SetCaption(const QString& Value);
    /// Which point of the text block is anchored, and which edges of the label it touches.
    TVxContentAlignment TextAlign() const { return FCaptionRec.Align; }
    void SetTextAlign(TVxContentAlignment Value);
    /// The owned font; assigning copies into it and clears ParentFont.
    TVxFont* Font() const { return FFont; }
    void SetFont(TVxFont* Value);
    /// The label takes the size of its rotated text block.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    /// The font follows the host's font ("Font" property of the host widget).
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    /// A saved label holds its font only when it does not follow the host's.
    bool IsFontStored() const { return !FParentFont; }

    /// The caption's text without markup, placeholders expanded.
    QString PlainText() const { return FCaptionRec.FText; }
    /// The measured caption record (anchor at TextOffset()).
    const TVxRichCaptionRec& CaptionRec() const { return FCaptionRec; }
    /// Where the caption's anchor lies in the label's own pixels.
    QPointF TextOffset() const { return {FXOffs, FYOffs}; }

    /// Measures the caption (the label is the dependent of the variables it shows), sizes
    /// the label with AutoSize and places the anchor.
    void AdjustBounds();
    /// Fills the rectangle with BackColor and draws the caption.
    void PaintGr(TVxSurface& Gr) override;
    /// A variable the caption shows changed: measure again and repaint.
    void UpdateCaptionVariables() override;

protected:
    void BoundsChanged(bool Resized) override;
    void HostChanged() override;

private:
    int TextAlignOrdinal() const { return int(FCaptionRec.Align); }
    void SetTextAlignOrdinal(int Value);
    void FontChanged(bool Resize);
    void TakeParentFont();
    void PlaceAnchor();

    TVxRichCaptionRec FCaptionRec;
    TVxFont* FFont;
    TVxColor FBackColor;
    float FXOffs = 0;
    float FYOffs = 0;
    bool FAutoSize = true;
    bool FParentFont = true;
    bool FOnce = true;     // the first paint measures
    bool FSetting = false; // the label sets its own bounds or font
    bool FCaptionSet = false;
};
