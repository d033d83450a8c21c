// The texts of the object dialogs and of the action memo.
#pragma once

#include <QLatin1String>

namespace vardeko::DialogText {

inline constexpr QLatin1String Ok("OK");
inline constexpr QLatin1String Cancel("Cancel");
inline constexpr QLatin1String Apply("&Apply");
inline constexpr QLatin1String Browse("&Browse...");

// "Title Attributes"
inline constexpr QLatin1String TitleCaption("Title Attributes");
inline constexpr QLatin1String InsertSpecialCode("Insert special text code");
inline constexpr QLatin1String AlignLeft("&Left");
inline constexpr QLatin1String AlignCenter("&Center");
inline constexpr QLatin1String AlignRight("&Right");
inline constexpr QLatin1String Alignment("Alignment");
struct SpecialCode
{
    QLatin1String item;
    QLatin1String code;
};
inline constexpr SpecialCode SpecialCodes[] = {
        {QLatin1String("Page Title"), QLatin1String("[PageTitle]")},
        {QLatin1String("Page Number"), QLatin1String("[PageNumber]")},
        {QLatin1String("Time"), QLatin1String("[Time]")},
        {QLatin1String("Date (Short Format)"), QLatin1String("[DateShort]")},
        {QLatin1String("Date (Long Format)"), QLatin1String("[DateLong]")},
        {QLatin1String("Month"), QLatin1String("[Month]")},
        {QLatin1String("Month (Number)"), QLatin1String("[MonthNum]")},
        {QLatin1String("Day"), QLatin1String("[Day]")},
        {QLatin1String("Day (Number)"), QLatin1String("[DayNum]")},
        {QLatin1String("Year"), QLatin1String("[Year]")},
        {QLatin1String("Author Defined Variable"), QLatin1String("[VariableName]")},
};

// "Article Attributes" and "Image Attributes"
inline constexpr QLatin1String ArticleCaption("Article Attributes");
inline constexpr QLatin1String ImageCaption("Image Attributes");
inline constexpr QLatin1String FileLabel("&File:");
inline constexpr QLatin1String WordWrap("&Automatic Word Wrap");
inline constexpr QLatin1String SizeToFit("&Size Image to Fit Window");
inline constexpr QLatin1String AspectRatio("Maintain &Aspect Ratio");
inline constexpr QLatin1String ScrollBars("Scroll Bars");
inline constexpr QLatin1String VertScroll("&Vertical Scroll Bar");
inline constexpr QLatin1String HorzScroll("&Horizontal Scroll Bar");
inline constexpr QLatin1String ScrollLeft("&Left");
inline constexpr QLatin1String ScrollRight("&Right");
inline constexpr QLatin1String ScrollTop("&Top");
inline constexpr QLatin1String ScrollBottom("&Bottom");
inline constexpr QLatin1String SelectArticle("Select an Article");
inline constexpr QLatin1String ArticleFilter("Text|*.TXT;*.DOC");
inline constexpr QLatin1String SelectImage("Select an Image");
inline constexpr QLatin1String
        ImageFilter("Images|*.BMP;*.GIF;*.PCX;*.PNG;*.JPG;*.TIF;*.ICO;*.WMF|Flics|*.FLI;*.FLC");
inline constexpr QLatin1String
        ButtonImageFilter("Images|*.BMP;*.GIF;*.PCX;*.PNG;*.JPG;*.TIF;*.ICO;*.WMF");

// "Button Attributes"
inline constexpr QLatin1String ButtonCaption("Button Attributes");
inline constexpr QLatin1String GeneralTab("General Settings");
inline constexpr QLatin1String StyleTab("Button Style");
inline constexpr QLatin1String ActionTab("Button Action");
inline constexpr QLatin1String ButtonTextLabel("Button &Text:");
inline constexpr QLatin1String ShortCutLabel("&Shortcut Key:");
inline constexpr QLatin1String TextPlacement("Text Placement");
inline constexpr QLatin1String NextTo("&Next to Images");
inline constexpr QLatin1String OnTop("&On Top of Images");
inline constexpr QLatin1String StyleNames[] = {
        QLatin1String("&Push Button"),
        QLatin1String("&Text Entry"),
        QLatin1String("&Check Box"),
        QLatin1String("&Radio Button"),
};
inline constexpr QLatin1String VarNameLabel("&Variable Name:");
inline constexpr QLatin1String MaxLenLabel("&Maximum Length:");
inline constexpr QLatin1String InitialState("Initial State");
inline constexpr QLatin1String Down("&Down (Checked)");
inline constexpr QLatin1String Up("&Up (Unchecked)");
inline constexpr QLatin1String UpImageLabel("Up &Image:");
inline constexpr QLatin1String DownImageLabel("Do&wn Image:");
inline constexpr QLatin1String Opaque("O&paque Images");
inline constexpr QLatin1String Transparent("Tr&ansparent Images");

// The action memo
inline constexpr QLatin1String Cut("Cu&t");
inline constexpr QLatin1String Copy("&Copy");
inline constexpr QLatin1String Paste("&Paste");
inline constexpr QLatin1String Delete("De&lete");
inline constexpr QLatin1String Open("&Open...");
inline constexpr QLatin1String Save("&Save...");
inline constexpr QLatin1String Print("P&rint...");
inline constexpr QLatin1String InsertCommand("Insert Action Command");
inline constexpr QLatin1String InsertCommandHint("Select an Action Command from a list");
inline constexpr QLatin1String SaveScriptTitle("Save Action Script As");
inline constexpr QLatin1String ImportTitle("Select a File to Import");
inline constexpr QLatin1String AnyFileFilter("Any file (*.*)|*.*");
inline constexpr QLatin1String ReplaceTitle("Save");
inline constexpr QLatin1String ReplacePrefix("Replace existing: ");
inline constexpr QLatin1String ReplaceSuffix("?");

// "Adjust Object"
inline constexpr QLatin1String AdjustCaption("Adjust Object");
inline constexpr QLatin1String AdjustGroupCaption("Adjust Grouped Object");
inline constexpr QLatin1String AdjustPluralSuffix("s");
inline constexpr QLatin1String LeftLabel("&Left:");
inline constexpr QLatin1String TopLabel("&Top:");
inline constexpr QLatin1String WidthLabel("&Width:");
inline constexpr QLatin1String HeightLabel("&Height:");

} // namespace vardeko::DialogText
