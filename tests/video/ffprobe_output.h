#pragma once
// ffprobe's view of the test files ffmpeg wrote (its flat output, made by
// the build next to each FLV file): packets, streams and duration.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace video_test {

// ffprobe's flat output: key=value, strings in quotes.
class Probe {
public:
    explicit Probe(const std::string& name) {
        std::ifstream in(std::string(VIDEO_TEST_MEDIA) + "/" + name + ".txt");
        EXPECT_TRUE(in) << name << ".txt is missing (made by the build with ffprobe)";
        std::string line;
        while (std::getline(in, line)) {
            const auto equals = line.find('=');
            if (equals == std::string::npos) continue;
            std::string value = line.substr(equals + 1);
            if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
            values_[line.substr(0, equals)] = value;
        }
    }
    bool Has(const std::string& key) const { return values_.count(key) != 0; }
    const std::string& Get(const std::string& key) const {
        static const std::string none;
        const auto it = values_.find(key);
        EXPECT_NE(it, values_.end()) << key;
        return it == values_.end() ? none : it->second;
    }
    // The prefix of the first stream of a type ("video", "audio"), if any.
    std::string Stream(const std::string& type) const {
        for (int i = 0; Has("streams.stream." + std::to_string(i) + ".codec_type"); ++i) {
            const std::string prefix = "streams.stream." + std::to_string(i) + ".";
            if (Get(prefix + "codec_type") == type) return prefix;
        }
        return {};
    }

private:
    std::map<std::string, std::string> values_;
};

struct Packet {
    std::string type;
    std::uint32_t pts = 0;
    std::size_t size = 0;
    std::uint64_t pos = 0;
    bool key = false;
};

std::vector<Packet> Packets(const Probe& probe) {
    std::vector<Packet> packets;
    for (int i = 0; probe.Has("packets.packet." + std::to_string(i) + ".pos"); ++i) {
        const std::string prefix = "packets.packet." + std::to_string(i) + ".";
        packets.push_back({probe.Get(prefix + "codec_type"),
                           static_cast<std::uint32_t>(std::stoul(probe.Get(prefix + "pts"))),
                           std::stoul(probe.Get(prefix + "size")), std::stoull(probe.Get(prefix + "pos")),
                           probe.Get(prefix + "flags").starts_with("K")});
    }
    return packets;
}

}  // namespace video_test
