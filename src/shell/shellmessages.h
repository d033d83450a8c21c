// Texts the main window, its dialogs and its file flows show.
#pragma once

#include "programtitle.h"

#include <QLatin1String>
#include <QString>

namespace vardeko::msg {

inline constexpr QLatin1String AppTitle = ProgramTitleText;
inline constexpr QLatin1String HelpFile("VARDEKO.HLP");
inline constexpr QLatin1String Untitled("Untitled");
inline constexpr QLatin1String MasterPage("Master Page");
inline constexpr QLatin1String PageWord("Page ");
inline constexpr QLatin1String OfWord(" of ");

// Printed by a start that handed its work to the editor already running on this display.
inline constexpr QLatin1String HandedToRunning("Handed to the running Vardeko: ");
inline constexpr QLatin1String RaisedRunning("Vardeko is already running on this display; its window was brought to the front.");

inline constexpr QLatin1String SelectPublication("Select a Publication");
inline constexpr QLatin1String PublicationFilter("Publications|*.PUB");
inline constexpr QLatin1String AnyFileFilter("Any file (*.*)|*.*");
inline constexpr QLatin1String FolderNotPublication("\n\nThis is a folder, not a publication.");
inline constexpr QLatin1String SaveTitle("Save");
inline constexpr QLatin1String SaveAsTitle("Save As");
inline constexpr QLatin1String ReplaceExisting("Replace existing: ");
inline constexpr QLatin1String EarlierVersion(
    "This publication was originally created with an\n"
    "earlier version of Vardeko. Saving it now under\n"
    "the same name would make it unreadable by the\n"
    "earlier version.\n"
    "\n"
    "Do you want to save it with this name anyway?\n"
    "(choose No to select a different name)");
inline constexpr QLatin1String HasBeenModified(
    "has been modified. Do you want to save the changes?");
inline constexpr QLatin1String DoesNotExist("Does not exist!");

inline constexpr QLatin1String ErrorReport("Error Report");
inline constexpr QLatin1String ConvertingDos("Converting DOS publication to Windows format.");
inline constexpr QLatin1String PleaseWait("Please wait...");
inline constexpr QLatin1String FilesNotFound(
    "The following files used by this publication cound not be found:");

inline constexpr QLatin1String AboutVersion("Version: 3\nFebruary 27, 1997");
inline constexpr QLatin1String AboutNotice("Copyright Sarquel. All rights reserved.");

inline constexpr QLatin1String ProgramFilter("Programs|*.EXE;*.COM;*.PIF;*.LNK;*.BAT");
inline constexpr QLatin1String SelectProgram("Select a Program");
inline constexpr QLatin1String CannotFindAssociation("Cannot Find Association");
inline constexpr QLatin1String NoAssociation(
    "No application is associated with this type of file!");
inline constexpr QLatin1String CartoonEditor("Crandel.EXE");
inline constexpr QLatin1String CannotStart("Unable to start the program:\n");
inline constexpr QLatin1String SaveFailed("The publication was not saved.");

// "Save " + file name + " As"
inline QString saveAsTitle(const QString &fileName)
{
    return QLatin1String("Save ") + fileName + QLatin1String(" As");
}

inline QString replaceExisting(const QString &path)
{
    return ReplaceExisting + path + QLatin1Char('?');
}

inline QString earlierVersionQuestion(const QString &fileName)
{
    return fileName + QLatin1String("\n\n") + EarlierVersion;
}

inline QString modifiedQuestion(const QString &fileName)
{
    return (fileName.isEmpty() ? QString(Untitled) : fileName) + QLatin1Char('\n') + HasBeenModified;
}

// Editor kind names are "Text", "Image", "Sound", "Video", "Cartoon".
inline QString missingEditor(const QString &kind)
{
    const bool vowel = !kind.isEmpty() && QStringLiteral("AEIOU").contains(kind.front().toUpper());
    return QLatin1String("You have not specified a") + (vowel ? QLatin1String("n") : QLatin1String(""))
        + QLatin1Char(' ') + kind + QLatin1String(" Editor. Check\n")
        + QLatin1String("the Utilies Page under Set Preferences in the\n")
        + QLatin1String("Options menu.");
}

inline QString missingEditorTitle(const QString &kind)
{
    return kind + QLatin1String(" Editor");
}

inline QString noAssociation(const QString &fileName)
{
    return QLatin1Char('"') + fileName + QLatin1String("\"\n\n") + NoAssociation;
}

} // namespace vardeko::msg
