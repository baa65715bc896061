#include "swf/sound/mpg123_codec.h"

#include <mpg123.h>

#include <array>

namespace swf::sound {

namespace {

class Mpg123Decoder final : public Mp3Decoder {
public:
    explicit Mpg123Decoder(mpg123_handle* handle) : handle_(handle) {}
    ~Mpg123Decoder() override { mpg123_delete(handle_); }
    Mpg123Decoder(const Mpg123Decoder&) = delete;
    Mpg123Decoder& operator=(const Mpg123Decoder&) = delete;

    bool Decode(std::span<const std::uint8_t> frames, std::vector<std::int16_t>& out) override {
        if (!frames.empty() && mpg123_feed(handle_, frames.data(), frames.size()) != MPG123_OK) return false;
        std::array<std::int16_t, 4608> block;
        while (true) {
            std::size_t bytes = 0;
            const int result = mpg123_read(handle_, block.data(), sizeof block, &bytes);
            out.insert(out.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(bytes / 2));
            if (result == MPG123_NEED_MORE || result == MPG123_DONE) return true;
            if (result != MPG123_OK && result != MPG123_NEW_FORMAT) return false;
        }
    }

private:
    mpg123_handle* handle_;
};

class Mpg123Codec final : public Mp3Codec {
public:
    std::unique_ptr<Mp3Decoder> Open(const Mp3FrameHeader& first) override {
        static const bool initialised = mpg123_init() == MPG123_OK;
        if (!initialised) return nullptr;
        int error = 0;
        mpg123_handle* handle = mpg123_new(nullptr, &error);
        if (!handle) return nullptr;
        auto decoder = std::make_unique<Mpg123Decoder>(handle);
        // 16-bit samples at the first frame's rate and channels, whatever
        // later frames say; no messages on stderr.
        if (mpg123_param(handle, MPG123_FLAGS, MPG123_QUIET, 0) != MPG123_OK ||
            mpg123_format_none(handle) != MPG123_OK ||
            mpg123_format(handle, first.sampleRate, first.channels == 1 ? MPG123_MONO : MPG123_STEREO,
                          MPG123_ENC_SIGNED_16) != MPG123_OK ||
            mpg123_open_feed(handle) != MPG123_OK) {
            return nullptr;
        }
        return decoder;
    }
};

}  // namespace

std::unique_ptr<Mp3Codec> MakeMpg123Codec() { return std::make_unique<Mpg123Codec>(); }

}  // namespace swf::sound
