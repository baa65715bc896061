#include "control/acm_mp3_codec.h"

#include <windows.h>
// After windows.h, which leaves the multimedia declarations out (lean):
// wave formats, then the codec manager's.
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace control {

namespace {

// The codec manager, loaded on the first MP3 sound: a movie without one does
// not pay for it at start-up.
struct AcmFunctions {
    decltype(&acmStreamOpen) open = nullptr;
    decltype(&acmStreamClose) close = nullptr;
    decltype(&acmStreamSize) size = nullptr;
    decltype(&acmStreamPrepareHeader) prepare = nullptr;
    decltype(&acmStreamUnprepareHeader) unprepare = nullptr;
    decltype(&acmStreamConvert) convert = nullptr;

    bool Loaded() const { return open && close && size && prepare && unprepare && convert; }
};

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const AcmFunctions& Acm() {
    static const AcmFunctions functions = [] {
        AcmFunctions f;
        HMODULE module = LoadLibraryW(L"msacm32.dll");  // kept for the process's life
        if (!module) return f;
        Resolve(module, "acmStreamOpen", f.open);
        Resolve(module, "acmStreamClose", f.close);
        Resolve(module, "acmStreamSize", f.size);
        Resolve(module, "acmStreamPrepareHeader", f.prepare);
        Resolve(module, "acmStreamUnprepareHeader", f.unprepare);
        Resolve(module, "acmStreamConvert", f.convert);
        return f;
    }();
    return functions;
}

// One ACM conversion stream from MP3 frames to 16-bit PCM at the same rate
// and channels. Input the codec did not take yet waits for the next call.
class AcmMp3Decoder final : public swf::sound::Mp3Decoder {
public:
    AcmMp3Decoder(HACMSTREAM stream, int channels) : stream_(stream), channels_(channels) {}
    ~AcmMp3Decoder() override { Acm().close(stream_, 0); }
    AcmMp3Decoder(const AcmMp3Decoder&) = delete;
    AcmMp3Decoder& operator=(const AcmMp3Decoder&) = delete;

    bool Decode(std::span<const std::uint8_t> frames, std::vector<std::int16_t>& out) override {
        pending_.insert(pending_.end(), frames.begin(), frames.end());
        while (!pending_.empty()) {
            const std::optional<DWORD> used = ConvertSome(out);
            if (!used) return false;
            if (*used == 0) return true;  // the rest waits for more frames
            pending_.erase(pending_.begin(), pending_.begin() + *used);
        }
        return true;
    }

private:
    // One conversion of what is pending: the bytes it took, or nothing
    // when the codec failed.
    std::optional<DWORD> ConvertSome(std::vector<std::int16_t>& out) {
        // Room for every sample the pending frames can hold, and then some.
        const DWORD sourceBytes = static_cast<DWORD>(pending_.size());
        DWORD outputBytes = 0;
        if (Acm().size(stream_, sourceBytes, &outputBytes, ACM_STREAMSIZEF_SOURCE) != 0) outputBytes = 0;
        outputBytes = std::max<DWORD>(outputBytes, 1152 * 2 * static_cast<DWORD>(channels_) * (sourceBytes / 24 + 2));
        std::vector<std::uint8_t> output(outputBytes);
        ACMSTREAMHEADER header{};
        header.cbStruct = sizeof header;
        header.pbSrc = pending_.data();
        header.cbSrcLength = sourceBytes;
        header.pbDst = output.data();
        header.cbDstLength = outputBytes;
        if (Acm().prepare(stream_, &header, 0) != 0) return std::nullopt;
        const MMRESULT result = Acm().convert(stream_, &header, started_ ? 0 : ACM_STREAMCONVERTF_START);
        started_ = true;
        Acm().unprepare(stream_, &header, 0);
        if (result != 0) return std::nullopt;
        const std::size_t samples = header.cbDstLengthUsed / 2;
        const auto* pcm = reinterpret_cast<const std::int16_t*>(output.data());
        out.insert(out.end(), pcm, pcm + samples);
        return header.cbSrcLengthUsed;
    }

    HACMSTREAM stream_;
    int channels_;
    bool started_ = false;
    std::vector<std::uint8_t> pending_;
};

class AcmMp3Codec final : public swf::sound::Mp3Codec {
public:
    std::unique_ptr<swf::sound::Mp3Decoder> Open(const swf::sound::Mp3FrameHeader& first) override {
        MPEGLAYER3WAVEFORMAT mp3{};
        mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
        mp3.wfx.nChannels = static_cast<WORD>(first.channels);
        mp3.wfx.nSamplesPerSec = static_cast<DWORD>(first.sampleRate);
        mp3.wfx.nAvgBytesPerSec = static_cast<DWORD>(first.bitrate / 8);
        mp3.wfx.nBlockAlign = 1;
        mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
        mp3.wID = MPEGLAYER3_ID_MPEG;
        mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
        mp3.nBlockSize = static_cast<WORD>(first.length);
        mp3.nFramesPerBlock = 1;
        WAVEFORMATEX pcm{};
        pcm.wFormatTag = WAVE_FORMAT_PCM;
        pcm.nChannels = mp3.wfx.nChannels;
        pcm.nSamplesPerSec = mp3.wfx.nSamplesPerSec;
        pcm.wBitsPerSample = 16;
        pcm.nBlockAlign = static_cast<WORD>(2 * first.channels);
        pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
        if (!Acm().Loaded()) return nullptr;
        HACMSTREAM stream = nullptr;
        if (Acm().open(&stream, nullptr, &mp3.wfx, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0)
            return nullptr;
        return std::make_unique<AcmMp3Decoder>(stream, first.channels);
    }
};

}  // namespace

std::unique_ptr<swf::sound::Mp3Codec> MakeAcmMp3Codec() { return std::make_unique<AcmMp3Codec>(); }

}  // namespace control
