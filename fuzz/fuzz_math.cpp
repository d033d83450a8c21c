// Fuzzes the Math evaluator and [Name] expansion with arbitrary text.
#include "mathevaluator.h"
#include "variablestore.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    static vardeko::VariableStore store;
    if (store.count() == 0) {
        store.SetVariable(QStringLiteral("A"), QStringLiteral("12"));
        store.SetVariable(QStringLiteral("B"), QStringLiteral("[A]]"));
    }
    const QString expanded = vardeko::ExpandReferences(text, true, QDateTime(), store);
    for (int decimals : {0, 2, 18})
        vardeko::EvaluateMath(expanded, decimals, QLocale::c());
    return 0;
}
