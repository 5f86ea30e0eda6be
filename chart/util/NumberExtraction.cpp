#include "NumberExtraction.h"

#include "util/Exceptions.h"
#include "util/NumberScan.h"

namespace {

const char16_t* Chars(QStringView Text) {
    return reinterpret_cast<const char16_t*>(Text.data());
}

// A signed or unsigned NAN/INF word at Pos.
bool AtSpecialWord(QStringView Text, qsizetype Pos) {
    const char16_t* p = Chars(Text) + Pos;
    const char16_t* end = Chars(Text) + Text.size();
    if (p != end && (*p == u'+' || *p == u'-'))
        ++p;
    return VxNumberScan::SpecialWordLength(p, end) != 0;
}

} // namespace

bool IsSignOrDigit(QChar c) {
    const char16_t u = c.unicode();
    return u == u'+' || u == u'-' || (u >= u'0' && u <= u'9');
}

bool IsNumberChar(QChar c) {
    const char16_t u = c.unicode();
    return IsSignOrDigit(c) || u == u'.' || u == u'E' || u == u'e';
}

void TVxNumberListReader::SkipToNumber() {
    const qsizetype size = FText.size();
    if (size - FPos > 1 && (FText[FPos] == u'E' || FText[FPos] == u'e') &&
        !IsSignOrDigit(FText[FPos + 1]))
        ++FPos;
    while (FPos < size && !IsNumberChar(FText[FPos]) && !AtSpecialWord(FText, FPos))
        ++FPos;
}

bool TVxNumberListReader::AtEnd() {
    SkipToNumber();
    return FPos >= FText.size();
}

bool TVxNumberListReader::AtIntegerEnd() {
    while (FPos < FText.size() && !IsSignOrDigit(FText[FPos]))
        ++FPos;
    return FPos >= FText.size();
}

double TVxNumberListReader::ReadFloat() {
    SkipToNumber();
    const char16_t* begin = Chars(FText) + FPos;
    const char16_t* end = Chars(FText) + FText.size();
    double value = 0;
    std::size_t length = 0;
    if (VxNumberScan::ScanFloat(begin, end, value, length) != VxNumberScan::TScanResult::Ok)
        throw EVxConvertError("Error during floating point number extraction");
    FPos += qsizetype(length);
    // The character that ended a number goes with it; a NAN or INF word ends by itself.
    const bool word = !VxNumberScan::IsDigit(begin[length - 1]) && begin[length - 1] != u'.';
    if (FPos < FText.size() && !word)
        ++FPos;
    SkipToNumber();
    return value;
}

int TVxNumberListReader::ReadInteger() {
    AtIntegerEnd();
    const char16_t* begin = Chars(FText) + FPos;
    const char16_t* end = Chars(FText) + FText.size();
    int value = 0;
    std::size_t length = 0;
    if (VxNumberScan::ScanInteger(begin, end, value, length) != VxNumberScan::TScanResult::Ok)
        throw EVxConvertError("Error during integer extraction");
    FPos += qsizetype(length);
    if (FPos < FText.size())
        ++FPos;
    SkipToNumber();
    return value;
}

void SkipToNumber(QString& Text) {
    TVxNumberListReader reader(Text);
    reader.AtEnd();
    Text.remove(0, reader.Position());
}

double ExtractFloat(QString& Text) {
    TVxNumberListReader reader(Text);
    try {
        const double value = reader.ReadFloat();
        Text.remove(0, reader.Position());
        return value;
    } catch (const EVxConvertError&) {
        Text.remove(0, reader.Position());
        throw;
    }
}

int ExtractInteger(QString& Text) {
    TVxNumberListReader reader(Text);
    try {
        const int value = reader.ReadInteger();
        Text.remove(0, reader.Position());
        return value;
    } catch (const EVxConvertError&) {
        Text.remove(0, reader.Position());
        throw;
    }
}

std::vector<double> ReadFloatList(QStringView Text) {
    std::vector<double> values;
    TVxNumberListReader reader(Text);
    while (!reader.AtEnd())
        values.push_back(reader.ReadFloat());
    return values;
}

std::vector<int> ReadIntegerList(QStringView Text) {
    std::vector<int> values;
    TVxNumberListReader reader(Text);
    while (!reader.AtIntegerEnd())
        values.push_back(reader.ReadInteger());
    return values;
}
