// The texts the tool palette and its pop-up palettes show.
#pragma once

#include <QLatin1String>

namespace vardeko::WidgetText {

inline constexpr QLatin1String ToolsCaption("Tools");
inline constexpr QLatin1String PointerHint("Pointer");
inline constexpr QLatin1String ArticleHint("Article");
inline constexpr QLatin1String ButtonHint("Button");
inline constexpr QLatin1String PictureHint("Picture");
inline constexpr QLatin1String RectangleHint("Rectangle");
inline constexpr QLatin1String CircleHint("Circle");
inline constexpr QLatin1String LineHint("Line");
inline constexpr QLatin1String TextHint("Text");

inline constexpr QLatin1String FillLabel("Fill:");
inline constexpr QLatin1String LineLabel("Line:");
inline constexpr QLatin1String FontLabel("Font:");
inline constexpr QLatin1String Solid("Solid");
inline constexpr QLatin1String Hollow("Hollow");
inline constexpr QLatin1String Transparent("Transparent");
inline constexpr QLatin1String PatternHint("Pattern %1");
inline constexpr QLatin1String FillColorHint("Fill colour");
inline constexpr QLatin1String FillPatternHint("Fill pattern");
inline constexpr QLatin1String LineColorHint("Line colour");
inline constexpr QLatin1String LineWidthHint("Line width");
inline constexpr QLatin1String LineStyleHint("Line style");
inline constexpr QLatin1String FontColorHint("Font colour");
inline constexpr QLatin1String FontHint("Font");
inline constexpr QLatin1String WidthText("%1 pt");
inline constexpr QLatin1String OtherColor("&Other...");
inline constexpr QLatin1String ExpandHint("Show or hide the attributes");
inline constexpr QLatin1String RollUpHint("Roll up or down");
inline constexpr QLatin1String NudgeUp("Nudge up");
inline constexpr QLatin1String NudgeDown("Nudge down");
inline constexpr QLatin1String NudgeLeft("Nudge left");
inline constexpr QLatin1String NudgeRight("Nudge right");

inline constexpr QLatin1String LineStyleNames[] = {
        QLatin1String("Solid"),    QLatin1String("Dash"),         QLatin1String("Dot"),
        QLatin1String("Dash Dot"), QLatin1String("Dash Dot Dot"),
};

} // namespace vardeko::WidgetText
