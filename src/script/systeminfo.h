// The items of SystemInfo.
#pragma once

#include <QString>

namespace vardeko {

// What only the running window knows: its publication and the screen.
class SystemValues
{
public:
    virtual ~SystemValues() = default;
    virtual QString publicationAuthor() const = 0;
    virtual int publicationColors() const = 0;  // SCREENCOLORS
    virtual QString publicationDir() const = 0; // directory of the file; empty when unsaved
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    virtual QString publicationTitle() const = 0; // the window's caption
    virtual int screenColors() const = 0;
    virtual int screenWidth() const = 0;
    virtual int screenHeight() const = 0;
    virtual QString tempDir() const = 0; // the preference
};

// The value of the item whose name is the last of the 13 names found inside `item`
// (any case), or "Error".
QString SystemInfoValue(const QString &item, const SystemValues &values);

// The logged-on user's name, or "Unknown".
QString userName();

} // namespace vardeko
