// Standard output and error for the command-line modes, and message texts made fit for them.
#pragma once

#include <QString>
#include <QTextStream>

namespace vardeko {

inline QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

inline QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Messages keep single carriage returns as line breaks; a terminal wants new lines.
inline QString consoleText(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace vardeko
