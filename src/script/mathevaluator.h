// The expression evaluator behind Math.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace vardeko {

enum class MathError {
    None,
    InvalidToken,
    Syntax,
    StackOverflow,
    DivisionByZero,
    PowerDomain,   // base not above 0, or exponent * ln(base) outside -88..88
    ExpRange,
    LnDomain,
    SqrtDomain,
    SqrRange,
    RoundRange,    // ROUND, TRUNC, FRAC outside -1e9..1e9
    Overflow,      // the result left the range of numbers
};

struct MathResult
{
    long double value = 0;
    MathError error = MathError::None;
    bool ok() const { return error == MathError::None; }
};

// Evaluates an already expanded expression (any case).
MathResult evaluateExpression(QStringView expression);

// True when the text reads as exactly one number token of an expression, such as "12",
// "0.5" or "1E3" (no sign): a value that can stand for a reference without changing
// how the expression around it is read.
bool parsePlainNumber(QStringView text, long double *value);

// An expression whose [Name] references each stand alone as one token, tokenised once
// so that a loop does not expand and re-read its text on every pass.
class CompiledMath
{
public:
    struct Token
    {
        int sym;
        long double value;
        int func; // for numbers: 1 + index into references(), or 0 for a constant
        int ref;
    };
    enum OpKind { PushConst, PushRef, Negate, Function, Power, Add, Subtract, Multiply, Divide };
    struct Op
    {
        OpKind kind;
        long double value;
        int arg; // reference index or function
    };

    // Null when a reference touches a number, name or another bracket, or when the text
    // around the references does not tokenise: such expressions take the text path.
    static std::unique_ptr<CompiledMath> compile(QStringView expression);

    const QStringList &references() const { return mReferences; } // upper-cased names
    // `values` holds one plain number per reference.
    MathResult evaluate(const long double *values) const;

private:
    std::vector<Token> mTokens; // only while compiling
    std::vector<Op> mProgram;   // postfix
    MathError mError = MathError::None;
    QStringList mReferences;
};

// Fixed point with `decimals` digits (clamped to 0..18) after the locale's decimal
// separator, rounded half away from zero on 18 significant digits; values too large for
// 18 digits in scientific notation.
QString formatMathResult(long double value, int decimals, const QLocale &locale = QLocale::system());

// The formatted result, or "Error".
QString EvaluateMath(QStringView expression, int decimals, const QLocale &locale = QLocale::system());

} // namespace vardeko
