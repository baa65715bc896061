#pragma once
// The machine's time zone as Date's local time needs it: the offset from UTC
// at a given moment, summer time included, as the C library's zone rules give it.

namespace swf::actions {

// Minutes east of UTC at `utcMs` (milliseconds since 1970, UTC). Moments the
// C library cannot place (far past or future) take the offset of now.
int LocalTimeZoneOffset(double utcMs);

}  // namespace swf::actions
