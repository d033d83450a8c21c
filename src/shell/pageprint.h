// File > Print Page... and the text print options kept with the preferences.
#pragma once

class QWidget;

namespace vardeko {

class Publication;
struct Preferences;

// The header, footer, margins, unit and wrapping of text printing from and to the
// preferences.
void loadPrintOptions(const Preferences &prefs);
void storePrintOptions(Preferences &prefs);

// Prints the current page of a publication: the printer setup first (cancel prints
// nothing), then the page as a picture at 300 %, centred. Failures are shown in an alert.
void PrintCurrentPage(const Publication &pub, QWidget *parent);

} // namespace vardeko
