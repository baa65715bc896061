#pragma once
// Writes 16-bit PCM as a WAV file (RIFF, one fmt and one data chunk).

#include <cstdint>
#include <string>
#include <vector>

namespace swfrender {

// False when the file cannot be written; nothing is left half-written
// (it goes beside the target first, then takes its name).
bool WriteWav(const std::string& path, int rate, int channels, const std::vector<std::int16_t>& samples);

}  // namespace swfrender
