#pragma once
// XML documents as scripts see them, for the code that loads them.

#include <string>

#include "swf/actions/interpreter.h"

namespace swf::actions {

// Replaces the children of `document` (an XML object) with the parsed `text`
// and sets its status, xmlDecl and docTypeDecl, as XML.parseXML does.
void ParseXmlInto(Interpreter& in, Object* document, const std::string& text);

// The end of XML.load/sendAndLoad: on success the text is parsed into the
// document; then `loaded` is set and the document's onLoad(success) runs.
// XML.prototype.load itself is installed by the movie-loading code, which
// calls this when the data arrives.
void XmlLoaded(Interpreter& in, Object* document, bool success, const std::string& text);

}  // namespace swf::actions
