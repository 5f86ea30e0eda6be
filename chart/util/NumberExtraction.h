#pragma once
// Taking numbers out of list-like texts ("1.5; NAN; 2", "3 -INF 4e-3"), as ini values
// store them. Numbers are read with std::from_chars, independent of any locale.
//
// ExtractFloat and ExtractInteger remove what they read from the front of the text; a
// list reader does the same work with a cursor, so reading a long list takes linear time.

#include <QString>
#include <QStringView>
#include <vector>

/// True for "+", "-" and "0".."9".
bool IsSignOrDigit(QChar c);
/// True for IsSignOrDigit characters and ".", "E", "e".
bool IsNumberChar(QChar c);

/// Removes what stands before the next number: a leading "E"/"e" not followed by a sign or
/// digit, then every character up to the next number character or [+-]NAN/INF word.
void SkipToNumber(QString& Text);

/// Reads the number at the front of Text (after SkipToNumber) and removes it, the one
/// character that ended it, and what stands before the next number. NAN, INF and their
/// signed forms are numbers. Raises EVxConvertError "Error during floating point number
/// extraction" when no number stands there (Text then keeps what was not skipped).
double ExtractFloat(QString& Text);

/// As ExtractFloat for a 32-bit integer, after removing everything that is not a sign or
/// digit; raises EVxConvertError "Error during integer extraction".
int ExtractInteger(QString& Text);

/// Reads the numbers of a text one after the other with a cursor; each read behaves as
/// ExtractFloat / ExtractInteger on the text that is left.
class TVxNumberListReader {
public:
    /// Reads from Text, which must outlive the reader.
    explicit TVxNumberListReader(QStringView Text) : FText(Text) {}

    /// True when no number is left (only separators, or nothing).
    bool AtEnd();
    /// True when no sign or digit is left (what ReadInteger needs).
    bool AtIntegerEnd();
    /// Reads the next float; raises as ExtractFloat does.
    double ReadFloat();
    /// Reads the next integer; raises as ExtractInteger does.
    int ReadInteger();

    /// Characters consumed so far.
    qsizetype Position() const { return FPos; }
    /// The text not consumed yet.
    QStringView Rest() const { return FText.mid(FPos); }

private:
    void SkipToNumber();

    QStringView FText;
    qsizetype FPos = 0;
};

/// Every float of a list text, in order; raises as ExtractFloat does.
std::vector<double> ReadFloatList(QStringView Text);
/// Every integer of a list text, in order; raises as ExtractInteger does.
std::vector<int> ReadIntegerList(QStringView Text);
