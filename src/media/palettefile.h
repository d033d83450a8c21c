// Palette files: the native and JASC ".PAL" texts, and palettes taken from pictures.
#pragma once

#include "palette.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1String>
#include <QString>

#include <vector>

namespace vardeko {

// Texts the palette load and save actions show.
namespace palettemsg {
inline constexpr QLatin1String LoadTitle("Load Palette");
inline constexpr QLatin1String
        LoadFilter("Palette Sources|*.PAL;*.BMP;*.GIF;*.PCX;*.PNG;*.JPG;*.TIF");
inline constexpr QLatin1String SaveTitle("Save Palette");
inline constexpr QLatin1String SaveFilter("Palette Files|*.PAL");
inline constexpr QLatin1String Extension(".PAL");
inline constexpr QLatin1String CannotExtract("Unable to extract palette from this file.");
} // namespace palettemsg

inline constexpr char NativePaletteHeader[] = "Dabrisko Palette File";
inline constexpr char JascPaletteHeader[] = "JASC-PAL";

// Reads a ".PAL" text into `table`. The native format's 6-bit block turns each component
// above 0 into component x 4 + 3; when its count is 256 the 8-bit block that follows
// replaces those values. JASC components are taken as they are. Entries beyond the 256
// of the table are ignored. Reading stops quietly at the end of the text, keeping the
// entries read so far; an unknown header or a damaged number gives 106. `entries`
// receives how many leading entries were set.
int readPaletteText(QByteArrayView bytes, PaletteTable &table, int *entries = nullptr);

// The colour table of a BMP, PCX, GIF, PNG or TIFF picture that has one (for GIF the
// global table, else the first image's own). 106 for pictures without a table
// (true-colour and grey pictures, JPEG) and for damaged or unknown data.
int readPicturePalette(QByteArrayView bytes, std::vector<PaletteEntry> *palette);

// `LoadPaletteFile`: ".PAL" files (any case) are read as text, other files as pictures
// unless they begin with a palette text's header.
// With `fill` every entry first becomes white. Loaded entries carry the no-collapse flag.
// Returns 0 or an I/O error code (106 when the file yields no palette).
int LoadPaletteFile(const QString &fileName, PaletteTable &table, bool fill,
                    int *entries = nullptr);

// The native file for a table: header, a notice line, "256", 256 lines of 6-bit
// components (shifted right by 2), then 256 lines of the 8-bit components; CR LF.
QByteArray paletteFileBytes(const PaletteTable &table);

// `SavePaletteFile`: writes the native file through a temporary file so a failed save
// leaves an old file as it was. Returns 0 or an I/O error code.
int SavePaletteFile(const QString &fileName, const PaletteTable &table);

// The author-side message for a palette that could not be loaded.
QString paletteLoadFailedMessage(const QString &fileName);

} // namespace vardeko
