#pragma once
// Lets GoogleTest print QStrings as text in failure messages.

#include <QString>
#include <ostream>

inline void PrintTo(const QString& Text, std::ostream* Out) {
    *Out << '"' << Text.toStdString() << '"';
}
