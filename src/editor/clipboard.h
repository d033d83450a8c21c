// Cut, Copy and Paste of page objects through the system clipboard, and pasted pictures.
#pragma once

#include <QByteArray>
#include <QString>

class QImage;
class QMimeData;

namespace vardeko {

class EditController;

// A BMP file made of a device-independent bitmap as a clipboard holds it (header,
// colour table, pixels): "BM", the file size, zero, the pixel offset, then the bitmap.
// An image size of 0 in the header is worked out from the rows, so every row is written.
// Empty, with the reason in `error`, when the header does not describe the bytes.
QByteArray bmpFileFromDib(const QByteArray &dib, QString *error = nullptr);

// The device-independent bitmap of an image: a 40-byte header, bottom-up 24-bit rows.
QByteArray dibFromImage(const QImage &image);

// True when the clipboard holds something Paste can use: text or a picture.
bool canPaste(const QMimeData *data);

// Copy puts the exchange text of the current page's selection on the clipboard; Cut
// then deletes the selection.
void copySelection(EditController &controller);
void cutSelection(EditController &controller);

// Pastes clipboard data onto the current page: exchange text as objects, other text as
// a Text object centred on the page, a picture saved as a BMP file and shown as a Picture.
// `imageDir` is the folder proposed for pasted pictures and receives the one chosen.
// True when the page changed.
bool pasteData(EditController &controller, const QMimeData *data, QString &imageDir);

} // namespace vardeko
