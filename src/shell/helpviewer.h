// Shows the help pages shipped with the program, one page per topic number.
#pragma once

#include <QUrl>

class QWidget;

namespace vardeko {

inline constexpr int HelpContentsTopic = 110;
inline constexpr int PageLayoutHelpTopic = 202;
inline constexpr int GotoPageHelpTopic = 203;
inline constexpr int PageAttributesHelpTopic = 204;
inline constexpr int PreferencesHelpTopic = 219;
inline constexpr int PositionHelpTopic = 221;
inline constexpr int CompileHelpTopic = 222;

// The address of a topic's page, or an empty address when no page is shipped for it.
QUrl helpTopicUrl(int topic);

// Opens the help window on a topic; false when the topic has no page.
bool showHelpTopic(QWidget *parent, int topic);

} // namespace vardeko
