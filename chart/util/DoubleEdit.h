#pragma once
// TVxDoubleEdit: a line edit that holds a double Value within optional limits. It filters
// keystrokes, takes every valid in-range text as the new value while the user types, and
// on leaving the box (or on Enter) clamps what was typed into the limits with a beep.
// Without the focus it shows the value fitted to its width (fewer significant digits, or
// a row of "#"). AsDateTime and AsTimeSpan make it edit a TDateTime or a span of days.
// PropertyLinks bind Value to properties of other components (util/PropertyLinks.h).
//
// Number, date and time texts follow the edit's TVxFormatSettings (the process's locale
// unless SetFormatSettings says otherwise).

#include "util/FormatSettings.h"
#include "util/PropertyLinks.h"

#include <QLineEdit>
#include <QStringList>
#include <functional>
#include <memory>

class TVxCustomDoubleEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_PROPERTY(double MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(double MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(bool AsDateTime READ AsDateTime WRITE SetAsDateTime)
    Q_PROPERTY(bool AsTimeSpan READ AsTimeSpan WRITE SetAsTimeSpan)
    Q_PROPERTY(bool DoHashes READ DoHashes WRITE SetDoHashes)
    Q_PROPERTY(QString Format READ Format WRITE SetFormat)
    Q_PROPERTY(QStringList PropertyLinks READ PropertyLinkItems WRITE SetPropertyLinkItems)

public:
    /// A handler told about the edit (value changes, double clicks, Enter).
    using TNotifyEvent = std::function<void(TVxCustomDoubleEdit*)>;

    explicit TVxCustomDoubleEdit(QWidget* Parent = nullptr);
    ~TVxCustomDoubleEdit() override;

    /// The value (clamped into the limits when set).
    double Value() const { return FValue; }
    /// Clamps x, stores it, shows it, calls OnValueChanged and writes the links.
    void SetValue(double x);
    /// The lower limit (limits apply only when MaxValue > MinValue).
    double MinValue() const { return FMinValue; }
    void SetMinValue(double x);
    /// The upper limit.
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double x);
    /// The value is a TDateTime (setting true clears AsTimeSpan).
    bool AsDateTime() const { return FAsDateTime; }
    void SetAsDateTime(bool b);
    /// The value is a span of days (setting true clears AsDateTime).
    bool AsTimeSpan() const { return FAsTimeSpan; }
    void SetAsTimeSpan(bool b);
    /// Show "#" characters when the value does not fit.
    bool DoHashes() const { return FDoHashes; }
    void SetDoHashes(bool b);
    /// Number pattern for the number mode (FormatFloat); empty: general text.
    QString Format() const { return FFormat; }
    void SetFormat(const QString& s);
    /// The link paths.
    QStringList PropertyLinkItems() const { return FLink->Items(); }
    void SetPropertyLinkItems(const QStringList& Items) { FLink->SetItems(Items); }
    /// The property links bound to "Value".
    TVxPropertyLinks& PropertyLinks() { return *FLink; }

    /// The conventions of the texts (separators, date and time patterns, designators).
    const TVxFormatSettings& FormatSettings() const { return FSettings; }
    void SetFormatSettings(const TVxFormatSettings& Settings);
    /// The last text that was accepted (what the box shows when it gets the focus).
    const QString& LastValid() const { return FLastValid; }
    /// Called after the edit was loaded from its form: refreshes and checks the links.
    void Loaded();

    /// Replaces the beep of every edit (empty: the system's beep). Tests observe it here.
    static void SetBeepHandler(std::function<void()> Handler);

    /// Called whenever Value is set or taken from the text.
    TNotifyEvent OnValueChanged;
    /// Called on a double click and when Enter is pressed.
    TNotifyEvent OnDblClick;

signals:
    /// Emitted with OnValueChanged.
    void ValueChanged(double Value);

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;

private:
    double Clamp(double x) const;
    double Ordered(double x) const;
    bool LimitsActive() const;
    void BringLimitsIntoDateTimeRange();
    bool ParseText(const QString& Text, double& Value) const;
    QString TextForm(double x) const;
    QString DisplayForm(double x) const;
    QString FittedForm() const;
    void ShowFitted();
    void SetTextSilently(const QString& Text);
    void TextChangedByUser(const QString& Text);
    void Validate();
    bool AllowedCharacter(QChar c) const;
    void ValueChangedNotify();
    static void Beep();

    double FMinValue = 0;
    double FMaxValue = 0;
    double FValue = 0;
    int FLastCursorPos = 0;
    int FLastSelLength = 0;
    int FDigits = -1;
    bool FSetting = false;
    bool FNeedSelectAll = false;
    bool FAsDateTime = false;
    bool FAsTimeSpan = false;
    bool FDoHashes = true;
    bool FTextEdited = false;
    QString FLastValid;
    QString FFormat;
    TVxFormatSettings FSettings;
    std::unique_ptr<TVxPropertyLinks> FLink;
};

/// The numeric edit control with its published properties.
class TVxDoubleEdit : public TVxCustomDoubleEdit {
    Q_OBJECT

public:
    using TVxCustomDoubleEdit::TVxCustomDoubleEdit;
};
