// The program's name as its windows, About box and alerts show it.
#pragma once

#include <QLatin1String>

namespace vardeko {

// Publication files keep their own header line; this is only the shown name.
inline constexpr char ProgramTitle[] = "Vardeko";
// Sized, so that it stays a constant expression in sanitizer builds (no null test).
inline constexpr QLatin1String ProgramTitleText(ProgramTitle, sizeof ProgramTitle - 1);

// The name the desktop knows the program by: its menu entry, icon and metadata files.
inline constexpr char ProgramAppId[] = "org.sarquel.Vardeko";

} // namespace vardeko
