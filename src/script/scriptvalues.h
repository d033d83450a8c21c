// Reading numbers and operators out of script parameters.
#pragma once

#include <QStringView>

namespace vardeko {

// Integer value of a parameter: spaces deleted, signed decimal, 0 when it does not convert.
int integerValue(QStringView text);

// Blanks deleted, then a decimal number as If and While read it; 0 when it does not convert.
double decimalValue(QStringView text);

// True when the text holds only blanks, "+", "-", "." and digits (empty included).
bool isNumberLike(QStringView text);

enum class ConditionOp { None, Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual };

// The operator an operator parameter means: the last of "=", "<>", "<", ">", "<=", ">="
// found in it, except that "<>" anywhere means unequal.
ConditionOp conditionOperator(QStringView op);

} // namespace vardeko
