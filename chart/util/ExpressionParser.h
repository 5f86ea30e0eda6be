#pragma once
// Arithmetic expressions of captions and fit formulas: "a*Exp(b*x)+c", "Sin[Pi/2]",
// "Form1.Graph1.Series1.Slope*2", "Form1.Data.Values(3)".
//
// Grammar: sums of products of signed powers of primaries. A primary is a number ("." or the
// user's decimal separator, optional exponent "1.5E-3"), a variable (possibly qualified), a
// one-argument function call Name(expression), an indexed variable Name(expression) or a
// parenthesised expression. "[" "]" count as "(" ")", letter case and blanks are ignored.
// Operators of one level associate to the left, also "^" (2^3^2 = 64); a leading sign
// applies to the whole power (-2^2 = -4); a sign may follow "^" (2^-1) but not "*" or "/"
// (2*-3 is an error, write 2*(-3)).
//
// Names resolve, at parse time, against the parser's own FunctionsList, then
// GlobalFunctions, and the parser's VariablesList (Pi, e, Random and whatever its user adds),
// then GlobalDoubleGetters; indexed variables against GlobalDoubleArrays. The text is compiled
// into a flat postfix program that Result runs without text handling or virtual calls. When
// a list it resolved names against changed since, Result compiles the text again first, so
// a variable whose container unregistered is never called.
//
// Errors are EVxMathError: "%u closing brackets missing", "%u opening brackets missing",
// "Parsing error in function:" CR and the text that failed (also for nesting deeper than
// MaxNesting brackets), "No valid expression defined", and for an operation on finite values
// whose result is not finite: "Floating point division by zero", "Invalid floating point
// operation" or "Floating point overflow". An index of an indexed variable that is not finite
// or not an int raises EVxRangeError "i=<index> index out of range".

#include "util/VariableRegistries.h"

#include <QPointer>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

class TVxFunctionParser {
public:
    /// Deepest bracket nesting an expression may have.
    static constexpr int MaxNesting = 256;

    /// Creates a parser without expression; registers Pi, e and Random in VariablesList.
    explicit TVxFunctionParser(QObject* AOwner = nullptr);
    TVxFunctionParser(const TVxFunctionParser&) = delete;
    TVxFunctionParser& operator=(const TVxFunctionParser&) = delete;

    /// The expression as stored: blanks removed, square brackets turned into parentheses.
    const QString& Expression() const { return FExpression; }
    /// Parses Text (when it differs from the stored one). On success text and program are
    /// replaced; on any error both stay as they were and the error is raised. An empty text
    /// removes the expression.
    void SetExpression(const QString& Text);
    /// Evaluates the expression; raises "No valid expression defined" without one.
    double Result();

    /// Names the variable of VariablesList that ResultArray feeds (e.g. "X"; empty: none).
    /// The expression is compiled again.
    void SetArrayVariable(const QString& Name);
    /// The variable ResultArray feeds (upper case).
    const QString& ArrayVariable() const { return FArrayVariable; }
    /// Results[i] = the expression with the array variable at Values[i], for every i (Results
    /// as long as Values): the values and the first error that Result would give value by
    /// value, in order. Runs the program one step at a time over blocks of values; other
    /// variables are read once per block, except Random, drawn for every value.
    void ResultArray(std::span<const double> Values, std::span<double> Results);

    /// The component registered as a dependent of every container whose variable the
    /// expression uses (nullptr: none).
    QObject* Owner() const { return FOwner; }
    /// Sets the dependent component for later parses.
    void SetOwner(QObject* AOwner) { FOwner = AOwner; }

    /// Functions searched before GlobalFunctions (empty unless the user adds some).
    TVxFunctionsList FunctionsList;
    /// Variables searched before GlobalDoubleGetters (Pi, e, Random to begin with).
    TVxDoubleGetterList VariablesList;

    /// One step of the compiled program.
    enum class TOp : std::uint8_t {
        Constant, ///< push Constant
        Getter,   ///< push Getters[Slot]()
        Value,    ///< push the array variable: Getters[Slot]() in Result
        Array,    ///< replace the top x by Arrays[Slot](x rounded half to even)
        Call,     ///< replace the top x by Function(x)
        Negate,   ///< replace the top x by -x
        Add,      ///< replace the two top values a, b by a + b
        Sub,      ///< ... by a - b
        Mul,      ///< ... by a * b
        Div,      ///< ... by a / b
        Pow,      ///< ... by a to the power b
    };
    /// One step: its kind and operand.
    struct TInstruction {
        TOp Op = TOp::Constant;
        std::int32_t Slot = 0;           // Getter, Array: index into the program's callables
        double Constant = 0;             // Constant
        TVxOnePrmFunction Function = {}; // Call
    };
    /// A compiled expression: postfix steps and the callables they use.
    struct TProgram {
        std::vector<TInstruction> Code;
        std::vector<TVxDoubleGetter> Getters;
        std::vector<TVxArrayValGetter> Arrays;
        std::vector<bool> FreshGetters; // Getters read anew for every value of an array
        int StackDepth = 0;             // values on the stack at most
        /// Evaluates the program; Value, when given, is the array variable's value.
        double Run(const double* Value = nullptr) const;
        /// True when there is something to run.
        bool IsEmpty() const { return Code.empty(); }
    };

private:
    TProgram Compile(const QString& Text);
    // Runs the program over one block; false when a step raised or gave a value that is not
    // finite (the block is then run value by value).
    bool RunBlock(const double* Values, double* Results, int Count);
    void Resolve();
    void MarkResolved();
    bool IsStale() const {
        return FGeneration != RegistryGeneration() ||
               FFunctionsGeneration != FunctionsList.Generation() ||
               FVariablesGeneration != VariablesList.Generation();
    }

    QString FExpression;
    TProgram FProgram;
    QPointer<QObject> FOwner;
    // The generations of the registries and of the own lists FProgram was compiled at.
    std::uint64_t FGeneration = 0;
    std::uint64_t FFunctionsGeneration = 0;
    std::uint64_t FVariablesGeneration = 0;
    QString FResolveError; // why the text no longer compiles at these generations
    int FEvaluating = 0;
    QString FArrayVariable;
    // The block stack of ResultArray: StackDepth blocks of values.
    std::vector<double> FBlocks;
};
