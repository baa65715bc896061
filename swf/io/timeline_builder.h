#pragma once
// Collects the control tags of one timeline (the movie's or a sprite's) into frames.

#include <string>

#include "swf/io/tag_reader.h"
#include "swf/model/timeline.h"

namespace swf {

class TimelineBuilder {
public:
    // `swfVersion` decides the width of clip event flags in PlaceObject2/3.
    explicit TimelineBuilder(int swfVersion = 8) : swfVersion_(swfVersion) {}
    // Handles ShowFrame, PlaceObject*, RemoveObject*, FrameLabel, DoAction and DoInitAction;
    // returns false for any other tag. Throws ParseError for malformed contents.
    bool Add(const TagRecord& tag);
    // The placement the last Add read, while it is in the frame being built.
    PlaceCommand* LastPlacement();
    // The frames; tags after the last ShowFrame make one more frame.
    Timeline Finish();

private:
    int swfVersion_;
    Timeline timeline_;
    Frame current_;
    bool currentUsed_ = false;
    bool lastWasPlacement_ = false;
};

}  // namespace swf
