#pragma once
// Collects the control tags of one timeline (the movie's or a sprite's) into frames.

#include <string>

#include "swf/io/tag_reader.h"
#include "swf/model/timeline.h"

namespace swf {

class TimelineBuilder {
public:
    // Handles ShowFrame, PlaceObject*, RemoveObject*, FrameLabel and DoAction;
    // returns false for any other tag. Throws ParseError for malformed contents.
    bool Add(const TagRecord& tag);
    // The frames; tags after the last ShowFrame make one more frame.
    Timeline Finish();

private:
    Timeline timeline_;
    Frame current_;
    bool currentUsed_ = false;
};

}  // namespace swf
