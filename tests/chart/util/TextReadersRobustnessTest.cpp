// Every text reader of the helpers gets random texts made of the characters that matter to
// it: each call either succeeds or raises the conversion error, and never reads outside
// its text (the sanitizer build checks that).
#include "util/DateTimeFormat.h"
#include "util/Exceptions.h"
#include "util/InvariantText.h"
#include "util/NumberExtraction.h"
#include "util/NumberText.h"
#include "util/TimeSpan.h"

#include <gtest/gtest.h>
#include <random>

namespace {

QString RandomText(std::mt19937& Random, const QString& Alphabet, int MaxLength) {
    std::uniform_int_distribution<int> length(0, MaxLength);
    std::uniform_int_distribution<qsizetype> pick(0, Alphabet.size() - 1);
    QString text;
    for (int n = length(Random); n > 0; --n)
        text += Alphabet[pick(Random)];
    return text;
}

} // namespace

TEST(TextReadersRobustnessTest, RandomTextsSucceedOrRaiseTheConversionError) {
    const QString alphabet = QStringLiteral("0123456789+-.,:;/ eEnNaAiIfFxPM\t");
    const TVxFormatSettings settings[] = {TVxFormatSettings::Invariant(),
                                          TVxFormatSettings::FromLocale(QLocale(QLocale::German))};
    std::mt19937 random(99);
    for (int i = 0; i < 20000; ++i) {
        const QString text = RandomText(random, alphabet, 24);
        const TVxFormatSettings& s = settings[i % 2];
        double value = 0;
        TryInvariantTextToFloat(text, value);
        TryTextToFloat(text, value, s);
        TryTextToTimeSpan(text, value, s);
        TryTextToDateTime(text, value, s);
        try {
            ReadFloatList(text);
        } catch (const EVxConvertError&) {
        }
        try {
            ReadIntegerList(text);
        } catch (const EVxConvertError&) {
        }
        QString rest = text;
        try {
            while (!rest.isEmpty()) {
                const qsizetype before = rest.size();
                ExtractFloat(rest);
                ASSERT_LT(rest.size(), before) << text.toStdString();
            }
        } catch (const EVxConvertError&) {
        }
    }
}
