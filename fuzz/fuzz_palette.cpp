// Feeds arbitrary bytes to the palette text reader, the picture colour-table readers
// and the language file parser.
#include "languagefile.h"
#include "palettefile.h"
#include "textcodec.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

using namespace vardeko;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    PaletteTable table = defaultPaletteTable();
    int entries = 0;
    readPaletteText(bytes, table, &entries);
    if (entries < 0 || entries > 256)
        __builtin_trap();
    std::vector<PaletteEntry> palette;
    if (readPicturePalette(bytes, &palette) == 0 && (palette.empty() || palette.size() > 256))
        __builtin_trap();
    LanguageTexts texts;
    parseLanguageText(decodeFileText(bytes), &texts);
    return 0;
}
