// The expression evaluator behind Math.
#pragma once

#include <QLocale>
#include <QString>

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

// Fixed point with `decimals` digits (clamped to 0..18) after the locale's decimal
// separator, rounded half away from zero on 18 significant digits; values too large for
// 18 digits in scientific notation.
QString formatMathResult(long double value, int decimals, const QLocale &locale = QLocale::system());

// The formatted result, or "Error".
QString EvaluateMath(QStringView expression, int decimals, const QLocale &locale = QLocale::system());

} // namespace vardeko
