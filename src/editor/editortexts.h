// The texts the page editor shows: read-out captions, file questions and alerts.
#pragma once

#include "dialogtexts.h"
#include "programtitle.h"
#include "widgettexts.h"

#include <QLatin1String>

namespace vardeko::edtext {

// Captions of the mouse position read-out; the mouse position window shows them.
inline constexpr QLatin1String ObjectSize = WidgetText::ObjectSizeCaption;
inline constexpr QLatin1String ObjectPosition = WidgetText::ObjectPositionCaption;
inline constexpr QLatin1String SelectArea = WidgetText::SelectAreaCaption;
inline constexpr QLatin1String MousePosition = WidgetText::MouseCaption;

// Files asked for when an object is drawn: the same questions as the object dialogs'.
inline constexpr QLatin1String SelectArticle = DialogText::SelectArticle;
inline constexpr QLatin1String ArticleFilter = DialogText::ArticleFilter;
inline constexpr QLatin1String SelectImage = DialogText::SelectImage;
inline constexpr QLatin1String ImageFilter = DialogText::ImageFilter;

// Pasting a clipboard picture.
inline constexpr QLatin1String SaveClipboardImage("Save Clipboard Image As");
inline constexpr QLatin1String PastedImagesFilter("Pasted Images|*.BMP");
inline constexpr QLatin1String SaveTitle("Save");
inline constexpr QLatin1String ReplaceExisting("Replace existing: ");
inline constexpr QLatin1String UnableToSaveClipboard("Unable to save clipboard data to file.");

// Dropped files.
inline constexpr QLatin1String NotValidImage("This is not a valid image file!");
inline constexpr QLatin1String DropImageClass("Images|*.BMP;*.GIF;*.PCX;*.PNG;*.JPG;*.TIF;*.ICO;*.WMF;");
inline constexpr QLatin1String DropAudioClass("Audio|*.WAV;*.MID;*.RMI;");
inline constexpr QLatin1String DropVideoClass("Video|*.AVI;*.MOV;*.MPG;");
inline constexpr QLatin1String DropFlicClass("Flics|*.FLI;*.FLC;");
inline constexpr QLatin1String DropCartoonClass("Cartoons|*.CAR;");
inline constexpr QLatin1String DropMediaClass(
    "Audio|*.WAV;*.MID;*.RMI;Video|*.AVI;*.MOV;*.MPG;Flics|*.FLI;*.FLC;"
    "Programs|*.EXE;*.COM;*.PIF;*.LNK;*.BAT;Cartoons|*.CAR;");

// The Align Object dialog.
inline constexpr QLatin1String AlignCaption("Align Object");
inline constexpr QLatin1String ChooseAlignment("Choose Alignment");
inline constexpr QLatin1String AlignLeft("&Left");
inline constexpr QLatin1String AlignCenter("&Center");
inline constexpr QLatin1String AlignRight("&Right");
inline constexpr QLatin1String AlignNoneH("&None");
inline constexpr QLatin1String AlignTop("&Top");
inline constexpr QLatin1String AlignMiddle("&Middle");
inline constexpr QLatin1String AlignBottom("&Bottom");
inline constexpr QLatin1String AlignNoneV("N&one");
inline constexpr QLatin1String AlignRelative("R&elative to Other Selected Objects");

// The object limit, as the model's error table words it.
inline constexpr QLatin1String ErrorTitle = ProgramTitleText;

} // namespace vardeko::edtext
