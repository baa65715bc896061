#pragma once
// What ties text fields to the movie's scripts: a field bound to a variable
// reads it each frame and writes it as the user types; a click on a link
// either calls a function of the field's timeline ("asfunction:name,arg") or
// goes to the host as GetURL.

#include <string>

namespace swf {

class EditTextInstance;
class Stage;
class VmActionRunner;

// Gives a field with a variable name its source and sink. The variable is
// found from the field's timeline when used: "name", "path.name", "path:name".
void BindFieldVariable(EditTextInstance& field, VmActionRunner& runner);

void FollowLink(Stage& stage, VmActionRunner& runner, EditTextInstance& field, const std::string& url,
                const std::string& target);

}  // namespace swf
