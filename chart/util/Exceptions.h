#pragma once
// The chart library's exceptions. Every failure of the library is one of these and
// carries only its message text.

#include <QString>
#include <stdexcept>
#include <string>

/// The library's general exception: a message and nothing else.
class EVxException : public std::runtime_error {
public:
    explicit EVxException(const QString& Message) : std::runtime_error(Message.toStdString()) {}
    explicit EVxException(const std::string& Message) : std::runtime_error(Message) {}
    explicit EVxException(const char* Message) : std::runtime_error(Message) {}
    /// The message as shown to a person.
    QString Message() const { return QString::fromStdString(what()); }
};

/// An index outside the valid range ("i=%d index out of range").
class EVxRangeError : public EVxException {
public:
    using EVxException::EVxException;
    /// The standard message for index i.
    static EVxRangeError ForIndex(long long i) {
        return EVxRangeError("i=" + std::to_string(i) + " index out of range");
    }
};

/// A text that does not convert to a number, date or time span.
class EVxConvertError : public EVxException {
public:
    using EVxException::EVxException;
};

/// A failed computation (singular matrix, too few points, overflow raised on purpose).
class EVxMathError : public EVxException {
public:
    using EVxException::EVxException;
};

/// A stream that ends early or holds a malformed record.
class EVxStreamError : public EVxException {
public:
    using EVxException::EVxException;
};
