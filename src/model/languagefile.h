// Language files (".QXL"): the 27 run-time message texts carried between publications.
#pragma once

#include "publication.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace vardeko {

using LanguageTexts = std::array<QString, LanguageStringCount>;

inline constexpr char LanguageFileHeader[] = "Vardeko Language File";
inline constexpr char LanguageFileExtension[] = ".QXL";

// The built-in English texts ("&Reset to English").
LanguageTexts englishLanguageTexts();

// Applies a language file's text to `texts`: every text first goes back to its English
// default, the first two lines are skipped unread, and each further line that, with its
// blanks removed and upper-cased, begins with a key and "=" sets that key's text to
// everything after the first "=" (blanks kept). The first matching key in table order
// wins; other lines are ignored. Lines end in CR LF or a lone LF.
void parseLanguageText(const QString &text, LanguageTexts *texts);

// Loads a language file. When the file cannot be read, `texts` stays as it was and the
// I/O error code is returned; otherwise the texts are set as parseLanguageText() says.
int loadLanguageFile(const QString &fileName, LanguageTexts *texts);

// The file's bytes: header, notice line, then one "KEY=text" line per entry in table
// order, CR LF line ends, Windows-1252 (UTF-8 with a byte-order mark when a character
// does not fit). A line break inside a text is written as "|", the texts' own line break.
QByteArray languageFileBytes(const LanguageTexts &texts);

// Writes a language file through a temporary file, so a failed save leaves the old
// file as it was. Returns 0 or the I/O error code.
int saveLanguageFile(const QString &fileName, const LanguageTexts &texts);

// Book Setup's OK: the edited texts go to the publication and, when "&Default" is
// checked, also become the program's defaults (which the caller then stores with the
// other preferences). Marks the publication modified when a text changed.
void storeLanguageTexts(Publication &pub, const LanguageTexts &edited,
                        LanguageTexts *programDefaults);

} // namespace vardeko
