#include "tests/swf/test_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace swf::test {

Bytes ReadPicture(const std::string& name) {
    std::ifstream file("pictures/" + name, std::ios::binary);
    EXPECT_TRUE(file) << "pictures/" << name << " is missing (made by the build with ImageMagick)";
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::uint32_t> ReferencePixels(const std::string& name, int width, int height) {
    const Bytes rgba = ReadPicture(name + ".rgba");
    const std::size_t count = static_cast<std::size_t>(width) * height;
    EXPECT_GE(rgba.size(), count * 4) << name;
    std::vector<std::uint32_t> pixels;
    for (std::size_t i = 0; i < count && i * 4 + 3 < rgba.size(); ++i) {
        const std::uint32_t a = rgba[i * 4 + 3];
        auto channel = [&](int c) { return (rgba[i * 4 + c] * a + 127) / 255; };
        pixels.push_back((a << 24) | (channel(0) << 16) | (channel(1) << 8) | channel(2));
    }
    return pixels;
}

int MaxChannelDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    if (a.size() != b.size()) return 256;
    int worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            const int d = std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF));
            worst = std::max(worst, d);
        }
    }
    return worst;
}

}  // namespace swf::test
