// The demo guide's ActionScript 2, written action by action as a compiler
// emits it; each function's comment gives its source.

#include "tools/moviegen/demo_scripts.h"

#include <string>

#include "tools/moviegen/script_pieces.h"

namespace moviegen::demo {

using swf::writer::ActionAssembler;
using swf::writer::ActionCode;

namespace {

constexpr const char* kButtonClass = "GuideButton";
// Frames a new page takes to come in from its blur.
constexpr int kFadeFrames = 8;

// function () { this.gotoAndStop(frame); }
ActionAssembler ShowButtonFrame(const char* frame) {
    ActionAssembler f;
    f.PushString(frame);
    CallMethod(f, "", "gotoAndStop", 1).Action(ActionCode::Pop);
    return f;
}

// this.filters = on ? [new flash.filters.GlowFilter(0xFFD27A, 0.9, 14, 14, 2, 3)] : [];
void Glow(ActionAssembler& f, bool on) {
    Get(f, "this").PushString("filters");
    if (on) {
        PushNumbers(f, {0xFFD27A, 0.9, 14, 14, 2, 3});
        NewPackaged(f, "flash.filters", "GlowFilter", 6).PushNumber(1);
    } else {
        f.PushNumber(0);
    }
    f.Action(ActionCode::InitArray).Action(ActionCode::SetMember);
}

// function () { this.gotoAndStop(frame); <Glow(on)> }: the pointer's or the keyboard's focus.
ActionAssembler FocusButton(const char* frame, bool on) {
    ActionAssembler f = ShowButtonFrame(frame);
    Glow(f, on);
    return f;
}

// function () { this.filters = on ? [glow] : []; }
ActionAssembler GlowOnly(bool on) {
    ActionAssembler f;
    Glow(f, on);
    return f;
}

// function () { this.gotoAndStop("over"); this._parent[this.action](); }
ActionAssembler ButtonRelease() {
    ActionAssembler f = ShowButtonFrame("over");
    f.PushNumber(0);
    This(f, "_parent");
    This(f, "action").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    return f;
}

// function showPageTitle() { var t = vars["title" + page]; pageTitle.text = t == undefined ? "" : t; }
ActionAssembler ShowPageTitle() {
    ActionAssembler f;
    f.PushString("t");
    Get(f, "vars").PushString("title");
    Get(f, "page").Action(ActionCode::Add2).Action(ActionCode::GetMember).Action(ActionCode::DefineLocal);
    Get(f, kPageTitle).PushString("text");
    Get(f, "t").PushUndefined().Action(ActionCode::Equals2).If("untitled");
    Get(f, "t").Jump("set");
    f.Label("untitled").PushString("");
    f.Label("set").Action(ActionCode::SetMember);
    return f;
}

// function showPage() {
//     fade = 8;
//     counter.text = "Page " + page + " of " + pages;
//     previousButton._visible = page > 1;
//     nextButton._visible = page < pages;
//     showPageTitle();
//     showBody();
//     stopRecording();
//     var file = vars["page" + page];
//     var movie = vars["video" + page];
//     if (movie != undefined) { holder.unloadMovie(); startRecording(movie); }
//     else if (file != undefined) holder.loadMovie(pageFolder + file);
// }
ActionAssembler ShowPage(const char* pageFolder) {
    ActionAssembler f;
    f.PushString("fade").PushNumber(kFadeFrames).Action(ActionCode::SetVariable);
    Get(f, kCounter).PushString("text").PushString("Page ");
    Get(f, "page").Action(ActionCode::Add2).PushString(" of ").Action(ActionCode::Add2);
    Get(f, "pages").Action(ActionCode::Add2).Action(ActionCode::SetMember);
    Get(f, "previousButton").PushString("_visible");
    Get(f, "page").PushNumber(1).Action(ActionCode::Greater).Action(ActionCode::SetMember);
    Get(f, "nextButton").PushString("_visible");
    Get(f, "page");
    Get(f, "pages").Action(ActionCode::Less2).Action(ActionCode::SetMember);
    CallFunction(f, "showPageTitle", 0).Action(ActionCode::Pop);
    CallFunction(f, "showBody", 0).Action(ActionCode::Pop);
    CallFunction(f, "stopRecording", 0).Action(ActionCode::Pop);
    f.PushString("file");
    Get(f, "vars").PushString("page");
    Get(f, "page").Action(ActionCode::Add2).Action(ActionCode::GetMember).Action(ActionCode::DefineLocal);
    f.PushString("movie");
    Get(f, "vars").PushString("video");
    Get(f, "page").Action(ActionCode::Add2).Action(ActionCode::GetMember).Action(ActionCode::DefineLocal);
    Get(f, "movie").PushUndefined().Action(ActionCode::Equals2).If("picture");
    CallMethod(f, kHolder, "unloadMovie", 0).Action(ActionCode::Pop);
    Get(f, "movie");
    CallFunction(f, "startRecording", 1).Action(ActionCode::Pop);
    f.Jump("end");
    f.Label("picture");
    Get(f, "file").PushUndefined().Action(ActionCode::Equals2).If("end");
    f.PushString(pageFolder);
    Get(f, "file").Action(ActionCode::Add2);
    CallMethod(f, kHolder, "loadMovie", 1).Action(ActionCode::Pop);
    f.Label("end");
    return f;
}

// function nextPage() { if (page < pages) { page++; showPage(); } }
// function previousPage() { if (1 < page) { page--; showPage(); } }
ActionAssembler TurnPage(bool forward) {
    ActionAssembler f;
    if (forward) {
        Get(f, "page");
        Get(f, "pages");
    } else {
        f.PushNumber(1);
        Get(f, "page");
    }
    f.Action(ActionCode::Less2).Action(ActionCode::Not).If("end");
    f.PushString("page");
    Get(f, "page").Action(forward ? ActionCode::Increment : ActionCode::Decrement).Action(ActionCode::SetVariable);
    CallFunction(f, "showPage", 0).Action(ActionCode::Pop);
    f.Label("end");
    return f;
}

// if (!(i < pages + 1)) goto `done`: a `pages` that is no number (NaN) ends the loop too.
void LoopWhileAPage(ActionAssembler& f, const std::string& done) {
    Get(f, "i");
    Get(f, "pages").PushNumber(1).Action(ActionCode::Add2).Action(ActionCode::Less2).Action(ActionCode::Not).If(done);
}

// for (var i = 1; i < pages + 1; i++) {
//     var t = <what page i is searched in>;
//     if (t != undefined && !(t.toLowerCase().indexOf(w) < 0)) { page = i; showPage(); return; }
// }
// `pushText` pushes that text for the local i; the return jumps to "end".
// Labels start with `name`, so that one function can hold several loops.
void SearchPages(ActionAssembler& f, const std::string& name, void (*pushText)(ActionAssembler&)) {
    f.PushString("i").PushNumber(1).Action(ActionCode::DefineLocal);
    f.Label(name + "_loop");
    LoopWhileAPage(f, name + "_done");
    f.PushString("t");
    pushText(f);
    f.Action(ActionCode::DefineLocal);
    Get(f, "t").PushUndefined().Action(ActionCode::Equals2).If(name + "_next");
    Get(f, "w").PushNumber(1);
    CallMethod(f, "t", "toLowerCase", 0).PushString("indexOf").Action(ActionCode::CallMethod);
    f.PushNumber(0).Action(ActionCode::Less2).If(name + "_next");
    f.PushString("page");
    Get(f, "i").Action(ActionCode::SetVariable);
    CallFunction(f, "showPage", 0).Action(ActionCode::Pop);
    f.Jump("end");
    f.Label(name + "_next").PushString("i");
    Get(f, "i").Action(ActionCode::Increment).Action(ActionCode::SetVariable);
    f.Jump(name + "_loop");
    f.Label(name + "_done");
}

// function findPage(word) {
//     if (word == "") return;
//     var n = Number(word);
//     if (n > 0 && !(n < 1) && n < pages + 1) { page = Math.floor(n); showPage(); return; }
//     var w = word.toLowerCase();
//     <SearchPages: vars["title" + i]>   // the titles first,
//     <SearchPages: texts[i]>            // then the bodies' plain text
//     pageTitle.text = "No page matches \"" + word + "\"";
// }
// The comparisons are written so that a word that is no number (NaN) fails them.
ActionAssembler FindPage() {
    ActionAssembler f;
    Get(f, "word").PushString("").Action(ActionCode::Equals2).If("end");
    f.PushString("n");
    Get(f, "word");
    CallFunction(f, "Number", 1).Action(ActionCode::DefineLocal);
    Get(f, "n").PushNumber(0).Action(ActionCode::Greater).Action(ActionCode::Not).If("words");
    Get(f, "n").PushNumber(1).Action(ActionCode::Less2).If("words");
    Get(f, "n");
    Get(f, "pages")
        .PushNumber(1)
        .Action(ActionCode::Add2)
        .Action(ActionCode::Less2)
        .Action(ActionCode::Not)
        .If("words");
    f.PushString("page");
    Get(f, "n");
    CallMethod(f, "Math", "floor", 1).Action(ActionCode::SetVariable);
    CallFunction(f, "showPage", 0).Action(ActionCode::Pop);
    f.Jump("end");

    f.Label("words").PushString("w");
    CallMethod(f, "word", "toLowerCase", 0).Action(ActionCode::DefineLocal);
    SearchPages(f, "titles", [](ActionAssembler& a) {
        Get(a, "vars").PushString("title");
        Get(a, "i").Action(ActionCode::Add2).Action(ActionCode::GetMember);
    });
    SearchPages(f, "bodies", [](ActionAssembler& a) {
        Get(a, "texts");
        Get(a, "i").Action(ActionCode::GetMember);
    });
    Get(f, kPageTitle).PushString("text").PushString("No page matches \"");
    Get(f, "word").Action(ActionCode::Add2).PushString("\"").Action(ActionCode::Add2).Action(ActionCode::SetMember);
    f.Label("end");
    return f;
}

// function showBody() { var b = bodies[page]; pageBody.htmlText = b == undefined ? "" : b; }
ActionAssembler ShowBody() {
    ActionAssembler f;
    f.PushString("b");
    Get(f, "bodies");
    Get(f, "page").Action(ActionCode::GetMember).Action(ActionCode::DefineLocal);
    Get(f, kPageBody).PushString("htmlText");
    Get(f, "b").PushUndefined().Action(ActionCode::Equals2).If("none");
    Get(f, "b").Jump("set");
    f.Label("none").PushString("");
    f.Label("set").Action(ActionCode::SetMember);
    return f;
}

// function bodyLoaded(src) {  // the onData of a body's LoadVars: src is the file's text
//     if (src == undefined) return;  // a missing body leaves its page without one
//     bodies[this.forPage] = src;
//     bodyPlain.htmlText = src;  // the field's own HTML reading strips the tags
//     texts[this.forPage] = bodyPlain.text;
//     if (this.forPage == page) showBody();
// }
ActionAssembler BodyLoaded() {
    ActionAssembler f;
    Get(f, "src").PushUndefined().Action(ActionCode::Equals2).If("end");
    Get(f, "bodies");
    This(f, "forPage");
    Get(f, "src").Action(ActionCode::SetMember);
    Get(f, kBodyPlain).PushString("htmlText");
    Get(f, "src").Action(ActionCode::SetMember);
    Get(f, "texts");
    This(f, "forPage");
    Member(Get(f, kBodyPlain), "text").Action(ActionCode::SetMember);
    This(f, "forPage");
    Get(f, "page").Action(ActionCode::Equals2).Action(ActionCode::Not).If("end");
    CallFunction(f, "showBody", 0).Action(ActionCode::Pop);
    f.Label("end");
    return f;
}

// function loadBodies() {
//     for (var i = 1; i < pages + 1; i++) {
//         var file = vars["text" + i];
//         if (file != undefined) {
//             var body = new LoadVars();
//             body.forPage = i;
//             body.onData = bodyLoaded;  // the raw text, not variables
//             body.load(pageFolder + file);
//         }
//     }
// }
ActionAssembler LoadBodies(const char* pageFolder) {
    ActionAssembler f;
    f.PushString("i").PushNumber(1).Action(ActionCode::DefineLocal);
    f.Label("loop");
    LoopWhileAPage(f, "end");
    f.PushString("file");
    Get(f, "vars").PushString("text");
    Get(f, "i").Action(ActionCode::Add2).Action(ActionCode::GetMember).Action(ActionCode::DefineLocal);
    Get(f, "file").PushUndefined().Action(ActionCode::Equals2).If("next");
    f.PushString("body").PushNumber(0).PushString("LoadVars").Action(ActionCode::NewObject);
    f.Action(ActionCode::DefineLocal);
    Get(f, "body").PushString("forPage");
    Get(f, "i").Action(ActionCode::SetMember);
    Get(f, "body").PushString("onData");
    Get(f, "bodyLoaded").Action(ActionCode::SetMember);
    f.PushString(pageFolder);
    Get(f, "file").Action(ActionCode::Add2);
    CallMethod(f, "body", "load", 1).Action(ActionCode::Pop);
    f.Label("next").PushString("i");
    Get(f, "i").Action(ActionCode::Increment).Action(ActionCode::SetVariable);
    f.Jump("loop");
    f.Label("end");
    return f;
}

// function () { if (Key.getCode() == Key.ENTER && eval(Selection.getFocus()) == search) findPage(search.text); }
ActionAssembler SearchOnEnter() {
    ActionAssembler f;
    CallMethod(f, "Key", "getCode", 0);
    Member(Get(f, "Key"), "ENTER").Action(ActionCode::Equals2).Action(ActionCode::Not).If("end");
    CallMethod(f, "Selection", "getFocus", 0).Action(ActionCode::GetVariable);
    Get(f, kSearch).Action(ActionCode::Equals2).Action(ActionCode::Not).If("end");
    Member(Get(f, kSearch), "text");
    CallFunction(f, "findPage", 1).Action(ActionCode::Pop);
    f.Label("end");
    return f;
}

// function () {
//     if (eval(Selection.getFocus()) == search) return;  // the arrows move the caret there
//     var k = Key.getCode();
//     if (k == Key.RIGHT || k == Key.PGDN) nextPage();
//     else if (k == Key.LEFT || k == Key.PGUP) previousPage();
// }
ActionAssembler PageKeys() {
    ActionAssembler f;
    CallMethod(f, "Selection", "getFocus", 0).Action(ActionCode::GetVariable);
    Get(f, kSearch).Action(ActionCode::Equals2).If("end");
    CallMethod(f, "Key", "getCode", 0).StoreRegister(0).Action(ActionCode::Pop);
    for (const auto& [keys, turn] :
         {std::pair{std::pair{"RIGHT", "PGDN"}, "nextPage"}, std::pair{std::pair{"LEFT", "PGUP"}, "previousPage"}}) {
        const std::string label = std::string("not_") + turn;
        f.PushRegister(0);
        Member(Get(f, "Key"), keys.first).Action(ActionCode::Equals2);
        f.PushRegister(0);
        Member(Get(f, "Key"), keys.second).Action(ActionCode::Equals2);
        f.Action(ActionCode::Or).Action(ActionCode::Not).If(label);
        CallFunction(f, turn, 0).Action(ActionCode::Pop);
        f.Jump("end");
        f.Label(label);
    }
    f.Label("end");
    return f;
}

// function (ok) {
//     if (ok) { pages = Number(this.pages); if (this.title != undefined) guideTitle.text = this.title; }
//     showPage();
//     if (ok) loadBodies();
// }
ActionAssembler OnVariablesLoaded() {
    ActionAssembler f;
    Get(f, "ok").Action(ActionCode::Not).If("show");
    f.PushString("pages");
    This(f, "pages");
    CallFunction(f, "Number", 1).Action(ActionCode::SetVariable);
    This(f, "title").PushUndefined().Action(ActionCode::Equals2).If("show");
    Get(f, kGuideTitle).PushString("text");
    This(f, "title").Action(ActionCode::SetMember);
    f.Label("show");
    CallFunction(f, "showPage", 0).Action(ActionCode::Pop);
    Get(f, "ok").Action(ActionCode::Not).If("end");
    CallFunction(f, "loadBodies", 0).Action(ActionCode::Pop);
    f.Label("end");
    return f;
}

// function () { showPageTitle(); }: typing again after a miss brings the page's title back.
ActionAssembler SearchChanged() {
    ActionAssembler f;
    CallFunction(f, "showPageTitle", 0).Action(ActionCode::Pop);
    return f;
}

// function fadePageIn() {
//     if (fade > 0) {
//         fade--;
//         holder._alpha = 100 - fade * 12;
//         holder.filters = fade > 0 ? [new flash.filters.BlurFilter(fade * 3, fade * 3, 2)] : [];
//     }
// }
// A new page comes in from a blur, over kFadeFrames frames.
ActionAssembler FadePageIn() {
    ActionAssembler f;
    Get(f, "fade").PushNumber(0).Action(ActionCode::Greater).Action(ActionCode::Not).If("end");
    f.PushString("fade");
    Get(f, "fade").Action(ActionCode::Decrement).Action(ActionCode::SetVariable);
    Get(f, kHolder).PushString("_alpha").PushNumber(100);
    Get(f, "fade").PushNumber(12).Action(ActionCode::Multiply).Action(ActionCode::Subtract);
    f.Action(ActionCode::SetMember);
    Get(f, kHolder).PushString("filters");
    Get(f, "fade").PushNumber(0).Action(ActionCode::Greater).If("blur");
    f.PushNumber(0).Jump("set");
    f.Label("blur").PushNumber(2);
    Get(f, "fade").PushNumber(3).Action(ActionCode::Multiply);
    Get(f, "fade").PushNumber(3).Action(ActionCode::Multiply);
    NewPackaged(f, "flash.filters", "BlurFilter", 3).PushNumber(1);
    f.Label("set").Action(ActionCode::InitArray).Action(ActionCode::SetMember);
    f.Label("end");
    return f;
}

// function toggleSound() {
//     muted = !muted;
//     new Sound().setVolume(muted ? 0 : 100);
//     soundButton.label = muted ? "Sound on" : "Sound off";
// }
ActionAssembler ToggleSound() {
    ActionAssembler f;
    f.PushString("muted");
    Get(f, "muted").Action(ActionCode::Not).Action(ActionCode::SetVariable);
    Get(f, "muted").If("mute");
    f.PushNumber(100).Jump("volume");
    f.Label("mute").PushNumber(0);
    f.Label("volume").PushNumber(1).PushNumber(0).PushString("Sound").Action(ActionCode::NewObject);
    f.PushString("setVolume").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    Get(f, "soundButton").PushString(kButtonLabelVariable);
    Get(f, "muted").If("off");
    f.PushString("Sound off").Jump("label");
    f.Label("off").PushString("Sound on");
    f.Label("label").Action(ActionCode::SetMember);
    return f;
}

}  // namespace

void AttachButton(ActionAssembler& a, const char* owner, const char* name, int depth, int x, int y, const char* label,
                  const char* action) {
    a.PushString("_x").PushNumber(x).PushString("_y").PushNumber(y);
    a.PushString(kButtonLabelVariable).PushString(label).PushString("action").PushString(action);
    a.PushNumber(4).Action(ActionCode::InitObject);
    a.PushNumber(depth).PushString(name).PushString(kButtonLinkage);
    CallMethod(a, owner, "attachMovie", 4).Action(ActionCode::Pop);
}

// _global.GuideButton = function () { this.stop(); };
// GuideButton extends MovieClip;
// var p = GuideButton.prototype;
// p.onRollOver = ...; p.onRollOut = ...; p.onReleaseOutside = ...; p.onPress = ...; p.onRelease = ...;
// Object.registerClass("GuideButton", GuideButton);
ActionAssembler ButtonClass() {
    ActionAssembler a;
    ActionAssembler constructor;
    CallMethod(constructor, "", "stop", 0).Action(ActionCode::Pop);
    Get(a, "_global").PushString(kButtonClass).DefineFunction("", {}, constructor).Action(ActionCode::SetMember);
    Class(a, kButtonClass);
    Get(a, "MovieClip").Action(kExtendsAction);
    a.PushString("p");
    Member(Class(a, kButtonClass), "prototype").Action(ActionCode::DefineLocal);
    const auto method = [&a](const char* name, const ActionAssembler& body) {
        Get(a, "p").PushString(name).DefineFunction("", {}, body).Action(ActionCode::SetMember);
    };
    method("onRollOver", FocusButton("over", true));
    method("onRollOut", FocusButton("up", false));
    method("onReleaseOutside", FocusButton("up", false));
    method("onSetFocus", GlowOnly(true));
    method("onKillFocus", GlowOnly(false));
    method("onPress", ShowButtonFrame("down"));
    method("onRelease", ButtonRelease());
    RegisterClass(a, kButtonLinkage, kButtonClass);
    return a;
}

// page = 1; pages = 1; bodies = new Object(); texts = new Object(); the functions above; the recording page's (RecordingScript);
// this.onEnterFrame = function () { fadePageIn(); showPlayTime(); };
// attachMovie Close, Previous, Next and Sound off;
// vars = new LoadVars(); vars.onLoad = ...; vars.load(pageFolder + "Page_var.txt");
// bodyPlain._visible = false;
// searchKeys = new Object(); searchKeys.onKeyDown = ...; Key.addListener(searchKeys);
// search.onChanged = ...; pageKeys = new Object(); pageKeys.onKeyDown = ...; Key.addListener(pageKeys);
// showPage(); stop();
ActionAssembler GuideScript(const char* pageFolder) {
    ActionAssembler a;
    a.PushString("page").PushNumber(1).Action(ActionCode::SetVariable);
    a.PushString("pages").PushNumber(1).Action(ActionCode::SetVariable);
    for (const char* table : {"bodies", "texts"}) {
        a.PushString(table).PushNumber(0).PushString("Object").Action(ActionCode::NewObject);
        a.Action(ActionCode::SetVariable);
    }
    a.DefineFunction("showPageTitle", {}, ShowPageTitle());
    a.DefineFunction("showBody", {}, ShowBody());
    a.DefineFunction("bodyLoaded", {"src"}, BodyLoaded());
    a.DefineFunction("loadBodies", {}, LoadBodies(pageFolder));
    a.DefineFunction("showPage", {}, ShowPage(pageFolder));
    a.DefineFunction("nextPage", {}, TurnPage(true));
    a.DefineFunction("previousPage", {}, TurnPage(false));
    ActionAssembler close;
    close.ExternalInterfaceCall("close");
    a.DefineFunction("closeGuide", {}, close);
    a.DefineFunction("findPage", {"word"}, FindPage());
    a.DefineFunction("toggleSound", {}, ToggleSound());

    // pageCard.filters = [new flash.filters.DropShadowFilter(5, 45, 0x1E2A3C, 0.45, 12, 12, 1, 3)];
    Get(a, kPageCard).PushString("filters");
    PushNumbers(a, {5, 45, 0x1E2A3C, 0.45, 12, 12, 1, 3});
    NewPackaged(a, "flash.filters", "DropShadowFilter", 8).PushNumber(1).Action(ActionCode::InitArray);
    a.Action(ActionCode::SetMember);
    a.PushString("fade").PushNumber(0).Action(ActionCode::SetVariable);
    a.DefineFunction("fadePageIn", {}, FadePageIn());
    RecordingScript(a, pageFolder);
    // this.onEnterFrame = function () { fadePageIn(); showPlayTime(); };
    ActionAssembler everyFrame;
    CallFunction(everyFrame, "fadePageIn", 0).Action(ActionCode::Pop);
    CallFunction(everyFrame, "showPlayTime", 0).Action(ActionCode::Pop);
    Get(a, "this").PushString("onEnterFrame").DefineFunction("", {}, everyFrame).Action(ActionCode::SetMember);

    // The buttons' boxes are 140 x 44 pixels.
    AttachButton(a, "", "closeButton", 10, 72, 470, "Close", "closeGuide");
    AttachButton(a, "", "previousButton", 11, 420, 470, "Previous", "previousPage");
    AttachButton(a, "", "nextButton", 12, 588, 470, "Next", "nextPage");
    AttachButton(a, "", "soundButton", 13, 560, 86, "Sound off", "toggleSound");

    a.PushString("vars").PushNumber(0).PushString("LoadVars").Action(ActionCode::NewObject);
    a.Action(ActionCode::SetVariable);
    Get(a, "vars").PushString("onLoad").DefineFunction("", {"ok"}, OnVariablesLoaded()).Action(ActionCode::SetMember);
    a.PushString(std::string(pageFolder) + "Page_var.txt");
    CallMethod(a, "vars", "load", 1).Action(ActionCode::Pop);
    Get(a, kBodyPlain).PushString("_visible").PushBool(false).Action(ActionCode::SetMember);

    a.PushString("searchKeys").PushNumber(0).PushString("Object").Action(ActionCode::NewObject);
    a.Action(ActionCode::SetVariable);
    Get(a, "searchKeys").PushString("onKeyDown").DefineFunction("", {}, SearchOnEnter()).Action(ActionCode::SetMember);
    Get(a, "searchKeys");
    CallMethod(a, "Key", "addListener", 1).Action(ActionCode::Pop);
    Get(a, kSearch).PushString("onChanged").DefineFunction("", {}, SearchChanged()).Action(ActionCode::SetMember);
    a.PushString("pageKeys").PushNumber(0).PushString("Object").Action(ActionCode::NewObject);
    a.Action(ActionCode::SetVariable);
    Get(a, "pageKeys").PushString("onKeyDown").DefineFunction("", {}, PageKeys()).Action(ActionCode::SetMember);
    Get(a, "pageKeys");
    CallMethod(a, "Key", "addListener", 1).Action(ActionCode::Pop);

    CallFunction(a, "showPage", 0).Action(ActionCode::Pop);
    a.Action(ActionCode::Stop);
    return a;
}

}  // namespace moviegen::demo
