// Measures object text with the fonts the page is drawn with.
#pragma once

#include "publication.h"

#include <QFont>

namespace vardeko {

// The font of an object: face name, size in points and the style bits.
QFont objectFont(const QString &face, int size, int style);

// Lays text out as Text objects are drawn: lines cut at "|", each as high as the
// letter "M", the widest line giving the width; "^" marks are not drawn.
class QtTextMeasurer : public TextMeasurer
{
public:
    QSize measureText(const QString &text, const QString &font, int size,
                      int style) const override;
};

} // namespace vardeko
