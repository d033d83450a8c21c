// The program's name as its windows, About box and alerts show it.
#pragma once

namespace vardeko {

// Publication files keep their own header line; this is only the shown name.
inline constexpr char ProgramTitle[] = "Vardeko";

// The name the desktop knows the program by: its menu entry, icon and metadata files.
inline constexpr char ProgramAppId[] = "org.sarquel.Vardeko";

} // namespace vardeko
