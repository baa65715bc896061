#include "swf/actions/documented_methods.h"

#include <array>

namespace swf::actions {

namespace {

using Names = std::string_view;

constexpr Names kMovieClip[] = {"attachAudio",
                                "attachBitmap",
                                "attachMovie",
                                "beginBitmapFill",
                                "beginFill",
                                "beginGradientFill",
                                "clear",
                                "createEmptyMovieClip",
                                "createTextField",
                                "curveTo",
                                "duplicateMovieClip",
                                "endFill",
                                "getBounds",
                                "getBytesLoaded",
                                "getBytesTotal",
                                "getDepth",
                                "getInstanceAtDepth",
                                "getNextHighestDepth",
                                "getRect",
                                "getSWFVersion",
                                "getTextSnapshot",
                                "getURL",
                                "globalToLocal",
                                "gotoAndPlay",
                                "gotoAndStop",
                                "hitTest",
                                "lineGradientStyle",
                                "lineStyle",
                                "lineTo",
                                "loadMovie",
                                "loadVariables",
                                "localToGlobal",
                                "moveTo",
                                "nextFrame",
                                "play",
                                "prevFrame",
                                "removeMovieClip",
                                "setMask",
                                "startDrag",
                                "stop",
                                "stopDrag",
                                "swapDepths",
                                "unloadMovie"};
constexpr Names kTextField[] = {"addListener",      "getDepth",        "getNewTextFormat", "getTextFormat",
                                "removeListener",   "removeTextField", "replaceSel",       "replaceText",
                                "setNewTextFormat", "setTextFormat"};
constexpr Names kTextFieldStatics[] = {"getFontList"};
constexpr Names kString[] = {"charAt", "charCodeAt", "concat",      "indexOf",  "lastIndexOf", "slice",  "split",
                             "substr", "substring",  "toLowerCase", "toString", "toUpperCase", "valueOf"};
constexpr Names kStringStatics[] = {"fromCharCode"};
constexpr Names kArray[] = {"concat", "join", "pop",    "push",   "reverse",  "shift",
                            "slice",  "sort", "sortOn", "splice", "toString", "unshift"};
constexpr Names kDate[] = {"getDate",
                           "getDay",
                           "getFullYear",
                           "getHours",
                           "getMilliseconds",
                           "getMinutes",
                           "getMonth",
                           "getSeconds",
                           "getTime",
                           "getTimezoneOffset",
                           "getUTCDate",
                           "getUTCDay",
                           "getUTCFullYear",
                           "getUTCHours",
                           "getUTCMilliseconds",
                           "getUTCMinutes",
                           "getUTCMonth",
                           "getUTCSeconds",
                           "getUTCYear",
                           "getYear",
                           "setDate",
                           "setFullYear",
                           "setHours",
                           "setMilliseconds",
                           "setMinutes",
                           "setMonth",
                           "setSeconds",
                           "setTime",
                           "setUTCDate",
                           "setUTCFullYear",
                           "setUTCHours",
                           "setUTCMilliseconds",
                           "setUTCMinutes",
                           "setUTCMonth",
                           "setUTCSeconds",
                           "setYear",
                           "toString",
                           "valueOf"};
constexpr Names kDateStatics[] = {"UTC"};
constexpr Names kMath[] = {"abs", "acos", "asin", "atan", "atan2",  "ceil",  "cos", "exp",  "floor",
                           "log", "max",  "min",  "pow",  "random", "round", "sin", "sqrt", "tan"};
constexpr Names kKey[] = {"addListener", "getAscii",  "getCode",       "isAccessible",
                          "isDown",      "isToggled", "removeListener"};
constexpr Names kMouse[] = {"addListener", "hide", "removeListener", "show"};
constexpr Names kStage[] = {"addListener", "removeListener"};
constexpr Names kSelection[] = {"addListener", "getBeginIndex",  "getCaretIndex", "getEndIndex",
                                "getFocus",    "removeListener", "setFocus",      "setSelection"};
constexpr Names kSystem[] = {"setClipboard", "showSettings"};
constexpr Names kXmlNode[] = {
    "appendChild", "cloneNode", "getNamespaceForPrefix", "getPrefixForNamespace", "hasChildNodes", "insertBefore",
    "removeNode",  "toString"};
// XML documents are nodes too: their prototype's chain reaches XMLNode's.
constexpr Names kXml[] = {"addRequestHeader", "createElement", "createTextNode",
                          "getBytesLoaded",   "getBytesTotal", "load",
                          "parseXML",         "send",          "sendAndLoad"};
constexpr Names kLoadVars[] = {"addRequestHeader", "decode",  "getBytesLoaded", "getBytesTotal", "load", "send",
                               "sendAndLoad",      "toString"};
constexpr Names kMovieClipLoader[] = {"addListener", "getProgress", "loadClip", "removeListener", "unloadClip"};
constexpr Names kTextFormat[] = {"getTextExtent"};
constexpr Names kObject[] = {"addProperty",   "hasOwnProperty", "isPropertyEnumerable",
                             "isPrototypeOf", "toString",       "unwatch",
                             "valueOf",       "watch"};
constexpr Names kObjectStatics[] = {"registerClass"};
constexpr Names kFunction[] = {"apply", "call"};
constexpr Names kNumber[] = {"toString", "valueOf"};

constexpr std::array kClasses = {
    DocumentedClass{"MovieClip", kMovieClip, {}},
    DocumentedClass{"TextField", kTextField, kTextFieldStatics},
    DocumentedClass{"String", kString, kStringStatics},
    DocumentedClass{"Array", kArray, {}},
    DocumentedClass{"Date", kDate, kDateStatics},
    DocumentedClass{"Math", {}, kMath},
    DocumentedClass{"Key", {}, kKey},
    DocumentedClass{"Mouse", {}, kMouse},
    DocumentedClass{"Stage", {}, kStage},
    DocumentedClass{"Selection", {}, kSelection},
    DocumentedClass{"System", {}, kSystem},
    DocumentedClass{"XML", kXml, {}},
    DocumentedClass{"XMLNode", kXmlNode, {}},
    DocumentedClass{"LoadVars", kLoadVars, {}},
    DocumentedClass{"MovieClipLoader", kMovieClipLoader, {}},
    DocumentedClass{"TextFormat", kTextFormat, {}},
    DocumentedClass{"Function", kFunction, {}},
    DocumentedClass{"Number", kNumber, {}},
    DocumentedClass{"Boolean", kNumber, {}},
    // Last: every class's prototype chain ends at Object's.
    DocumentedClass{"Object", kObject, kObjectStatics},
};

}  // namespace

std::span<const DocumentedClass> DocumentedClasses() { return kClasses; }

}  // namespace swf::actions
