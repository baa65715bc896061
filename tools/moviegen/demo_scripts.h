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
inline constexpr const char* kPageBody = "pageBody";      // HTML field, device font, the page's text over its picture
inline constexpr const char* kBodyPlain = "bodyPlain";    // hidden HTML field that turns a body into plain text
inline constexpr const char* kRecording = "recording";    // the clip of the recording page, hidden on the others
// Instance names inside the recording clip.
inline constexpr const char* kRecordingScreen = "screen";  // the Video object the recording plays in
inline constexpr const char* kRecordingClock = "clock";    // device font, "0:03 / 0:09"
inline constexpr const char* kPlayButton = "playButton";   // Pause / Play, attached by script
// Where the play button lies in the recording clip (its box is 140 x 44).
inline constexpr int kPlayButtonX = 0, kPlayButtonY = 246;
// The variable the button symbol's label field shows.
inline constexpr const char* kButtonLabelVariable = "label";

// Init actions of the button symbol: _global.GuideButton extends MovieClip,
// shows its up / over / down frames as the pointer moves and presses, and on
// release calls the function of its parent named by its `action` member.
swf::writer::ActionAssembler ButtonClass();

// The first frame: attaches Close, Previous and Next, loads the guide's
// variables (title, pages, pageN, titleN, textN, videoN) from
// `pageFolder`/Page_var.txt, then every page's HTML body (textN), shows the
// pages with their titles, bodies and the counter, and searches the page
// titles, then the bodies' words, for what is typed into the search field when
// Enter is pressed. A page with a videoN plays that FLV file in the recording
// clip instead of a picture.
swf::writer::ActionAssembler GuideScript(const char* pageFolder);

// attachMovie("GuideButton", name, depth, {_x: x, _y: y, label: label, action: action})
// on the clip `owner` (empty: this).
void AttachButton(swf::writer::ActionAssembler& a, const char* owner, const char* name, int depth, int x, int y,
                  const char* label, const char* action);

// The recording page's functions (demo_recording_script.cpp), defined on the
// first frame before the first page shows: startRecording(file) plays
// `pageFolder` + file from its start in the recording clip and shows the clip,
// stopRecording() closes the stream and hides it, showPlayTime() writes the
// read-out; togglePlayback() is the play button's action. Also attaches that
// button and connects the NetConnection the streams use.
void RecordingScript(swf::writer::ActionAssembler& a, const char* pageFolder);

}  // namespace moviegen::demo
