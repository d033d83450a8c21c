// The texts the script library shows, kept in one place.
#pragma once

#include "programtitle.h"

namespace vardeko {

inline constexpr char MsgDebugTitle[] = "Debug";
inline constexpr const char *MsgAppTitle = ProgramTitle;
inline constexpr char MsgRequiresParams[] = "This Action requires ";
inline constexpr char MsgRequiresParamsTail[] =
    "!\r\rMake sure your parameters are surrounded\rby double quotes. For example:\r\r";
inline constexpr char MsgUnknownCommand[] = "I don't understand this command!";
inline constexpr char MsgCannotFind[] = "Cannot find: ";
inline constexpr char MsgLabelMissing[] = "GotoLine command references a label that does not exist.";
inline constexpr char MsgPageMissing[] = "Unable to locate this page!";
inline constexpr char MsgImageMissing[] = "Unable to load image file!";
inline constexpr char MsgError[] = "Error";

} // namespace vardeko
