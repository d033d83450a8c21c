// Language files (".QXL"): the 27 run-time message texts carried between publications.
#include "languagefile.h"

#include "filecontents.h"
#include "ioerrors.h"
#include "textcodec.h"

namespace vardeko {

namespace {

constexpr char Notice[] = "Run-time message texts of a Vardeko publication";

QString withoutBlanks(QStringView line)
{
    QString compact;
    compact.reserve(line.size());
    for (QChar c : line)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            compact.append(c.toUpper());
    return compact;
}

} // namespace

LanguageTexts englishLanguageTexts()
{
    return defaultLanguageTexts();
}

void parseLanguageText(const QString &text, LanguageTexts *texts)
{
    *texts = englishLanguageTexts();
    std::array<QString, LanguageStringCount> prefixes;
    for (int i = 0; i < LanguageStringCount; ++i)
        prefixes[size_t(i)] = QLatin1String(LanguageStrings[size_t(i)].key) + QLatin1Char('=');

    qsizetype start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        qsizetype stop = end;
        if (stop > start && text.at(stop - 1) == QLatin1Char('\r') && end < text.size())
            --stop; // CR LF; a lone CR stays part of the line
        ++lineNumber;
        const QStringView line = QStringView(text).mid(start, stop - start);
        start = next;
        if (lineNumber <= 2)
            continue; // header and notice, whatever they say
        const QString compact = withoutBlanks(line);
        for (int i = 0; i < LanguageStringCount; ++i) {
            if (compact.startsWith(prefixes[size_t(i)])) {
                const qsizetype eq = line.indexOf(QLatin1Char('='));
                (*texts)[size_t(i)] = line.mid(eq + 1).toString();
                break;
            }
        }
    }
}

int loadLanguageFile(const QString &fileName, LanguageTexts *texts)
{
    QByteArray bytes;
    if (const int error = readFileContents(fileName, &bytes))
        return error;
    parseLanguageText(decodeFileText(bytes), texts);
    return IoOk;
}

QByteArray languageFileBytes(const LanguageTexts &texts)
{
    QString text = QLatin1String(LanguageFileHeader) + QLatin1String("\r\n") + QLatin1String(Notice)
            + QLatin1String("\r\n");
    for (int i = 0; i < LanguageStringCount; ++i) {
        QString value = texts[size_t(i)];
        value.replace(QLatin1String("\r\n"), QLatin1String("|"));
        value.replace(QLatin1Char('\n'), QLatin1Char('|'));
        value.replace(QLatin1Char('\r'), QLatin1Char('|'));
        text += QLatin1String(LanguageStrings[size_t(i)].key) + QLatin1Char('=') + value
                + QLatin1String("\r\n");
    }
    return encodeFileText(text);
}

int saveLanguageFile(const QString &fileName, const LanguageTexts &texts)
{
    return replaceFileContents(fileName, languageFileBytes(texts));
}

void storeLanguageTexts(Publication &pub, const LanguageTexts &edited,
                        LanguageTexts *programDefaults)
{
    if (pub.Settings.Language != edited) {
        pub.Settings.Language = edited;
        pub.Modified = true;
    }
    if (programDefaults)
        *programDefaults = edited;
}

} // namespace vardeko
