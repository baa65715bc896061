#pragma once
// The demo guide's ActionScript 2, as an authoring tool compiles it: a button
// class for the navigation, and the guide's own script on the first frame.

#include "swf/writer/action_assembler.h"

namespace moviegen::demo {

// The button symbol's linkage name and the class registered for it.
inline constexpr const char* kButtonLinkage = "GuideButton";

// Instance names on the main timeline the guide's script drives.
inline constexpr const char* kGuideTitle = "guideTitle";  // embedded font, the guide's title
inline constexpr const char* kPageTitle = "pageTitle";    // device font, the page's title or a search message
inline constexpr const char* kCounter = "counter";        // device font, "Page n of m"
inline constexpr const char* kSearch = "search";          // input field
inline constexpr const char* kHolder = "holder";          // the clip the page pictures load into
inline constexpr const char* kPageCard = "pageCard";      // the frame around the pages, with its drop shadow
// The variable the button symbol's label field shows.
inline constexpr const char* kButtonLabelVariable = "label";

// Init actions of the button symbol: _global.GuideButton extends MovieClip,
// shows its up / over / down frames as the pointer moves and presses, and on
// release calls the function of its parent named by its `action` member.
swf::writer::ActionAssembler ButtonClass();

// The first frame: attaches Close, Previous and Next, loads the guide's
// variables (title, pages, pageN, titleN) from `pageFolder`/Page_var.txt,
// shows the pages with their titles and the counter, and searches the page
// titles for what is typed into the search field when Enter is pressed.
swf::writer::ActionAssembler GuideScript(const char* pageFolder);

}  // namespace moviegen::demo
