#pragma once
// What ties text fields to the movie's scripts: a field bound to a variable
// reads it each frame and writes it as the user types; a click on a link
// either calls a function of the field's timeline ("asfunction:name,arg") or
// goes to the host as GetURL.

#include <string>

namespace swf {

class EditTextInstance;
class FocusManager;
class Stage;
class VmActionRunner;

// Gives a field with a variable name its source and sink. The variable is
// found from the field's timeline when used: "name", "path.name", "path:name".
void BindFieldVariable(EditTextInstance& field, VmActionRunner& runner);

// The field's onChanged handler runs after each edit by the user, its
// onScroller when its scroll values moved (checked once a frame).
void RaiseChangeEvents(EditTextInstance& field, Stage& stage, VmActionRunner& runner);
// Focus moves reach the fields, buttons and clips (onKillFocus(newFocus),
// onSetFocus(oldFocus)) and Selection's listeners (onSetFocus(oldFocus, newFocus)).
void RaiseFocusEvents(FocusManager& focus, Stage& stage, VmActionRunner& runner);

void FollowLink(Stage& stage, VmActionRunner& runner, EditTextInstance& field, const std::string& url,
                const std::string& target);

}  // namespace swf
