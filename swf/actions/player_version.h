#pragma once
// The version scripts are told this player is: System.capabilities.version,
// $version on _level0 and getVersion() all give it.

namespace swf::actions {

inline constexpr const char* kPlayerVersion = "WIN 9,0,28,0";

}  // namespace swf::actions
