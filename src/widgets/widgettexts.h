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

// The mouse position window and the captions of its read-out.
inline constexpr QLatin1String MouseCaption("Mouse Position");
inline constexpr QLatin1String ObjectPositionCaption("Object Position");
inline constexpr QLatin1String ObjectSizeCaption("Object Size");
inline constexpr QLatin1String SelectAreaCaption("Select Area");
inline constexpr QLatin1String XLabel("X:");
inline constexpr QLatin1String YLabel("Y:");
inline constexpr QLatin1String WidthLabel("Width:");
inline constexpr QLatin1String HeightLabel("Height:");

// The drag-and-drop file selector.
inline constexpr QLatin1String FileListCaption("File List");
inline constexpr QLatin1String FolderHint("Folder shown; type a path and press Enter");
inline constexpr QLatin1String UpHint("Up one folder");
inline constexpr QLatin1String BrowseHint("Choose a folder");
inline constexpr QLatin1String ChooseFolderTitle("Choose a Folder");
inline constexpr QLatin1String TypeHint("Files shown");
inline constexpr QLatin1String DragHint("Drag files onto a page, or an image onto a page tab");
inline constexpr QLatin1String NoSuchFolder("Folder not found");

} // namespace vardeko::WidgetText
