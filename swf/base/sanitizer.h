#pragma once
// Whether this build runs under the address sanitizer (g++ and clang spell
// the test differently). Such builds run many times slower, so wall-time
// limits meant for the real program give them more room.

namespace swf::base {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

}  // namespace swf::base
