#pragma once
// Completes what scripts asked to load: reads each file through the file
// host (confined to the movie's folder), then sets variables, hands text to
// LoadVars objects, or puts a loaded movie or picture into its clip or level,
// with the MovieClipLoader callbacks. Runs at the start of a frame tick, so a
// load never completes inside the script that asked for it.

#include <string>
#include <vector>

namespace swf {

class FileHost;
class Stage;
class VmActionRunner;

// A failed load leaves a line in `warnings` and the movie goes on.
// `files` may be nullptr: every load then fails.
void CompleteLoads(Stage& stage, VmActionRunner& runner, FileHost* files, std::vector<std::string>& warnings);

}  // namespace swf
