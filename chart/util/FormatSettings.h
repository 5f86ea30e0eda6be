#pragma once
// The user's number, date and time conventions, taken from QLocale. Every function that
// writes or reads text for a person takes a TVxFormatSettings, so that tests (and programs
// that need a fixed layout, such as the logger's log line) can pass their own.
//
// Date and time patterns here use the library's own pattern letters (see DateTimeFormat.h):
// "/" stands for DateSeparator and ":" for TimeSeparator.

#include <QLocale>
#include <QString>
#include <array>

struct TVxFormatSettings {
    /// Decimal separator of numbers ("." or "," mostly).
    QString DecimalSeparator = ".";
    /// Digit group separator of numbers.
    QString ThousandSeparator = ",";
    /// What "/" in a date pattern writes.
    QString DateSeparator = "/";
    /// What ":" in a time pattern writes.
    QString TimeSeparator = ":";
    /// Short date pattern, for example "dd/mm/yyyy".
    QString ShortDateFormat = "mm/dd/yyyy";
    /// Long date pattern, for example "dddd, mmmm d, yyyy".
    QString LongDateFormat = "dddd, mmmm d, yyyy";
    /// Short time pattern, for example "hh:nn".
    QString ShortTimeFormat = "hh:nn";
    /// Long time pattern, for example "hh:nn:ss".
    QString LongTimeFormat = "hh:nn:ss";
    /// Morning designator written by "ampm".
    QString TimeAMString = "AM";
    /// Afternoon designator written by "ampm".
    QString TimePMString = "PM";
    /// Month names, January first.
    std::array<QString, 12> ShortMonthNames;
    std::array<QString, 12> LongMonthNames;
    /// Day names, Sunday first.
    std::array<QString, 7> ShortDayNames;
    std::array<QString, 7> LongDayNames;

    /// Fixed settings independent of the machine: decimal ".", time ":", date "-",
    /// English names, dates "yyyy/mm/dd" (written 2024-03-01) and times "hh:nn:ss".
    static TVxFormatSettings Invariant();
    /// The settings of a Qt locale (separators, patterns converted to the library's
    /// letters, names, designators).
    static TVxFormatSettings FromLocale(const QLocale& Locale);
    /// The process's settings: FromLocale(QLocale()) taken on first use, or what
    /// SetCurrent stored. Programs never change them while running.
    static const TVxFormatSettings& Current();
    /// Replaces the process's settings (call at start-up only: not thread-safe).
    static void SetCurrent(const TVxFormatSettings& Settings);

    /// Converts a Qt date/time pattern to the library's pattern letters, writing the
    /// given separators as "/" and ":".
    static QString PatternFromQt(const QString& QtPattern, const QString& ADateSeparator,
                                 const QString& ATimeSeparator);
};
