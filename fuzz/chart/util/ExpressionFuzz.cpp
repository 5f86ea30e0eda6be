// Any text as an expression: it parses and evaluates to a number, or raises the library's
// exception; it never crashes, hangs, or runs out of stack. Registered variables and arrays
// of a container give the qualified-name paths something to find; a variable reading NaN
// and an array that raises for most indexes exercise the index checks.
#include "util/Exceptions.h"
#include "util/ExpressionParser.h"

#include <QObject>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

QObject* Container() {
    static QObject* form = [] {
        auto* f = new QObject;
        f->setObjectName("Form1");
        auto* series = new QObject(f);
        series->setObjectName("S");
        RegisterDoubleGetter("Slope", "", series, GlobalDoubleGetters(), [] { return 0.5; });
        RegisterDoubleGetter("Nan", "", series, GlobalDoubleGetters(),
                             [] { return std::numeric_limits<double>::quiet_NaN(); });
        RegisterDoubleArray("V", "", series, GlobalDoubleArrays(), [](int Idx) {
            if (Idx < 0 || Idx >= 4)
                throw EVxRangeError(EVxRangeError::ForIndex(Idx));
            return double(Idx);
        });
        return f;
    }();
    return form;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    Container();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(Data), qsizetype(Size));
    TVxFunctionParser parser;
    double x = 1.5;
    RegisterDoubleGetter("X", "", nullptr, parser.VariablesList, [&] { return x; });
    try {
        parser.SetExpression(text);
    } catch (const EVxException&) {
        return 0;
    }
    for (double value : {1.5, -2.0, 0.0}) {
        x = value;
        try {
            parser.Result();
        } catch (const EVxException&) {
        }
    }
    return 0;
}
