// A script cut into numbered lines once, each line recognised and its parameters taken out.
#include "scriptlines.h"

#include "scriptmessages.h"

#include <charconv>
#include <limits>

namespace vardeko {

namespace {

bool isBlankChar(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlankChar(s[b]))
        ++b;
    while (e > b && isBlankChar(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

QString bareVariableName(const QString &name)
{
    QString n = name;
    n.remove(u'[');
    n.remove(u']');
    return n.toUpper();
}

} // namespace

QString ScriptLine::word() const
{
    if (kind != ScriptLineKind::Command)
        return QString();
    const ActionCommand &c = ActionCommands[size_t(command)];
    return QString::fromLatin1(usedCode ? c.Code : c.Name);
}

ScriptLine parseScriptLine(const QString &text)
{
    ScriptLine line;
    line.text = text;
    line.upper = text.toUpper();
    const RecognizedCommand rc = recognizeCommand(text);
    if (rc.number > 0) {
        const ActionCommand &c = ActionCommands[size_t(rc.number)];
        line.kind = ScriptLineKind::Command;
        line.command = rc.number;
        line.usedCode = rc.word == QLatin1String(c.Code) && qstrcmp(c.Name, c.Code) != 0;
        line.params = scriptParameters(text);
        line.refNames.resize(line.params.size());
        for (qsizetype i = 0; i < line.params.size(); ++i) {
            const QString &p = line.params.at(i);
            if (!p.contains(u'['))
                continue;
            line.bracketMask |= 1u << i;
            // "[NAME]" alone: expanding it is one lookup.
            if (p.size() > 2 && p.front() == u'[' && p.back() == u']' && p.count(u'[') == 1
                && p.count(u']') == 1) {
                line.wholeRefMask |= 1u << i;
                line.refNames[i] = p.mid(1, p.size() - 2).toUpper();
            }
        }
        if ((rc.number == CmdIf || rc.number == CmdWhile) && line.params.size() >= 2
            && !(line.bracketMask & 2u))
            line.conditionOp = int(conditionOperator(line.params.at(1)));
        if (rc.number == CmdIf || rc.number == CmdWhile) {
            for (int i : {0, 2}) {
                if (i < line.params.size() && !(line.bracketMask & (1u << i)) && isNumberLike(line.params.at(i))) {
                    line.constNumberMask |= 1u << i;
                    line.constNumbers[i] = decimalValue(line.params.at(i));
                }
            }
        }
        if (rc.number == CmdMath && !line.params.isEmpty() && (line.bracketMask & 1u))
            line.math = CompiledMath::compile(line.params.at(0));
        if (line.math)
            line.mathCache.resize(size_t(line.math->references().size()));
        if (c.OutParam > 0 && line.params.size() >= c.OutParam)
            line.outName = bareVariableName(line.params.at(c.OutParam - 1));
        return line;
    }
    // Block words and labels are recognised by how the trimmed line begins, in this order.
    const QStringView t = trimBlanks(line.upper);
    if (t.startsWith(u':'))
        line.kind = ScriptLineKind::Label;
    else if (t.startsWith(u"ELSE"))
        line.kind = ScriptLineKind::Else;
    else if (t.startsWith(u"ENDIF"))
        line.kind = ScriptLineKind::EndIf;
    else if (t.startsWith(u"ENDWHILE"))
        line.kind = ScriptLineKind::EndWhile;
    else
        line.kind = ScriptLineKind::Error;
    return line;
}

ScriptLines::ScriptLines(const QString &script)
{
    const QStringList all = splitScriptLines(script);
    mLines.reserve(size_t(all.size()));
    for (const QString &text : all) {
        // Empty lines and lines beginning with "." are comments and do not count.
        if (text.isEmpty() || text.startsWith(u'.'))
            continue;
        mLines.push_back(parseScriptLine(text));
    }
    mWhileMatch.assign(mLines.size() + 1, -1);
}

int ScriptLines::matchingWhile(int n) const
{
    if (n < 1 || n > count())
        return 0;
    int &cached = mWhileMatch[size_t(n)];
    if (cached >= 0)
        return cached;
    int depth = 0;
    cached = 0;
    for (int i = n - 1; i >= 1; --i) {
        const ScriptLine &l = mLines[size_t(i - 1)];
        if (l.kind == ScriptLineKind::EndWhile) {
            ++depth;
        } else if (l.kind == ScriptLineKind::Command && l.command == CmdWhile) {
            if (depth > 0) {
                --depth;
            } else {
                cached = i;
                break;
            }
        }
    }
    return cached;
}

int ScriptLines::findLabel(int from, const QString &label) const
{
    const QString key = QString::number(from) + u'\n' + label;
    const auto it = mLabelCache.constFind(key);
    if (it != mLabelCache.constEnd())
        return it.value();
    int found = 0;
    // Only lines above are searched, and the whole line is compared, blanks included.
    for (int i = qMin(from, count() + 1) - 1; i >= 1; --i) {
        if (mLines[size_t(i - 1)].upper == label) {
            found = i;
            break;
        }
    }
    mLabelCache.insert(key, found);
    return found;
}

QString parameterCountMessage(const ScriptLine &line)
{
    const ActionCommand &c = ActionCommands[size_t(line.command)];
    const int n = c.ParamCount;
    QString example = line.word();
    if (c.Example[0])
        example += u' ' + QString::fromLatin1(c.Example);
    return QLatin1String(MsgRequiresParams) + QString::number(n) + QLatin1String(" parameter")
           + (n == 1 ? QString() : QStringLiteral("s")) + QLatin1String(MsgRequiresParamsTail)
           + example + u'\r';
}

QString unknownCommandMessage(const QString &line)
{
    return line + QLatin1String("\r\r") + QLatin1String(MsgUnknownCommand);
}

int integerValue(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipSpaces = [&] {
        while (i < n && text[i] == u' ')
            ++i;
    };
    skipSpaces();
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    bool digits = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c == u' ')
            continue;
        if (c < u'0' || c > u'9')
            return 0;
        digits = true;
        value = value * 10 + (c.unicode() - '0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return 0;
    }
    if (!digits)
        return 0;
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return 0;
    return int(value);
}

bool isNumberLike(QStringView text)
{
    for (const QChar c : text) {
        if (!(isBlankChar(c) || c == u'+' || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

double decimalValue(QStringView text)
{
    char buf[128];
    int n = 0;
    for (const QChar c : text) {
        if (isBlankChar(c))
            continue;
        if (n == int(sizeof buf) || c.unicode() > 127)
            return 0;
        buf[n++] = char(c.unicode());
    }
    const char *begin = buf;
    if (n > 0 && buf[0] == '+') {
        ++begin; // from_chars takes no "+"; a second sign still fails below
        if (n > 1 && (buf[1] == '+' || buf[1] == '-'))
            return 0;
    }
    double v = 0;
    const auto r = std::from_chars(begin, buf + n, v);
    return r.ec == std::errc() && r.ptr == buf + n ? v : 0;
}

ConditionOp conditionOperator(QStringView op)
{
    if (op.contains(u"<>"))
        return ConditionOp::NotEqual;
    static const struct { const char16_t *text; ConditionOp op; } ops[] = {
        {u"=", ConditionOp::Equal}, {u"<", ConditionOp::Less}, {u">", ConditionOp::Greater},
        {u"<=", ConditionOp::LessEqual}, {u">=", ConditionOp::GreaterEqual}};
    ConditionOp which = ConditionOp::None;
    for (const auto &o : ops) {
        if (op.contains(QStringView(o.text)))
            which = o.op;
    }
    return which;
}

bool evaluateCondition(const QString &value1, const QString &op, const QString &value2)
{
    return evaluateCondition(value1, conditionOperator(op), value2);
}

bool evaluateCondition(const QString &value1, ConditionOp op, const QString &value2)
{
    switch (op) {
    case ConditionOp::None:
        return false;
    case ConditionOp::Equal:
        return value1.toUpper() == value2.toUpper();
    case ConditionOp::NotEqual:
        return value1.toUpper() != value2.toUpper();
    default:
        break;
    }
    double x, y;
    if (isNumberLike(value1) && isNumberLike(value2)) {
        x = decimalValue(value1);
        y = decimalValue(value2);
    } else {
        // Texts that are not numbers compare by the lengths of their upper-case forms.
        x = double(value1.toUpper().size());
        y = double(value2.toUpper().size());
    }
    switch (op) {
    case ConditionOp::Less: return x < y;
    case ConditionOp::Greater: return x > y;
    case ConditionOp::LessEqual: return x <= y;
    default: return x >= y;
    }
}

GotoTarget gotoTarget(const QString &param)
{
    GotoTarget t;
    if (isNumberLike(param)) {
        t.number = integerValue(param);
        return t;
    }
    t.isNumber = false;
    t.label = param.trimmed().toUpper();
    if (!t.label.startsWith(u':'))
        t.label.prepend(u':');
    return t;
}

} // namespace vardeko
