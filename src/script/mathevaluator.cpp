// The expression evaluator behind Math.
#include "mathevaluator.h"

#include "scriptmessages.h"

#include <charconv>
#include <cmath>

namespace vardeko {

namespace {

enum class Sym {
    // terminals
    Plus, Minus, UMinus, Mul, Div, Pow, LParen, RParen, Func, Num, End, Invalid,
    // reduced symbols
    E, T, P, S, F
};

enum Function { Abs, Atan, Cos, Exp, Ln, Round, Sin, Sqrt, Sqr, Trunc, Frac };

struct Item
{
    Sym sym;
    long double value;
    int func;
};

constexpr int ParseStackSize = 20;

class Lexer
{
public:
    explicit Lexer(QStringView s) : mText(s) {}

    Item next()
    {
        while (mPos < mText.size() && (mText[mPos] == u' ' || mText[mPos] == u'\t'))
            ++mPos;
        if (mPos >= mText.size())
            return {Sym::End, 0, 0};
        const QChar c = mText[mPos];
        switch (c.unicode()) {
        case '+': ++mPos; return {Sym::Plus, 0, 0};
        case '-': ++mPos; return {Sym::Minus, 0, 0};
        case '*': ++mPos; return {Sym::Mul, 0, 0};
        case '/': ++mPos; return {Sym::Div, 0, 0};
        case '^': ++mPos; return {Sym::Pow, 0, 0};
        case '(': ++mPos; return {Sym::LParen, 0, 0};
        case ')': ++mPos; return {Sym::RParen, 0, 0};
        default: break;
        }
        if (c.isDigit() && c.unicode() < 128)
            return number();
        if (c == u'.')
            return number();
        if (c.isLetter())
            return function();
        return {Sym::Invalid, 0, 0};
    }

private:
    bool digitAt(qsizetype i) const
    {
        return i < mText.size() && mText[i] >= u'0' && mText[i] <= u'9';
    }

    Item number()
    {
        char buf[64];
        int n = 0;
        auto put = [&](char ch) {
            if (n < int(sizeof buf) - 1)
                buf[n++] = ch;
        };
        if (mText[mPos] == u'.')
            put('0'); // ".5" reads as "0.5"
        int dots = 0, digits = 0;
        while (mPos < mText.size() && (digitAt(mPos) || mText[mPos] == u'.')) {
            if (mText[mPos] == u'.')
                ++dots;
            else
                ++digits;
            put(char(mText[mPos].unicode()));
            ++mPos;
        }
        if (digits == 0 || dots > 1 || n >= int(sizeof buf) - 8)
            return {Sym::Invalid, 0, 0};
        // An exponent: "E", an optional sign and one to three digits.
        if (mPos < mText.size() && (mText[mPos] == u'E' || mText[mPos] == u'e')) {
            qsizetype p = mPos + 1;
            char sign = 0;
            if (p < mText.size() && (mText[p] == u'+' || mText[p] == u'-'))
                sign = char(mText[p++].unicode());
            if (digitAt(p)) {
                put('e');
                if (sign)
                    put(sign);
                for (int k = 0; k < 3 && digitAt(p); ++k, ++p)
                    put(char(mText[p].unicode()));
                mPos = p;
            }
        }
        Item item{Sym::Num, 0, 0};
        if (dots == 0 && n <= 18 && digits == n) {
            // Whole numbers, the usual case, need no general conversion.
            qint64 v = 0;
            for (int i = 0; i < n; ++i)
                v = v * 10 + (buf[i] - '0');
            item.value = (long double)v;
            return item;
        }
        const auto r = std::from_chars(buf, buf + n, item.value);
        if (r.ec != std::errc() || r.ptr != buf + n)
            return {Sym::Invalid, 0, 0};
        return item;
    }

    Item function()
    {
        // The longest name the text starts with; SQRT is tried before SQR.
        static const struct { const char16_t *name; int id; } names[] = {
            {u"ATAN", Atan}, {u"ROUND", Round}, {u"TRUNC", Trunc}, {u"SQRT", Sqrt},
            {u"FRAC", Frac}, {u"ABS", Abs}, {u"COS", Cos}, {u"EXP", Exp}, {u"SIN", Sin},
            {u"SQR", Sqr}, {u"LN", Ln}};
        const QStringView rest = mText.sliced(mPos);
        for (const auto &f : names) {
            const QStringView name(f.name);
            if (rest.startsWith(name, Qt::CaseInsensitive)) {
                mPos += name.size();
                return {Sym::Func, 0, f.id};
            }
        }
        return {Sym::Invalid, 0, 0};
    }

    QStringView mText;
    qsizetype mPos = 0;
};

bool applyFunction(int func, long double x, long double *out, MathError *error)
{
    switch (func) {
    case Abs: *out = std::fabs(x); return true;
    case Atan: *out = std::atan(x); return true;
    case Cos: *out = std::cos(x); return true;
    case Sin: *out = std::sin(x); return true;
    case Exp:
        if (x < -88 || x > 88) {
            *error = MathError::ExpRange;
            return false;
        }
        *out = std::exp(x);
        return true;
    case Ln:
        if (!(x > 0)) {
            *error = MathError::LnDomain;
            return false;
        }
        *out = std::log(x);
        return true;
    case Sqrt:
        if (x < 0) {
            *error = MathError::SqrtDomain;
            return false;
        }
        *out = std::sqrt(x);
        return true;
    case Sqr:
        if (x < -1e18L || x > 1e18L) {
            *error = MathError::SqrRange;
            return false;
        }
        *out = x * x;
        return true;
    case Round:
    case Trunc:
    case Frac:
        if (x < -1e9L || x > 1e9L) {
            *error = MathError::RoundRange;
            return false;
        }
        if (func == Round)
            *out = std::nearbyint(x); // the default rounding mode takes halves to even
        else if (func == Trunc)
            *out = std::trunc(x);
        else
            *out = x - std::trunc(x);
        return true;
    default:
        *error = MathError::Syntax;
        return false;
    }
}

} // namespace

namespace {

// Tokens of a compiled expression, references replaced by their values.
class TokenSource
{
public:
    explicit TokenSource(const std::vector<CompiledMath::Token> &tokens) : mTokens(tokens) {}
    Item next()
    {
        if (mPos >= mTokens.size())
            return {Sym::End, 0, 0};
        const CompiledMath::Token &t = mTokens[mPos++];
        return {Sym(t.sym), t.value, t.func};
    }

private:
    const std::vector<CompiledMath::Token> &mTokens;
    size_t mPos = 0;
};

// What a reduction does: the evaluator computes, the compiler writes a postfix program.
struct Evaluate
{
    bool number(const Item &, long double *) { return true; }
    bool negate(long double v, long double *out, MathError *) { *out = -v; return true; }
    bool power(long double base, long double exponent, long double *out, MathError *error)
    {
        if (!(base > 0)) {
            *error = MathError::PowerDomain;
            return false;
        }
        const long double l = exponent * std::log(base);
        if (l < -88 || l > 88) {
            *error = MathError::PowerDomain;
            return false;
        }
        *out = std::exp(l);
        return true;
    }
    bool binary(Sym op, long double a, long double b, long double *out, MathError *error)
    {
        switch (op) {
        case Sym::Plus: *out = a + b; return true;
        case Sym::Minus: *out = a - b; return true;
        case Sym::Mul: *out = a * b; return true;
        default:
            if (b == 0) {
                *error = MathError::DivisionByZero;
                return false;
            }
            *out = a / b;
            return true;
        }
    }
    bool function(int func, long double v, long double *out, MathError *error)
    {
        return applyFunction(func, v, out, error);
    }
};

template<typename Source, typename Semantics>
MathResult parse(Source &lexer, Semantics &sem)
{
    MathResult result;
    Item stack[ParseStackSize]; // filled before use
    int sp = 0; // entries in use
    auto fail = [&](MathError e) {
        result.error = e;
        return result;
    };
    Item tok = lexer.next();
    // A shift-reduce parse of
    //   E = E "+" T | E "-" T | T;  T = T "*" P | T "/" P | P;  P = S "^" P | S;
    //   S = "-" F | F;  F = number | "(" E ")" | function "(" E ")".
    for (;;) {
        if (tok.sym == Sym::Invalid)
            return fail(MathError::InvalidToken);
        Item *top = sp > 0 ? &stack[sp - 1] : nullptr;
        const Sym below = sp > 1 ? stack[sp - 2].sym : Sym::End;
        const Sym below2 = sp > 2 ? stack[sp - 3].sym : Sym::End;
        if (top && top->sym == Sym::F) {
            if (below == Sym::UMinus) {
                long double v;
                if (!sem.negate(top->value, &v, &result.error))
                    return result;
                stack[sp - 2] = {Sym::S, v, 0};
                --sp;
            } else {
                top->sym = Sym::S;
            }
            continue;
        }
        if (top && top->sym == Sym::S) {
            if (tok.sym != Sym::Pow) {
                top->sym = Sym::P;
                continue;
            }
        } else if (top && top->sym == Sym::P) {
            if (below == Sym::Pow && below2 == Sym::S) {
                long double v;
                if (!sem.power(stack[sp - 3].value, top->value, &v, &result.error))
                    return result;
                stack[sp - 3] = {Sym::P, v, 0};
                sp -= 2;
            } else if ((below == Sym::Mul || below == Sym::Div) && below2 == Sym::T) {
                long double v;
                if (!sem.binary(below, stack[sp - 3].value, top->value, &v, &result.error))
                    return result;
                stack[sp - 3] = {Sym::T, v, 0};
                sp -= 2;
            } else {
                top->sym = Sym::T;
            }
            continue;
        } else if (top && top->sym == Sym::T) {
            if (tok.sym != Sym::Mul && tok.sym != Sym::Div) {
                if ((below == Sym::Plus || below == Sym::Minus) && below2 == Sym::E) {
                    long double v;
                    if (!sem.binary(below, stack[sp - 3].value, top->value, &v, &result.error))
                        return result;
                    stack[sp - 3] = {Sym::E, v, 0};
                    sp -= 2;
                } else {
                    top->sym = Sym::E;
                }
                continue;
            }
        } else if (top && top->sym == Sym::E) {
            if (tok.sym == Sym::End) {
                if (sp != 1)
                    return fail(MathError::Syntax);
                if (!std::isfinite(top->value))
                    return fail(MathError::Overflow);
                result.value = top->value;
                return result;
            }
            if (tok.sym != Sym::Plus && tok.sym != Sym::Minus && tok.sym != Sym::RParen)
                return fail(MathError::Syntax);
        } else if (top && top->sym == Sym::RParen) {
            if (below != Sym::E || below2 != Sym::LParen)
                return fail(MathError::Syntax);
            long double v = stack[sp - 2].value;
            sp -= 3;
            if (sp > 0 && stack[sp - 1].sym == Sym::Func) {
                if (!sem.function(stack[sp - 1].func, v, &v, &result.error))
                    return result;
                --sp;
            }
            stack[sp++] = {Sym::F, v, 0};
            continue;
        } else {
            // An operand must start here.
            const Sym prev = top ? top->sym : Sym::End;
            bool ok = false;
            switch (tok.sym) {
            case Sym::Num:
                ok = prev != Sym::Func;
                tok.sym = Sym::F;
                if (ok && !sem.number(tok, &tok.value))
                    return result;
                break;
            case Sym::LParen: ok = true; break;
            case Sym::Func: ok = prev != Sym::Func; break;
            case Sym::Minus: ok = prev != Sym::UMinus && prev != Sym::Func; tok.sym = Sym::UMinus; break;
            default: break;
            }
            if (!ok)
                return fail(MathError::Syntax);
        }
        // Shift the lookahead.
        if (sp >= ParseStackSize)
            return fail(MathError::StackOverflow);
        if (tok.sym == Sym::End)
            return fail(MathError::Syntax);
        stack[sp++] = tok;
        tok = lexer.next();
    }
}

// Writes the postfix program of a compiled expression while the parser checks it.
struct Compile
{
    std::vector<CompiledMath::Op> *program;
    bool number(const Item &t, long double *)
    {
        program->push_back({t.func > 0 ? CompiledMath::PushRef : CompiledMath::PushConst, t.value, t.func - 1});
        return true;
    }
    bool negate(long double, long double *out, MathError *)
    {
        program->push_back({CompiledMath::Negate, 0, 0});
        *out = 0;
        return true;
    }
    bool power(long double, long double, long double *out, MathError *)
    {
        program->push_back({CompiledMath::Power, 0, 0});
        *out = 0;
        return true;
    }
    bool binary(Sym op, long double, long double, long double *out, MathError *)
    {
        program->push_back({op == Sym::Plus ? CompiledMath::Add
                            : op == Sym::Minus ? CompiledMath::Subtract
                            : op == Sym::Mul ? CompiledMath::Multiply : CompiledMath::Divide, 0, 0});
        *out = 0;
        return true;
    }
    bool function(int func, long double, long double *out, MathError *)
    {
        program->push_back({CompiledMath::Function, 0, func});
        *out = 0;
        return true;
    }
};

} // namespace

MathResult evaluateExpression(QStringView expression)
{
    Lexer lexer(expression);
    Evaluate sem;
    return parse(lexer, sem);
}

bool parsePlainNumber(QStringView text, long double *value)
{
    Lexer lexer(text);
    const Item first = lexer.next();
    if (first.sym != Sym::Num || lexer.next().sym != Sym::End)
        return false;
    *value = first.value;
    return true;
}

std::unique_ptr<CompiledMath> CompiledMath::compile(QStringView expression)
{
    auto isBorder = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'+' || c == u'-' || c == u'*' || c == u'/'
               || c == u'^';
    };
    auto m = std::make_unique<CompiledMath>();
    auto lexSegment = [&m](QStringView segment) {
        Lexer lexer(segment);
        for (;;) {
            const Item t = lexer.next();
            if (t.sym == Sym::End)
                return true;
            if (t.sym == Sym::Invalid)
                return false;
            m->mTokens.push_back({int(t.sym), t.value, t.func, -1});
        }
    };
    qsizetype pos = 0;
    while (pos <= expression.size()) {
        const qsizetype open = expression.indexOf(u'[', pos);
        const qsizetype closeBefore = expression.indexOf(u']', pos);
        if (open < 0) {
            if (closeBefore >= 0 || !lexSegment(expression.sliced(pos)))
                return nullptr;
            break;
        }
        const qsizetype close = expression.indexOf(u']', open + 1);
        if (closeBefore >= 0 && closeBefore < open)
            return nullptr;
        if (close < 0 || close == open + 1)
            return nullptr;
        const QStringView name = expression.sliced(open + 1, close - open - 1);
        if (name.contains(u'['))
            return nullptr;
        const bool startOk = open == 0 || isBorder(expression[open - 1]) || expression[open - 1] == u'(';
        const bool endOk = close + 1 == expression.size() || isBorder(expression[close + 1])
                           || expression[close + 1] == u')';
        if (!startOk || !endOk || !lexSegment(expression.sliced(pos, open - pos)))
            return nullptr;
        m->mTokens.push_back({int(Sym::Num), 0, int(m->mReferences.size()) + 1, -1});
        m->mReferences.append(name.toString().toUpper());
        pos = close + 1;
    }
    // The structure does not depend on the values: parse once, keep the postfix program
    // and any syntax error.
    TokenSource source(m->mTokens);
    Compile sem{&m->mProgram};
    m->mError = parse(source, sem).error;
    m->mTokens.clear();
    return m;
}

MathResult CompiledMath::evaluate(const long double *values) const
{
    MathResult r;
    if (mError != MathError::None) {
        r.error = mError;
        return r;
    }
    long double stack[ParseStackSize];
    int sp = 0;
    Evaluate sem;
    for (const Op &op : mProgram) {
        switch (op.kind) {
        case PushConst: stack[sp++] = op.value; break;
        case PushRef: stack[sp++] = values[op.arg]; break;
        case Negate: stack[sp - 1] = -stack[sp - 1]; break;
        case Function:
            if (!sem.function(op.arg, stack[sp - 1], &stack[sp - 1], &r.error))
                return r;
            break;
        case Power:
            if (!sem.power(stack[sp - 2], stack[sp - 1], &stack[sp - 2], &r.error))
                return r;
            --sp;
            break;
        default: {
            static const Sym ops[] = {Sym::Plus, Sym::Minus, Sym::Mul, Sym::Div};
            if (!sem.binary(ops[op.kind - Add], stack[sp - 2], stack[sp - 1], &stack[sp - 2], &r.error))
                return r;
            --sp;
            break;
        }
        }
    }
    if (sp != 1 || !std::isfinite(stack[0])) {
        r.error = sp != 1 ? MathError::Syntax : MathError::Overflow;
        return r;
    }
    r.value = stack[0];
    return r;
}

QString formatMathResult(long double value, int decimals, const QLocale &locale)
{
    const int d = qBound(0, decimals, 18);
    const bool negative = value < 0;
    const long double a = negative ? -value : value;
    // Whole numbers below 1e15 are exact: the common case of counters.
    if (a < 1e15L && a == std::trunc(a)) {
        QString s = QString::number(qint64(a));
        if (negative && a != 0)
            s.prepend(u'-');
        if (d > 0)
            s += locale.decimalPoint() + QString(d, u'0');
        return s;
    }
    const QString point = locale.decimalPoint();
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 17);
    if (r.ec != std::errc())
        return QLatin1String(MsgError);
    // buf: "d.ddddddddddddddddde+XX"; 18 significant digits.
    QByteArray digits;
    const char *p = buf;
    for (; p < r.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            digits.append(*p);
    }
    // The exponent ends where to_chars stopped writing: the buffer has no terminator.
    int exponent = 0;
    if (p < r.ptr) {
        const char *e = p + 1;
        const bool negativeExponent = e < r.ptr && *e == '-';
        if (e < r.ptr && (*e == '+' || *e == '-'))
            ++e;
        const auto parsed = std::from_chars(e, r.ptr, exponent);
        if (parsed.ec != std::errc() || parsed.ptr != r.ptr)
            return QLatin1String(MsgError);
        if (negativeExponent)
            exponent = -exponent;
    }
    if (exponent >= 18) {
        // Too large for 18 digits: scientific notation, trailing zeros dropped.
        QByteArray m = digits;
        while (m.size() > 1 && m.endsWith('0'))
            m.chop(1);
        QString s = negative ? QStringLiteral("-") : QString();
        s += QLatin1Char(m.at(0));
        if (m.size() > 1)
            s += point + QString::fromLatin1(m.mid(1));
        return s + QLatin1String("E+") + QString::number(exponent);
    }
    // The integer value * 10^d as digits, rounded half away from zero.
    const int keep = exponent + 1 + d;
    QByteArray n;
    if (keep > 0) {
        n = digits.left(keep);
        while (n.size() < keep)
            n.append('0');
    }
    if (keep >= 0 && keep < digits.size() && digits.at(keep) >= '5') {
        int i = int(n.size()) - 1;
        for (; i >= 0; --i) {
            if (n[i] == '9') {
                n[i] = '0';
            } else {
                ++n[i];
                break;
            }
        }
        if (i < 0)
            n.prepend('1');
    }
    while (n.size() < d + 1)
        n.prepend('0');
    const bool zero = n.count('0') == n.size();
    QString s = negative && !zero ? QStringLiteral("-") : QString();
    s += QString::fromLatin1(n.left(n.size() - d));
    if (d > 0)
        s += point + QString::fromLatin1(n.right(d));
    return s;
}

QString EvaluateMath(QStringView expression, int decimals, const QLocale &locale)
{
    const MathResult r = evaluateExpression(expression);
    return r.ok() ? formatMathResult(r.value, decimals, locale) : QLatin1String(MsgError);
}

} // namespace vardeko
