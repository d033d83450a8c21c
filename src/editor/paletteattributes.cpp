// The tool palette's attributes applied to objects: by its buttons to the selection,
// by drops to one object.
#include "paletteattributes.h"

namespace vardeko {

void applyAttribute(PageObject &object, PaletteAttribute which, const ToolAttributes &values,
                    bool dropped)
{
    ArticleData *article = object.article();
    ButtonData *button = object.button();
    TextData *text = object.text();
    switch (which) {
    case PaletteAttribute::FillColor:
        object.FillColor = values.FillColor;
        if (dropped && object.FillPattern == 1)
            object.FillPattern = 0;
        break;
    case PaletteAttribute::FillPattern:
        object.FillPattern = values.FillPattern;
        object.FillMode = values.FillMode;
        break;
    case PaletteAttribute::LineColor:
        object.LineColor = values.LineColor;
        break;
    case PaletteAttribute::LineWidth:
        object.LineWidth = values.LineWidth;
        if (article)
            article->ReformatNeeded = true;
        break;
    case PaletteAttribute::LineStyle:
        // Styles only show on one-pixel lines.
        object.LineStyle = values.LineStyle;
        object.LineWidth = 1;
        break;
    case PaletteAttribute::FontColor:
        if (article)
            article->TextColor = values.FontColor;
        if (button)
            button->TextColor = values.FontColor;
        if (text)
            text->TextColor = values.FontColor;
        break;
    case PaletteAttribute::Font:
        if (article) {
            article->Font = values.Font;
            article->FontSize = values.FontSize;
            article->FontStyle = values.FontStyle;
            article->ReformatNeeded = true;
        }
        if (button) {
            button->Font = values.Font;
            button->FontSize = values.FontSize;
            button->FontStyle = values.FontStyle;
        }
        if (text) {
            text->Font = values.Font;
            text->FontSize = values.FontSize;
            text->FontStyle = values.FontStyle;
        }
        break;
    }
}

int applyAttributeToSelection(ObjectList &stack, PaletteAttribute which, const ToolAttributes &values)
{
    int changed = 0;
    for (ObjectPtr &o : stack) {
        if (!o->Selected)
            continue;
        applyAttribute(*o, which, values, false);
        ++changed;
    }
    return changed;
}

} // namespace vardeko
