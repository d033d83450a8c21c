// The texts run mode shows, kept in one place.
#pragma once

namespace vardeko::rmsg {

inline constexpr char PasswordTitle[] = "Password";
inline constexpr char PasswordNotCompiled[] =
    "Normally failing to enter the correct password\r"
    "would prevent you from exiting this publication.\r"
    "However, since this isn't a compiled program,\r"
    "you will be returned to Vardeko.";

inline constexpr char FindCaption[] = "Find";
inline constexpr char FindPrompt[] = "&Find What:";
inline constexpr char FindFirst[] = "Find &First";
inline constexpr char FindNext[] = "Find &Next";
inline constexpr char FindClose[] = "Close";
inline constexpr char FindNoPage[] = "This publication does not contain a page with this name.";
inline constexpr char FindCanceled[] = "Search canceled.";

inline constexpr char DebugCaption[] = " Debug Info";
inline constexpr char DebugVariables[] = "Variables";
inline constexpr char DebugActions[] = "Actions";

// DOSCommand's failures by the code of the program start.
inline constexpr char ProgramError0[] = "You do not have enough memory or the\rprogram is corrupt or invalid.";
inline constexpr char ProgramError2[] = "File does not exist.";
inline constexpr char ProgramError3[] = "Path does not exist.";
inline constexpr char ProgramError5[] =
    "An attempt was made to dynamically link to a task,\ror there was a sharing or network-protection error.";
inline constexpr char ProgramError8[] = "There is insufficient memory to start this application.";
inline constexpr char ProgramError10[] = "This application requires a different version of Windows.";
inline constexpr char ProgramError11[] =
    "The application's executable file is invalid. Either\rit is not a Windows application or the file is corrupt.";
inline constexpr char ProgramError12[] = "This application was designed for a different operating system.";
inline constexpr char ProgramError16[] = "This application is already running and cannot be loaded twice.";
inline constexpr char ProgramError19[] =
    "This application is compressed. The file must\rbe decompressed before it can be loaded.";
inline constexpr char ProgramError20[] = "A dynamic-link library (DLL) required by this application was invalid.";
inline constexpr char ProgramError21[] = "This application requires Windows 32-bit extensions.";
inline constexpr char ProgramError31[] = "No application is associated with this file!";
inline constexpr char ProgramErrorOther[] = "Unable to load this application.";

} // namespace vardeko::rmsg
