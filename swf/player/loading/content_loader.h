#pragma once
// Completes what scripts asked to load: reads each file through the file
// host (confined to the movie's folder), then sets variables, hands text to
// LoadVars objects, puts a loaded movie or picture into its clip or level,
// with the MovieClipLoader callbacks, or gives a Sound its MP3 file. Runs at the start of a frame tick, so a
// load never completes inside the script that asked for it.

#include <string>
#include <vector>

namespace swf {

class FileHost;
class SoundSystem;
class Stage;
class VmActionRunner;

// A failed load leaves a line in `warnings` and the movie goes on.
// `files` may be nullptr: every load then fails. `sounds` decodes the MP3
// files Sound objects load (nullptr: they fail).
void CompleteLoads(Stage& stage, VmActionRunner& runner, FileHost* files, SoundSystem* sounds,
                   std::vector<std::string>& warnings);

}  // namespace swf
