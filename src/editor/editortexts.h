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

// The names of the steps of a window's history ("Undo Move", "Redo Delete").
namespace step {
inline constexpr QLatin1String Draw("Draw");
inline constexpr QLatin1String Move("Move");
inline constexpr QLatin1String Copy("Copy");
inline constexpr QLatin1String Resize("Resize");
inline constexpr QLatin1String MoveToPage("Move to Page");
inline constexpr QLatin1String CopyToPage("Copy to Page");
inline constexpr QLatin1String MoveToWindow("Move to Other Window");
inline constexpr QLatin1String CopyToWindow("Copy to Other Window");
inline constexpr QLatin1String DropObjects("Drop Objects");
inline constexpr QLatin1String SelectAll("Select All");
inline constexpr QLatin1String Delete("Delete");
inline constexpr QLatin1String Cut("Cut");
inline constexpr QLatin1String Paste("Paste");
inline constexpr QLatin1String Duplicate("Duplicate");
inline constexpr QLatin1String Group("Group");
inline constexpr QLatin1String UnGroup("UnGroup");
inline constexpr QLatin1String BringToFront("Bring to Front");
inline constexpr QLatin1String SendToBack("Send to Back");
inline constexpr QLatin1String Align("Align");
inline constexpr QLatin1String EditObject("Edit Object");
inline constexpr QLatin1String AdjustObject("Adjust Object");
inline constexpr QLatin1String Attribute("Change Attribute");
inline constexpr QLatin1String DropFiles("Drop Files");
inline constexpr QLatin1String AddPage("Add Page");
inline constexpr QLatin1String CopyPage("Copy Page");
inline constexpr QLatin1String MovePage("Move Page");
inline constexpr QLatin1String RenamePage("Rename Page");
inline constexpr QLatin1String DeletePage("Delete Page");
inline constexpr QLatin1String PageAttributes("Page Attributes");
inline constexpr QLatin1String PageLayout("Page Layout");
inline constexpr QLatin1String PublicationSetup("Publication Setup");
inline constexpr QLatin1String ShowMasterItems("Show Master Items");
inline constexpr QLatin1String PageWallpaper("Page Wallpaper");
} // namespace step

// The Edit menu's history commands and window.
inline constexpr QLatin1String UndoText("&Undo");
inline constexpr QLatin1String RedoText("&Redo");
inline constexpr QLatin1String HistoryCaption("Undo History");
inline constexpr QLatin1String HistoryStart("<as opened>");

// The object limit, as the model's error table words it.
inline constexpr QLatin1String ErrorTitle = ProgramTitleText;

} // namespace vardeko::edtext
