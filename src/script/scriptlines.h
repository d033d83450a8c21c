// A script cut into numbered lines once, each line recognised and its parameters taken out.
#pragma once

#include "actioncommands.h"
#include "mathevaluator.h"
#include "scriptvalues.h"
#include "variablestore.h"

#include <array>

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace vardeko {

enum class ScriptLineKind { Command, Label, Else, EndIf, EndWhile, Error };

struct ScriptLine
{
    QString text;          // as written
    ScriptLineKind kind = ScriptLineKind::Error;
    int command = 0;       // command number for ScriptLineKind::Command
    bool usedCode = false; // the line began with the two-letter code
    QStringList params;    // complete quote pairs, at most eight
    unsigned bracketMask = 0; // bit i: parameter i holds a "[" and needs expanding
    QString outName;       // the output parameter as a variable name, brackets deleted
    unsigned wholeRefMask = 0; // bit i: parameter i is exactly "[NAME]" (refNames[i])
    QStringList refNames;  // upper-cased names of such parameters
    QString upper;         // the whole line upper-cased, as GotoLine compares labels
    int conditionOp = -1;  // If/While with a fixed operator parameter: its ConditionOp
    unsigned constNumberMask = 0; // If/While: bit i when parameter i is a fixed number-like text
    double constNumbers[3] = {0, 0, 0};
    std::shared_ptr<const CompiledMath> math; // Math with references that stand alone
    // Where the variables this line names were last found.
    mutable std::array<EntryCache, 8> paramCache;
    mutable std::vector<EntryCache> mathCache;
    mutable EntryCache outCache;

    QString word() const; // the matched command word in the table's spelling
};

// The lines of one script that count: not empty and not beginning with ".". Numbered
// from 1; all per-line work is done once here so that loops cost no re-parsing.
class ScriptLines
{
public:
    explicit ScriptLines(const QString &script);

    int count() const { return int(mLines.size()); }
    // Line n (1-based), or null below 1 and past the end: the end of the script.
    const ScriptLine *line(qint64 n) const
    {
        return n >= 1 && n <= qint64(mLines.size()) ? &mLines[size_t(n - 1)] : nullptr;
    }

    // The While that an EndWhile at line n closes, or 0 when there is none.
    int matchingWhile(int n) const;
    // The line above `from` equal to the label (already upper-cased, ":" first), or 0.
    int findLabel(int from, const QString &label) const;

private:
    std::vector<ScriptLine> mLines;
    mutable std::vector<int> mWhileMatch; // -1: not yet searched
    mutable QHash<QString, int> mLabelCache; // "<from>:<label>" -> line
};

// Recognises one line: command, label, block word or error line.
ScriptLine parseScriptLine(const QString &text);

// "This Action requires 2 parameters!" ... with the example of the matched word.
QString parameterCountMessage(const ScriptLine &line);

// "<line>\r\rI don't understand this command!"
QString unknownCommandMessage(const QString &line);

// The condition of If and While on expanded values.
bool evaluateCondition(const QString &value1, const QString &op, const QString &value2);
bool evaluateCondition(const QString &value1, ConditionOp op, const QString &value2);

// GotoLine's parameter: a line number when number-like, else a label searched upward.
struct GotoTarget
{
    bool isNumber = true;
    int number = 0;
    QString label; // upper-cased with ":" in front
};
GotoTarget gotoTarget(const QString &param);

} // namespace vardeko
