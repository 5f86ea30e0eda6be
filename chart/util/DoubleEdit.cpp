#include "DoubleEdit.h"

#include "util/DateTime.h"
#include "util/DateTimeFormat.h"
#include "util/EventGuard.h"
#include "util/Exceptions.h"
#include "util/NumberText.h"
#include "util/TimeSpan.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QStyle>
#include <cmath>

namespace {

std::function<void()>& BeepHandler() {
    static std::function<void()> handler;
    return handler;
}

// A date pattern with every two-digit year made four digits, so that the text reads back
// to the same century.
// The characters a date-time pattern writes as they stand: quoted text and what is
// neither a letter nor a separator placeholder ("時", "분", "." in "yy. m. d.").
QString LiteralCharacters(const QString& Pattern) {
    QString out;
    QChar quote;
    for (const QChar c : Pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                out += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (!c.isLetter() && c != u'/' && c != u':') {
            out += c;
        }
    }
    return out;
}

QString WithFourDigitYears(const QString& Pattern) {
    QString out;
    QChar quote;
    for (qsizetype i = 0; i < Pattern.size();) {
        const QChar c = Pattern[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            out += c;
            ++i;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            out += c;
            ++i;
            continue;
        }
        if (c == u'y' || c == u'Y') {
            qsizetype run = 0;
            while (i + run < Pattern.size() && Pattern[i + run].toLower() == u'y')
                ++run;
            out += QStringLiteral("yyyy");
            i += run;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

const QString Hashes(45, u'#');

} // namespace

TVxCustomDoubleEdit::TVxCustomDoubleEdit(QWidget* Parent)
    : QLineEdit(Parent), FSettings(TVxFormatSettings::Current()),
      FLink(std::make_unique<TVxPropertyLinks>(this, "Value")) {
    FSetting = true;
    setText(QStringLiteral("0"));
    FSetting = false;
    FLastValid = QStringLiteral("0");
    connect(this, &QLineEdit::textChanged, this, &TVxCustomDoubleEdit::TextChangedByUser);
}

TVxCustomDoubleEdit::~TVxCustomDoubleEdit() = default;

void TVxCustomDoubleEdit::SetBeepHandler(std::function<void()> Handler) {
    BeepHandler() = std::move(Handler);
}

void TVxCustomDoubleEdit::Beep() {
    if (BeepHandler())
        BeepHandler()();
    else
        QApplication::beep();
}

// Date-time values are compared on the continuous time line: the raw value is not
// monotonic before 1899.
double TVxCustomDoubleEdit::Ordered(double x) const {
    return FAsDateTime ? ContinuousTime(x) : x;
}

bool TVxCustomDoubleEdit::LimitsActive() const {
    return Ordered(FMaxValue) > Ordered(FMinValue);
}

double TVxCustomDoubleEdit::Clamp(double x) const {
    if (LimitsActive()) {
        if (!(Ordered(x) >= Ordered(FMinValue)))
            x = FMinValue;
        else if (Ordered(x) > Ordered(FMaxValue))
            x = FMaxValue;
    }
    if (FAsDateTime) {
        if (Ordered(x) < MinDateTime)
            x = MinDateTime;
        else if (Ordered(x) > MaxDateTime)
            x = MaxDateTime;
    }
    return x;
}

void TVxCustomDoubleEdit::BringLimitsIntoDateTimeRange() {
    if (!FAsDateTime)
        return;
    auto bring = [](double x) {
        if (!(ContinuousTime(x) >= MinDateTime))
            return MinDateTime;
        return ContinuousTime(x) > MaxDateTime ? MaxDateTime : x;
    };
    FMinValue = bring(FMinValue);
    FMaxValue = bring(FMaxValue);
}

bool TVxCustomDoubleEdit::ParseText(const QString& Text, double& Value) const {
    double parsed = 0;
    if (FAsDateTime) {
        if (!TryTextToDateTime(Text, parsed, FSettings))
            return false;
    } else if (FAsTimeSpan) {
        if (!TryTextToTimeSpan(Text, parsed, FSettings) || parsed < 0)
            return false;
    } else if (!TryTextToFloat(Text, parsed, FSettings) || !std::isfinite(parsed)) {
        return false;
    }
    Value = parsed;
    return true;
}

QString TVxCustomDoubleEdit::TextForm(double x) const {
    if (FAsDateTime) {
        QString time = FSettings.LongTimeFormat;
        if (DecodeDateTime(x).MilliSecond != 0) {
            const qsizetype seconds = time.indexOf(QStringLiteral("ss"), 0, Qt::CaseInsensitive);
            if (seconds >= 0)
                time.insert(seconds + 2,
                            u'"' + FSettings.DecimalSeparator + QStringLiteral("\"zzz"));
        }
        return FormatDateTime(WithFourDigitYears(FSettings.ShortDateFormat) + u' ' + time, x,
                              FSettings);
    }
    if (FAsTimeSpan)
        return TimeSpanToText(x, FSettings);
    // The text to edit reads back to exactly the value.
    return FloatToText(x, FSettings);
}

QString TVxCustomDoubleEdit::DisplayForm(double x) const {
    if (FAsDateTime)
        return DateTimeToText(x, FSettings);
    if (FAsTimeSpan)
        return TimeSpanToText(x, FSettings);
    if (!FFormat.isEmpty())
        return FormatFloat(FFormat, x, FSettings);
    if (FDigits >= 0)
        return FloatToFixedText(x, FDigits, FSettings.DecimalSeparator);
    return FloatToGeneralText(x, 15, FSettings.DecimalSeparator);
}

QString TVxCustomDoubleEdit::FittedForm() const {
    try {
        const QFontMetrics metrics(font());
        const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        const int available = width() - frame - 5;
        const QString text = DisplayForm(FValue);
        if (FAsDateTime || FAsTimeSpan)
            return FDoHashes && metrics.horizontalAdvance(text) > available ? Hashes : text;
        if (metrics.horizontalAdvance(text) <= available + 2)
            return text;
        for (int digits = 18; digits >= 2; --digits) {
            const QString shorter = FloatToLimitedText(digits, FValue, FSettings);
            if (metrics.horizontalAdvance(shorter) <= available + 2)
                return shorter;
        }
        return FDoHashes ? Hashes : text;
    } catch (const EVxException&) {
        return QStringLiteral("Error");
    }
}

void TVxCustomDoubleEdit::SetTextSilently(const QString& Text) {
    const bool setting = FSetting;
    FSetting = true;
    setText(Text);
    FSetting = setting;
}

void TVxCustomDoubleEdit::ShowFitted() {
    if (hasFocus())
        return;
    SetTextSilently(FittedForm());
    setCursorPosition(0);
}

void TVxCustomDoubleEdit::ValueChangedNotify() {
    if (OnValueChanged)
        OnValueChanged(this);
    emit ValueChanged(FValue);
}

void TVxCustomDoubleEdit::SetValue(double x) {
    FValue = Clamp(x);
    FSetting = true;
    try {
        FLastValid = TextForm(FValue);
    } catch (const EVxException&) {
        FLastValid = QStringLiteral("Error");
    }
    setText(FLastValid);
    if (!hasFocus()) {
        ShowFitted();
        FNeedSelectAll = true;
    }
    FSetting = false;
    FTextEdited = false;
    ValueChangedNotify();
    FLink->SetLink(FValue);
}

void TVxCustomDoubleEdit::SetMinValue(double x) {
    if (!(x < FMinValue || x > FMinValue))
        return;
    FMinValue = x;
    BringLimitsIntoDateTimeRange();
    SetValue(FValue);
}

void TVxCustomDoubleEdit::SetMaxValue(double x) {
    if (!(x < FMaxValue || x > FMaxValue))
        return;
    FMaxValue = x;
    BringLimitsIntoDateTimeRange();
    SetValue(FValue);
}

void TVxCustomDoubleEdit::SetAsDateTime(bool b) {
    if (b == FAsDateTime)
        return;
    FAsDateTime = b;
    if (b)
        FAsTimeSpan = false;
    BringLimitsIntoDateTimeRange();
    SetValue(FValue);
}

void TVxCustomDoubleEdit::SetAsTimeSpan(bool b) {
    if (b == FAsTimeSpan)
        return;
    FAsTimeSpan = b;
    if (b)
        FAsDateTime = false;
    SetValue(FValue);
}

void TVxCustomDoubleEdit::SetDoHashes(bool b) {
    if (b == FDoHashes)
        return;
    FDoHashes = b;
    ShowFitted();
}

void TVxCustomDoubleEdit::SetFormat(const QString& s) {
    if (s == FFormat)
        return;
    FFormat = s;
    ShowFitted();
}

void TVxCustomDoubleEdit::SetFormatSettings(const TVxFormatSettings& Settings) {
    FSettings = Settings;
    try {
        FLastValid = TextForm(FValue);
    } catch (const EVxException&) {
        FLastValid = QStringLiteral("Error");
    }
    if (hasFocus())
        SetTextSilently(FLastValid);
    else
        ShowFitted();
}

void TVxCustomDoubleEdit::Loaded() {
    FLink->Modified();
    FLink->CheckLink();
}

void TVxCustomDoubleEdit::TextChangedByUser(const QString& Text) {
    GuardEvent([&] {
        if (FSetting)
            return;
        FTextEdited = true;
        double parsed = 0;
        if (Text.isEmpty() || !ParseText(Text, parsed))
            return;
        if (LimitsActive() &&
            !(Ordered(FMinValue) <= Ordered(parsed) && Ordered(parsed) <= Ordered(FMaxValue)))
            return;
        FLastValid = Text;
        FValue = parsed;
        ValueChangedNotify();
        FLink->SetLink(FValue);
    });
}

void TVxCustomDoubleEdit::Validate() {
    // Only typed text is validated: the shown texts may be rounded (fitted digits, dates
    // to the second), and merely passing through the box must not change the value.
    if (!FTextEdited)
        return;
    FTextEdited = false;
    double parsed = 0;
    if (!ParseText(text(), parsed)) {
        // A typed change that cannot be taken is never dropped silently: the old text
        // comes back with a beep.
        SetTextSilently(FLastValid);
        Beep();
        return;
    }
    const double result = Clamp(parsed);
    if (result == FValue)
        return;
    try {
        FLastValid = TextForm(result);
    } catch (const EVxException&) {
        FLastValid = QStringLiteral("Error");
    }
    SetTextSilently(FLastValid);
    FValue = result;
    Beep();
    ValueChangedNotify();
    // The links get the clamped value too; otherwise the idle watch would copy the typed
    // in-range value back from the first link.
    FLink->SetLink(FValue);
}

bool TVxCustomDoubleEdit::AllowedCharacter(QChar c) const {
    static const QString always = QStringLiteral("+-0123456789Ee.");
    if (always.contains(c) || FSettings.DecimalSeparator.contains(c))
        return true;
    if (!FAsDateTime && !FAsTimeSpan)
        return false;
    return c == u' ' || FSettings.DateSeparator.contains(c) ||
           FSettings.TimeSeparator.contains(c) || FSettings.TimeAMString.contains(c) ||
           FSettings.TimePMString.contains(c) ||
           (FAsDateTime && (LiteralCharacters(FSettings.ShortDateFormat).contains(c) ||
                            LiteralCharacters(FSettings.LongTimeFormat).contains(c) ||
                            LiteralCharacters(FSettings.ShortTimeFormat).contains(c)));
}

void TVxCustomDoubleEdit::keyPressEvent(QKeyEvent* Event) {
    GuardEvent([&] {
        if (Event->matches(QKeySequence::SelectAll) || Event->matches(QKeySequence::Copy) ||
            Event->matches(QKeySequence::Paste) || Event->matches(QKeySequence::Cut) ||
            Event->matches(QKeySequence::Undo) || Event->matches(QKeySequence::Redo)) {
            QLineEdit::keyPressEvent(Event);
            return;
        }
        const int key = Event->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Validate();
            if (OnDblClick)
                OnDblClick(this);
            Beep();
            Event->accept();
            return;
        }
        const QString text = Event->text();
        if (text.isEmpty() || key == Qt::Key_Backspace || key == Qt::Key_Delete) {
            QLineEdit::keyPressEvent(Event); // movement and deletion keys
            return;
        }
        const bool shortcut =
            Event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!shortcut && text.size() == 1 && AllowedCharacter(text[0])) {
            QLineEdit::keyPressEvent(Event);
            FLastCursorPos = cursorPosition();
            return;
        }
        Beep();
        Event->accept();
    });
}

void TVxCustomDoubleEdit::focusInEvent(QFocusEvent* Event) {
    GuardEvent([&] {
        QLineEdit::focusInEvent(Event);
        SetTextSilently(FLastValid);
        FTextEdited = false;
        if (FLastCursorPos > 0 || FLastSelLength > 0) {
            if (FLastSelLength > 0)
                setSelection(FLastCursorPos, FLastSelLength);
            else
                setCursorPosition(FLastCursorPos);
        }
        if (FNeedSelectAll) {
            selectAll();
            FNeedSelectAll = false;
        }
    });
}

void TVxCustomDoubleEdit::focusOutEvent(QFocusEvent* Event) {
    GuardEvent([&] {
        FLastCursorPos = hasSelectedText() ? selectionStart() : cursorPosition();
        FLastSelLength = int(selectedText().size());
        QLineEdit::focusOutEvent(Event);
        Validate();
        ShowFitted();
        setCursorPosition(0);
    });
}

void TVxCustomDoubleEdit::resizeEvent(QResizeEvent* Event) {
    GuardEvent([&] {
        QLineEdit::resizeEvent(Event);
        ShowFitted();
    });
}

void TVxCustomDoubleEdit::mouseDoubleClickEvent(QMouseEvent* Event) {
    GuardEvent([&] {
        QLineEdit::mouseDoubleClickEvent(Event);
        if (OnDblClick)
            OnDblClick(this);
    });
}
