#include "ExpressionParser.h"

#include "util/Exceptions.h"
#include "util/ExpressionFunctions.h"
#include "util/FormatSettings.h"
#include "util/InvariantText.h"

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <chrono>
#include <climits>
#include <cmath>
#include <random>
#include <string>

namespace {

using TOp = TVxFunctionParser::TOp;
using TInstruction = TVxFunctionParser::TInstruction;
using TProgram = TVxFunctionParser::TProgram;

const QString ParseErrorPrefix = QStringLiteral("Parsing error in function:\r");

[[noreturn]] void RaiseParseError(QStringView Text) {
    throw EVxMathError(ParseErrorPrefix + Text.toString());
}

[[noreturn]] void RaiseNestingError() {
    RaiseParseError(
        QStringLiteral("brackets nested deeper than %1 levels").arg(TVxFunctionParser::MaxNesting));
}

// One generator for the process, seeded once: parsers created in the same clock tick must
// not repeat each other's numbers.
double NextRandom() {
    static std::mt19937_64 engine = [] {
        std::random_device device;
        const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
        std::seed_seq seeds{std::uint64_t(device()), std::uint64_t(ticks)};
        return std::mt19937_64(seeds);
    }();
    return double(engine() >> 11) * 0x1.0p-53; // 53 random bits: 0 <= x < 1
}

// --- Floating-point errors --------------------------------------------------------------

// Runs Operation with clean exception flags and reports which of the error flags it raised;
// the caller's flags are restored. Used only after a result turned out non-finite, so the
// normal path pays nothing.
template <class Fn> int RaisedFlags(Fn&& Operation) {
    std::fexcept_t saved;
    std::fegetexceptflag(&saved, FE_ALL_EXCEPT);
    std::feclearexcept(FE_ALL_EXCEPT);
    Operation();
    const int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    std::fesetexceptflag(&saved, FE_ALL_EXCEPT);
    return raised;
}

[[noreturn]] void RaiseFloatError(int Flags, double Result) {
    if ((Flags & FE_INVALID) != 0 || ((Flags & FE_DIVBYZERO) == 0 && std::isnan(Result)))
        throw EVxMathError("Invalid floating point operation");
    if ((Flags & FE_DIVBYZERO) != 0)
        throw EVxMathError("Floating point division by zero");
    throw EVxMathError("Floating point overflow");
}

inline double ApplyBinary(TOp Op, double a, double b) {
    switch (Op) {
    case TOp::Add:
        return a + b;
    case TOp::Sub:
        return a - b;
    case TOp::Mul:
        return a * b;
    case TOp::Div:
        return a / b;
    default:
        return std::pow(a, b);
    }
}

// A non-finite result of finite operands is an error; non-finite operands (a variable that
// reads NaN) pass through.
void CheckBinary(TOp Op, double a, double b) {
    if (!std::isfinite(a) || !std::isfinite(b))
        return;
    volatile double va = a, vb = b, result = 0;
    const int flags = RaisedFlags([&] { result = ApplyBinary(Op, va, vb); });
    RaiseFloatError(flags, result);
}

void CheckCall(TVxOnePrmFunction Function, double a) {
    if (!std::isfinite(a))
        return;
    volatile double va = a, result = 0;
    const int flags = RaisedFlags([&] { result = Function(va); });
    RaiseFloatError(flags, result);
}

// Replaces the two top values by their result; returns the new top. One instance per
// operator, so that the evaluator dispatches once per step.
template <TOp Op> inline double* BinaryStep(double* Top) {
    const double b = Top[0];
    const double a = Top[-1];
    const double r = ApplyBinary(Op, a, b);
    if (!std::isfinite(r)) [[unlikely]]
        CheckBinary(Op, a, b);
    Top[-1] = r;
    return Top - 1;
}

double ReadArray(const TVxArrayValGetter& Array, double Index) {
    const double i = RoundHalfEven(Index);
    if (!(std::fabs(i) <= double(INT_MAX)))
        throw EVxRangeError("i=" + FloatToInvariantString(i) + " index out of range");
    return Array(int(i));
}

// --- Compiling ---------------------------------------------------------------------------

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Reads T as a whole number: digits with one optional decimal separator ("." or Separator)
// and at least one digit, then an optional exponent E[+-]digits. T is upper case.
bool TryNumber(QStringView T, QChar Separator, double& Value) {
    std::string buffer;
    buffer.reserve(std::size_t(T.size()) + 1);
    qsizetype i = 0;
    int digits = 0;
    buffer.push_back('0');
    while (i < T.size() && IsDigit(T[i])) {
        buffer.push_back(char(T[i++].unicode()));
        ++digits;
    }
    if (i < T.size() && (T[i] == u'.' || T[i] == Separator)) {
        ++i;
        buffer.push_back('.');
        while (i < T.size() && IsDigit(T[i])) {
            buffer.push_back(char(T[i++].unicode()));
            ++digits;
        }
        if (buffer.back() == '.')
            buffer.pop_back();
    }
    if (digits == 0)
        return false;
    if (i < T.size() && T[i] == u'E') {
        buffer.push_back('e');
        ++i;
        if (i < T.size() && (T[i] == u'+' || T[i] == u'-'))
            buffer.push_back(char(T[i++].unicode()));
        if (i == T.size() || !IsDigit(T[i]))
            return false;
        while (i < T.size() && IsDigit(T[i]))
            buffer.push_back(char(T[i++].unicode()));
    }
    if (i != T.size())
        return false;
    double value = 0;
    const auto [end, ec] = std::from_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (ec != std::errc() || end != buffer.data() + buffer.size() || !std::isfinite(value))
        return false;
    Value = value;
    return true;
}

enum class TLevel { Sum, Product, Power };

// The positions, left to right, where a piece of text splits into a left-associative chain
// of one operator level: its operators at bracket depth 0 that are not the first character;
// for sums and products also not directly after "^"; for sums also not the sign of a decimal
// exponent (after an "E" that follows a digit, at least the third character).
//
// Splitting at every such position at once gives the same tree as splitting repeatedly at
// the rightmost one, as the chain's left part keeps exactly the positions left of the split,
// but recursion then grows with bracket nesting only, not with the length of the chain.
std::vector<qsizetype> SplitPositions(QStringView T, TLevel Level) {
    const char16_t opA = Level == TLevel::Sum ? u'+' : Level == TLevel::Product ? u'*' : u'^';
    const char16_t opB = Level == TLevel::Sum ? u'-' : Level == TLevel::Product ? u'/' : u'^';
    std::vector<qsizetype> positions;
    int depth = 0;
    for (qsizetype i = T.size() - 1; i >= 0; --i) {
        const QChar c = T[i];
        if (c == u')')
            ++depth;
        else if (c == u'(')
            --depth;
        else if (depth == 0 && i > 0 && (c == opA || c == opB) &&
                 (Level == TLevel::Power || T[i - 1] != u'^') &&
                 !(Level == TLevel::Sum && i >= 2 && T[i - 1] == u'E' && IsDigit(T[i - 2])))
            positions.push_back(i);
    }
    std::reverse(positions.begin(), positions.end());
    return positions;
}

class TCompiler {
public:
    TCompiler(const TVxFunctionsList& Functions, const TVxDoubleGetterList& Variables,
              QObject* Owner, const QString& ArrayVariable)
        : FFunctions(Functions), FVariables(Variables), FOwner(Owner),
          FArrayVariable(ArrayVariable) {
        const QString& separator = TVxFormatSettings::Current().DecimalSeparator;
        if (separator.size() == 1)
            FSeparator = separator[0];
    }

    void ParseText(QStringView T, int Nesting) {
        // Sums, then products: left-associative chains.
        if (Chain(T, Nesting, TLevel::Sum) || Chain(T, Nesting, TLevel::Product))
            return;
        // A leading sign applies to the rest, powers included.
        if (!T.isEmpty() && (T[0] == u'+' || T[0] == u'-')) {
            ParseText(T.mid(1), Nesting);
            if (T[0] == u'-')
                Emit({TOp::Negate});
            return;
        }
        if (Chain(T, Nesting, TLevel::Power))
            return;
        if (const qsizetype open = T.indexOf(u'('); open >= 0) {
            const QStringView name = T.left(open);
            // The text between the first "(" and the last character.
            const QStringView inner = T.mid(open + 1, std::max<qsizetype>(0, T.size() - open - 2));
            if (!name.isEmpty())
                if (const TVxDoubleArrayRec* array = GlobalDoubleArrays().Find(name)) {
                    ParseText(inner, Deeper(Nesting));
                    AddDependent(array->Container, FOwner);
                    FProgram.Arrays.push_back(array->AArray);
                    Emit({TOp::Array, std::int32_t(FProgram.Arrays.size() - 1)});
                    return;
                }
            if (name.isEmpty()) {
                ParseText(inner, Deeper(Nesting));
                return;
            }
            const TVxFunctionRec* function = FFunctions.Find(name);
            if (function == nullptr)
                function = GlobalFunctions().Find(name);
            if (function != nullptr && function->AFunction != nullptr) {
                ParseText(inner, Deeper(Nesting));
                Emit({TOp::Call, 0, 0, function->AFunction});
                return;
            }
        }
        const TVxDoubleGetterRec* variable = FVariables.Find(T);
        const bool own = variable != nullptr;
        if (variable == nullptr)
            variable = GlobalDoubleGetters().Find(T);
        if (variable != nullptr && variable->AGetter) {
            AddDependent(variable->Container, FOwner);
            FProgram.Getters.push_back(variable->AGetter);
            FProgram.FreshGetters.push_back(own && T == u"RANDOM");
            const bool value = own && !FArrayVariable.isEmpty() && T == FArrayVariable;
            Emit({value ? TOp::Value : TOp::Getter, std::int32_t(FProgram.Getters.size() - 1)});
            return;
        }
        double value = 0;
        if (TryNumber(T, FSeparator, value)) {
            Emit({TOp::Constant, 0, value});
            return;
        }
        RaiseParseError(T);
    }

    TProgram Take() { return std::move(FProgram); }

private:
    static int Deeper(int Nesting) {
        if (Nesting >= TVxFunctionParser::MaxNesting)
            RaiseNestingError();
        return Nesting + 1;
    }

    bool Chain(QStringView T, int Nesting, TLevel Level) {
        const std::vector<qsizetype> positions = SplitPositions(T, Level);
        if (positions.empty())
            return false;
        ParseText(T.left(positions.front()), Nesting);
        for (std::size_t k = 0; k < positions.size(); ++k) {
            const qsizetype start = positions[k] + 1;
            const qsizetype end = k + 1 < positions.size() ? positions[k + 1] : T.size();
            ParseText(T.mid(start, end - start), Nesting);
            Emit({OperatorOf(T[positions[k]])});
        }
        return true;
    }

    static TOp OperatorOf(QChar c) {
        switch (c.unicode()) {
        case u'+':
            return TOp::Add;
        case u'-':
            return TOp::Sub;
        case u'*':
            return TOp::Mul;
        case u'/':
            return TOp::Div;
        default:
            return TOp::Pow;
        }
    }

    void Emit(TInstruction Instruction) {
        switch (Instruction.Op) {
        case TOp::Constant:
        case TOp::Getter:
        case TOp::Value:
            FProgram.StackDepth = std::max(FProgram.StackDepth, ++FDepth);
            break;
        case TOp::Add:
        case TOp::Sub:
        case TOp::Mul:
        case TOp::Div:
        case TOp::Pow:
            --FDepth;
            break;
        default:
            break;
        }
        FProgram.Code.push_back(Instruction);
    }

    const TVxFunctionsList& FFunctions;
    const TVxDoubleGetterList& FVariables;
    QObject* FOwner;
    const QString& FArrayVariable;
    QChar FSeparator = u'.';
    TProgram FProgram;
    int FDepth = 0;
};

// Raises the bracket errors, and the parse error for nesting the parser would refuse anyway
// (before any recursion, so a hostile text costs one pass).
void CheckBrackets(QStringView Text) {
    long long depth = 0, deepest = 0, opening = 0, closing = 0;
    for (const QChar c : Text) {
        if (c == u'(') {
            ++opening;
            deepest = std::max(deepest, ++depth);
        } else if (c == u')') {
            ++closing;
            --depth;
        }
    }
    if (opening > closing)
        throw EVxMathError(QStringLiteral("%1 closing brackets missing").arg(opening - closing));
    if (closing > opening)
        throw EVxMathError(QStringLiteral("%1 opening brackets missing").arg(closing - opening));
    if (deepest > TVxFunctionParser::MaxNesting)
        RaiseNestingError();
}

// Counts the evaluations in progress, also when one ends with an exception.
class TEvaluationGuard {
public:
    explicit TEvaluationGuard(int& Counter) : FCounter(Counter) { ++FCounter; }
    ~TEvaluationGuard() { --FCounter; }
    TEvaluationGuard(const TEvaluationGuard&) = delete;
    TEvaluationGuard& operator=(const TEvaluationGuard&) = delete;

private:
    int& FCounter;
};

// --- Evaluating over blocks of values -----------------------------------------------------

constexpr std::size_t BlockSize = 256;

// A value of the block stack: one value for the whole block, or one per value.
struct TSlot {
    bool Scalar = true;
    double Value = 0;
    double* Data = nullptr; // BlockSize values
};

// Every value is finite: x - x is 0 for finite x and NaN otherwise.
inline bool AllFinite(const double* Data, std::size_t N) {
    bool finite = true;
    for (std::size_t i = 0; i < N; ++i)
        finite &= Data[i] - Data[i] == 0;
    return finite;
}

// A = A op B over the block; false when a result is not finite.
template <TOp Op> bool BinaryBlock(TSlot& A, const TSlot& B, std::size_t N) {
    if (A.Scalar && B.Scalar) {
        A.Value = ApplyBinary(Op, A.Value, B.Value);
        return std::isfinite(A.Value);
    }
    double* r = A.Data;
    if (A.Scalar) {
        const double a = A.Value;
        for (std::size_t i = 0; i < N; ++i)
            r[i] = ApplyBinary(Op, a, B.Data[i]);
    } else if (B.Scalar) {
        const double b = B.Value;
        for (std::size_t i = 0; i < N; ++i)
            r[i] = ApplyBinary(Op, r[i], b);
    } else {
        for (std::size_t i = 0; i < N; ++i)
            r[i] = ApplyBinary(Op, r[i], B.Data[i]);
    }
    A.Scalar = false;
    return AllFinite(r, N);
}

} // namespace

double TVxFunctionParser::TProgram::Run(const double* Value) const {
    double small[64];
    std::vector<double> large;
    double* stack = small;
    if (StackDepth > 64) {
        large.resize(std::size_t(StackDepth));
        stack = large.data();
    }
    double* top = stack - 1; // the topmost value
    for (const TInstruction& in : Code) {
        switch (in.Op) {
        case TOp::Constant:
            *++top = in.Constant;
            break;
        case TOp::Getter:
            *++top = Getters[std::size_t(in.Slot)]();
            break;
        case TOp::Value:
            *++top = Value ? *Value : Getters[std::size_t(in.Slot)]();
            break;
        case TOp::Array:
            *top = ReadArray(Arrays[std::size_t(in.Slot)], *top);
            break;
        case TOp::Call: {
            const double a = *top;
            const double r = in.Function(a);
            if (!std::isfinite(r)) [[unlikely]]
                CheckCall(in.Function, a);
            *top = r;
            break;
        }
        case TOp::Negate:
            *top = -*top;
            break;
        case TOp::Add:
            top = BinaryStep<TOp::Add>(top);
            break;
        case TOp::Sub:
            top = BinaryStep<TOp::Sub>(top);
            break;
        case TOp::Mul:
            top = BinaryStep<TOp::Mul>(top);
            break;
        case TOp::Div:
            top = BinaryStep<TOp::Div>(top);
            break;
        case TOp::Pow:
            top = BinaryStep<TOp::Pow>(top);
            break;
        }
    }
    return *top;
}

TVxFunctionParser::TVxFunctionParser(QObject* AOwner) : FOwner(AOwner) {
    RegisterDoubleGetter("Pi", "Circle number, approximately 3.14159", nullptr, VariablesList,
                         [] { return 3.141592653589793; });
    RegisterDoubleGetter("e", "Base of natural logarithm, approximately 2.718282", nullptr,
                         VariablesList, [] { return 2.71828182845905; });
    RegisterDoubleGetter("Random", "Returns a random number within the range 0 <= X < 1", nullptr,
                         VariablesList, NextRandom);
    MarkResolved();
}

void TVxFunctionParser::MarkResolved() {
    FGeneration = RegistryGeneration();
    FFunctionsGeneration = FunctionsList.Generation();
    FVariablesGeneration = VariablesList.Generation();
}

TProgram TVxFunctionParser::Compile(const QString& Text) {
    const QString upper = Text.toUpper();
    CheckBrackets(upper);
    TCompiler compiler(FunctionsList, VariablesList, FOwner.data(), FArrayVariable);
    compiler.ParseText(upper, 0);
    return compiler.Take();
}

void TVxFunctionParser::SetExpression(const QString& Text) {
    QString text = Text;
    text.remove(u' ');
    text.replace(u'[', u'(');
    text.replace(u']', u')');
    if (text == FExpression)
        return;
    if (FEvaluating > 0)
        throw EVxMathError("Expression changed while being evaluated");
    // Text and program change together or not at all.
    TProgram program;
    if (!text.isEmpty())
        program = Compile(text);
    FExpression = std::move(text);
    FProgram = std::move(program);
    FResolveError.clear();
    MarkResolved();
}

void TVxFunctionParser::Resolve() {
    if (FEvaluating > 0)
        throw EVxMathError("Expression changed while being evaluated");
    FProgram = {};
    FResolveError.clear();
    if (!FExpression.isEmpty()) {
        try {
            FProgram = Compile(FExpression);
        } catch (const EVxException& e) {
            FResolveError = e.Message();
        }
    }
    MarkResolved();
}

double TVxFunctionParser::Result() {
    if (IsStale()) [[unlikely]]
        Resolve();
    if (FProgram.IsEmpty())
        throw EVxMathError(FResolveError.isEmpty() ? QStringLiteral("No valid expression defined")
                                                   : FResolveError);
    const TEvaluationGuard guard(FEvaluating);
    return FProgram.Run();
}

void TVxFunctionParser::SetArrayVariable(const QString& Name) {
    const QString name = Name.toUpper();
    if (name == FArrayVariable)
        return;
    FArrayVariable = name;
    Resolve();
}

bool TVxFunctionParser::RunBlock(const double* Values, double* Results, int Count) {
    const TProgram& program = FProgram;
    const std::size_t n = std::size_t(Count);
    const std::size_t depth = std::size_t(std::max(program.StackDepth, 1));
    if (FBlocks.size() < depth * BlockSize)
        FBlocks.resize(depth * BlockSize);
    TSlot small[64];
    std::vector<TSlot> large;
    TSlot* stack = small;
    if (depth > 64) {
        large.resize(depth);
        stack = large.data();
    }
    for (std::size_t k = 0; k < depth; ++k)
        stack[k].Data = FBlocks.data() + k * BlockSize;
    TSlot* top = stack - 1;
    try {
        for (const TInstruction& in : program.Code) {
            bool finite = true;
            switch (in.Op) {
            case TOp::Constant:
                ++top;
                top->Scalar = true;
                top->Value = in.Constant;
                break;
            case TOp::Getter: {
                ++top;
                const TVxDoubleGetter& getter = program.Getters[std::size_t(in.Slot)];
                top->Scalar = !program.FreshGetters[std::size_t(in.Slot)];
                if (top->Scalar) {
                    top->Value = getter();
                    finite = std::isfinite(top->Value);
                } else {
                    for (std::size_t i = 0; i < n; ++i)
                        top->Data[i] = getter();
                    finite = AllFinite(top->Data, n);
                }
                break;
            }
            case TOp::Value:
                ++top;
                top->Scalar = false;
                std::copy_n(Values, n, top->Data);
                finite = AllFinite(top->Data, n);
                break;
            case TOp::Array: {
                const TVxArrayValGetter& array = program.Arrays[std::size_t(in.Slot)];
                if (top->Scalar) {
                    top->Value = ReadArray(array, top->Value);
                    finite = std::isfinite(top->Value);
                } else {
                    for (std::size_t i = 0; i < n; ++i)
                        top->Data[i] = ReadArray(array, top->Data[i]);
                    finite = AllFinite(top->Data, n);
                }
                break;
            }
            case TOp::Call:
                if (top->Scalar) {
                    top->Value = in.Function(top->Value);
                    finite = std::isfinite(top->Value);
                } else {
                    for (std::size_t i = 0; i < n; ++i)
                        top->Data[i] = in.Function(top->Data[i]);
                    finite = AllFinite(top->Data, n);
                }
                break;
            case TOp::Negate:
                if (top->Scalar) {
                    top->Value = -top->Value;
                } else {
                    for (std::size_t i = 0; i < n; ++i)
                        top->Data[i] = -top->Data[i];
                }
                break;
            case TOp::Add:
                finite = BinaryBlock<TOp::Add>(top[-1], top[0], n);
                --top;
                break;
            case TOp::Sub:
                finite = BinaryBlock<TOp::Sub>(top[-1], top[0], n);
                --top;
                break;
            case TOp::Mul:
                finite = BinaryBlock<TOp::Mul>(top[-1], top[0], n);
                --top;
                break;
            case TOp::Div:
                finite = BinaryBlock<TOp::Div>(top[-1], top[0], n);
                --top;
                break;
            case TOp::Pow:
                finite = BinaryBlock<TOp::Pow>(top[-1], top[0], n);
                --top;
                break;
            }
            // A value that is not finite may be an error, raised value by value and in the
            // order Result meets it; so may anything a variable raises.
            if (!finite)
                return false;
        }
    } catch (const std::exception&) {
        return false;
    }
    if (top->Scalar)
        std::fill_n(Results, n, top->Value);
    else
        std::copy_n(top->Data, n, Results);
    return true;
}

void TVxFunctionParser::ResultArray(std::span<const double> Values, std::span<double> Results) {
    if (IsStale()) [[unlikely]]
        Resolve();
    if (FProgram.IsEmpty())
        throw EVxMathError(FResolveError.isEmpty() ? QStringLiteral("No valid expression defined")
                                                   : FResolveError);
    const TEvaluationGuard guard(FEvaluating);
    const std::size_t count = std::min(Values.size(), Results.size());
    for (std::size_t start = 0; start < count; start += BlockSize) {
        const std::size_t n = std::min(BlockSize, count - start);
        if (RunBlock(Values.data() + start, Results.data() + start, int(n)))
            continue;
        for (std::size_t i = start; i < start + n; ++i)
            Results[i] = FProgram.Run(&Values[i]);
    }
}
