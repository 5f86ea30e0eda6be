#pragma once
// The locales that round-trip tests run in: a decimal comma (de_DE), a 12-hour clock with
// the marker after the time (en_US), "." as the time separator (fi_FI), time formats with
// literal text (ja_JP) and a 12-hour marker before the hour with literal text (ko_KR),
// plus the library's fixed invariant settings.

#include "util/FormatSettings.h"

#include <QLocale>
#include <QString>
#include <clocale>
#include <string>

/// Names of the round-trip locales; "invariant" stands for TVxFormatSettings::Invariant().
inline const char* const RoundTripLocales[] = {"invariant", "de_DE", "en_US",
                                               "fi_FI",     "ja_JP", "ko_KR"};

/// The format settings of one round-trip locale.
inline TVxFormatSettings RoundTripSettings(const char* Name) {
    if (std::string(Name) == "invariant")
        return TVxFormatSettings::Invariant();
    return TVxFormatSettings::FromLocale(QLocale(QString::fromLatin1(Name)));
}

/// Switches Qt's default locale and, where the machine has it, the C locale to one of the
/// round-trip locales, as a desktop session in that language would; restores both.
class TLocaleSwitch {
public:
    explicit TLocaleSwitch(const char* Name) : FOldC(std::setlocale(LC_ALL, nullptr)) {
        if (std::string(Name) == "invariant")
            return;
        const std::string utf8 = std::string(Name) + ".UTF-8";
        CActive = std::setlocale(LC_ALL, utf8.c_str()) != nullptr;
        QLocale::setDefault(QLocale(QString::fromLatin1(Name)));
    }
    ~TLocaleSwitch() {
        std::setlocale(LC_ALL, FOldC.c_str());
        QLocale::setDefault(QLocale::c());
    }
    TLocaleSwitch(const TLocaleSwitch&) = delete;
    TLocaleSwitch& operator=(const TLocaleSwitch&) = delete;

    /// True when the C library's locale really switched (scripts/setup.sh generates them).
    bool CActive = false;

private:
    std::string FOldC;
};
