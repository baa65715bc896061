#pragma once
// Passes what the movie's streams told since the last frame to their
// NetStream objects (onStatus with an info object, onMetaData, onCuePoint,
// ...), and their warnings to the movie's log.

namespace swf {

class NetStreams;
class VmActionRunner;

void DeliverStreamEvents(NetStreams& streams, VmActionRunner& runner);

}  // namespace swf
