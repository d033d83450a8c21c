// The texts of the action palette, the parameter dialog and the position dialog.
#pragma once

#include <QLatin1String>

namespace vardeko::ActionText {

using L = QLatin1String;

// Palette
inline constexpr L Basic("Basic");
inline constexpr L Advanced("Advanced");
inline constexpr L Both("Both");
inline constexpr L PaletteTitle("Action Commands");
inline constexpr L PaletteHint("Click a command to add it to the action script.");

// Parameter dialog
inline constexpr L CaptionPrefix("Define \"");
inline constexpr L CaptionSuffix("\" Action");
inline constexpr L Test("&Test");
inline constexpr L Ok("OK");
inline constexpr L Cancel("Cancel");
inline constexpr L Help("&Help");
inline constexpr L Browse("&Browse...");
inline constexpr L Options("Options");
inline constexpr L PlayNormal("&Start Playback and Continue Immediately (file will play only once)");
inline constexpr L PlayWait("&Wait for Playback to Finish before Continuing (file will play only once)");
inline constexpr L PlayLoop("&Play Continuously in the Background (loop)");
inline constexpr L ScreenLocation("Screen Location");
inline constexpr L Left("Left:");
inline constexpr L Top("Top:");
inline constexpr L Center("Center");
inline constexpr L ImageSize("Image Size");
inline constexpr L Width("Width:");
inline constexpr L Height("Height:");
inline constexpr L Auto("Auto");
inline constexpr L Position("&Position...");
inline constexpr L DisplayHowLong("Display How Long?");
inline constexpr L Milliseconds("&Milliseconds:");
inline constexpr L UntilClick("&Until Mouse click or Key press");
inline constexpr L DisplayEffect("Display &Effect:");
inline constexpr L Speed("Spee&d:");
inline constexpr L Fast("Fast");
inline constexpr L Slow("Slow");
inline constexpr L Low("Low");
inline constexpr L High("High");
inline constexpr L FontSample("AaBbYyZz");
inline constexpr L ChangeFont("Change &Font...");
inline constexpr L AvailablePages("&Available Pages:");
inline constexpr L PagesToSearch("Pages to &Search:");
inline constexpr L SearchAll("Search All Pages");
inline constexpr L SearchCurrent("Search only the Current Page");
inline constexpr L FindNote("NOTE: Pages will be searched in the order that they appear.");
inline constexpr L AddPage(">>");
inline constexpr L RemovePage("<<");
inline constexpr L StartingLocation("Starting Location");
inline constexpr L EndingLocation("Ending Location");
inline constexpr L X("X:");
inline constexpr L Y("Y:");
inline constexpr L RepeatSequence("&Repeat Animation Sequence:");
inline constexpr L TimesStartToEnd("Time(s) from Start to End");
inline constexpr L TestingDelay("Testing Delay Interval...");
inline constexpr L AppendToEnd("&Append to End of File");
inline constexpr L NoParameters("This command has no parameters to edit!");
inline constexpr L NotUnderstood("I don't understand this command!");
inline constexpr L DebugTitle("Debug");
inline constexpr L MciErrorTitle("MCI Error");
inline constexpr L MciErrorText("The MCI Command you executed returned the following error:");
inline constexpr L ImageMissing("Unable to load image file!");
inline constexpr L TestUnavailable("Trying this command needs the part of the program that shows it.");
inline constexpr L AnyFileFilter("Any file (*.*)|*.*");
inline constexpr L SelectFile("Select a File");

inline constexpr L IfNote("Then execute the action script until an EndIf or Else command is encountered. "
                          "Otherwise, execute the action script starting with the first line following "
                          "the next Else (optional) or EndIf command.");
inline constexpr L WhileNote("Execute the action script commands between this While and its matching "
                             "EndWhile statement. Continue executing this command block until the above "
                             "comparison is no longer true.");

// Block words an inserted If or While brings.
inline constexpr L Else("Else");
inline constexpr L EndIf("EndIf");
inline constexpr L EndWhile("EndWhile");

// The SystemInfo items, as the list shows them.
inline constexpr L SystemInfoItems[] = {
        L("PubAuthor"), L("PubColors"), L("PubDir"), L("PubHeight"), L("PubTitle"),
        L("PubWidth"), L("ScreenColors"), L("ScreenHeight"), L("ScreenWidth"),
        L("SystemDir"), L("TempDir"), L("UserName"), L("WindowsDir")};

// Position dialog
inline constexpr L PositionPrefix("Position \"");
inline constexpr L PositionSuffix("\" Object");
inline constexpr L Start("Start:");
inline constexpr L End("End:");
inline constexpr L Repeat("&Repeat:");
inline constexpr L Times("Time(s)");

} // namespace vardeko::ActionText
