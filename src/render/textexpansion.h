// Texts as a page shows them: [Name] references to variables, the page's title and
// number, and date and time codes expanded.
#pragma once

#include <QDateTime>
#include <QString>

namespace vardeko {

class Publication;
struct Page;

// `page` is the page being shown (null: none); its title and number answer [PageTitle],
// [PageNumber] and [P]; variables come from the program's store.
QString expandShownText(const QString &text, const Publication &pub, const Page *page);
// The same with one reading of the clock for the date and time values.
QString expandShownText(const QString &text, const Publication &pub, const Page *page,
                        const QDateTime &time);

} // namespace vardeko
