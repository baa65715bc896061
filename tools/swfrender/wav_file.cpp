#include "tools/swfrender/wav_file.h"

#include <cstdio>
#include <fstream>

namespace swfrender {

namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

bool WriteWav(const std::string& path, int rate, int channels, const std::vector<std::int16_t>& samples) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    const auto blockAlign = static_cast<std::uint32_t>(channels * 2);
    std::vector<std::uint8_t> bytes = {'R', 'I', 'F', 'F'};
    Put(bytes, 36 + dataBytes, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put(bytes, 16, 4);  // the fmt chunk's size
    Put(bytes, 1, 2);   // PCM
    Put(bytes, static_cast<std::uint32_t>(channels), 2);
    Put(bytes, static_cast<std::uint32_t>(rate), 4);
    Put(bytes, static_cast<std::uint32_t>(rate) * blockAlign, 4);
    Put(bytes, blockAlign, 2);
    Put(bytes, 16, 2);  // bits a sample
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    Put(bytes, dataBytes, 4);
    for (std::int16_t sample : samples) Put(bytes, static_cast<std::uint16_t>(sample), 2);

    const std::string temp = path + ".part";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!file.flush()) {
            file.close();
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace swfrender
