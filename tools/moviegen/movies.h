#pragma once
// The movies moviegen writes. Each builder returns the complete file bytes and
// gives the same bytes on every run.

#include <cstdint>
#include <vector>

namespace moviegen {

// The user-guide movie: 800 x 600 at 24 fps. It reads the guide's variables
// from UserGuide_Page_img/Page_var.txt (title, pages=N, pageK=file,
// titleK=heading) and shows page K's picture from that folder at (72, 154),
// 656 x 300 pixels. The guide's title (embedded font) and the page's (_sans)
// are in the header; "Page n of m" (_sans) lies at (230..410, 480..506).
// Close, Previous and Next are clips of the exported "GuideButton" symbol,
// 140 x 44 boxes at (72, 470), (420, 470) and (588, 470), attached by script;
// Previous hides on the first page, Next on the last, and Close calls the host
// with "close" (its only call). Enter in the search field (240..728, 522..550)
// goes to the first page whose title holds the word typed, or to the page of
// that number; else the page title says that nothing matched. A small
// animation loops in the header. "Sound off" (560, 86), a button of the same
// symbol, mutes the whole movie and becomes "Sound on".
// A page with a videoK=file variable shows, instead of a picture, the clip
// "recording" at (72, 154): a Video object "screen" (656 x 240) that plays
// that FLV file from the folder through a NetStream from the page's start and
// is closed when the page is left, a Pause / Play button "playButton" under
// it at (72, 400), and the time read-out "clock" ("0:03 / 0:09", _sans) at
// (548..728, 410..436).
// With `sounds`, the movie speaks its intro when it starts and the buttons
// click when pressed.
struct DemoSounds {
    std::vector<std::uint8_t> intro;  // an MP3 file: MPEG layer III frames
    std::vector<std::uint8_t> click;  // a WAV file: 16-bit PCM
};
std::vector<std::uint8_t> BuildDemoMovie(const DemoSounds* sounds = nullptr);

// 200 x 100 stage on a white background with one solid red (255, 0, 0)
// rectangle from (50, 25) to (150, 75) pixels.
std::vector<std::uint8_t> BuildSolidMovie();

// 200 x 100 white stage over four frames: a square morphing from red at the
// left to blue at the right, with an outline that thickens, and a gradient
// bar whose stops slide, masking a green band as a clip layer.
std::vector<std::uint8_t> BuildMorphMovie();

// Calls flash.external.ExternalInterface.call("close") on frame 1, then stops.
std::vector<std::uint8_t> BuildFlashCallMovie();

// ActionScript 2 classes as compilers lay them out: the init actions of the
// exported sprite "CounterSymbol" define _global.Counter (constructor, static
// count of instances made, a `count` getter/setter pair, hidden prototype
// methods, registered for the symbol) and its subclass StepCounter. Frame 1
// makes a StepCounter(10, 5), increments it, adds 1 through the setter,
// attaches the symbol as "m" with the init object {step: 3} and places it as
// "placed". Frame 2 calls ExternalInterface.call("classReady", c.count,
// Counter.made, c instanceof Counter, m.step, m instanceof Counter,
// placed instanceof Counter) — 16, 3, true, 3, true, true — then stops.
std::vector<std::uint8_t> BuildClassMovie();

// Hostile movies (hostile_movies.cpp), 400 x 300 on this background colour:
// 1,000 clips whose enterFrame clip events never end; an interval, Mouse and
// Key listeners and a getter read every frame that never end; a LoadVars whose
// onData loads "big.txt" from the movie's folder again, forever; a movie that
// loads its own file (as "UserGuide.swf") into a new level every frame.
inline constexpr std::uint8_t kHostileRed = 0x30, kHostileGreen = 0x90, kHostileBlue = 0x60;
std::vector<std::uint8_t> BuildEndlessHandlersMovie();
std::vector<std::uint8_t> BuildEndlessCallbacksMovie();
std::vector<std::uint8_t> BuildReloadingDataMovie();
std::vector<std::uint8_t> BuildLevelLoaderMovie();

// Calls fscommand("quit", "now") on frame 1, then stops.
std::vector<std::uint8_t> BuildFsCommandMovie();

// Frame 1 makes an array that holds itself eight times (a[0..7] = a) and then
// converts it to a number in an endless loop: a script the player must stop.
std::vector<std::uint8_t> BuildSelfReferencingArrayMovie();

// 400 x 200 white stage with two bordered input fields in _sans, bound to the
// variables `entry` (20..380 x 60..90 px) and `other` (20..380 x 110..140 px),
// and a dynamic field (20..380 x 10..40 px) that a script keeps showing
// "Typed: " + entry. Every other frame the movie runs
// fscommand("state", entry + "|" + other).
std::vector<std::uint8_t> BuildTextInputMovie();
// Frames the full-change movie plays before it closes: 30 s at 30 fps.
inline constexpr int kFullChangeFrames = 900;

// 1920 x 1080 at 30 fps, for measuring frame pacing: a radial gradient over
// the whole stage that moves and changes colour every frame, so that every
// pixel changes; after kFullChangeFrames frames it calls the host with "close".
std::vector<std::uint8_t> BuildFullChangeMovie();

// The script-load movie: kClipsWidth x kClipsHeight at 30 fps. Frame 1
// attaches kMovingClips copies of the exported sprite "dot" (a 16 x 16 pixel
// outlined circle) and gives each an onEnterFrame that moves it a few pixels
// and turns it back at the stage's edges; after `framesBeforeClose` frames the
// main timeline's onEnterFrame calls the host with "close".
inline constexpr int kMovingClips = 500;
inline constexpr int kClipsWidth = 1280, kClipsHeight = 720;
inline constexpr int kClipsFrames = 900;
std::vector<std::uint8_t> BuildClipsMovie(int framesBeforeClose = kClipsFrames);

// The video-playback movie (recording_movie.cpp): kRecordingWidth x
// kRecordingHeight at kRecordingMovieRate fps, a Video object "screen" over
// the whole stage playing kRecordingFile from the movie's folder through a
// NetStream. Once a second it traces "second <n> fps <ns.currentFps> time
// <ns.time>", and it traces each status as "status <code>". Two seconds
// after NetStream.Play.Stop (90 s at most) it calls the host with "close".
inline constexpr const char* kRecordingFile = "recording720.flv";
inline constexpr std::uint16_t kRecordingWidth = 1280, kRecordingHeight = 720;
inline constexpr int kRecordingMovieRate = 30;
std::vector<std::uint8_t> BuildRecordingMovie();

// An FLV file with one audio tag of ADPCM sound: 22 kHz, `codeBits` (2 to
// 5) a code, mono or stereo, two packets of noise codes, the second five
// frames short (the last byte's padding bits may hold a code or two more).
std::vector<std::uint8_t> BuildAdpcmCodesFlv(int codeBits, bool stereo);

// 200 x 100 white stage, 12 frames at 12 fps; frame 1 starts a sound: half
// a second of a 440 Hz sine at half of full scale (22 kHz, 16-bit, mono).
std::vector<std::uint8_t> BuildToneMovie();

}  // namespace moviegen
