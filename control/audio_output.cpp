#include "control/audio_output.h"

#include <array>
#include <vector>

namespace control {

namespace {

// The wave output functions of winmm, which the control does not import:
// movies without sound never load it.
struct WaveFunctions {
    decltype(&waveOutOpen) open = nullptr;
    decltype(&waveOutClose) close = nullptr;
    decltype(&waveOutPrepareHeader) prepare = nullptr;
    decltype(&waveOutUnprepareHeader) unprepare = nullptr;
    decltype(&waveOutWrite) write = nullptr;
    decltype(&waveOutReset) reset = nullptr;

    bool Loaded() const { return open && close && prepare && unprepare && write && reset; }
};

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const WaveFunctions& Wave() {
    static const WaveFunctions functions = [] {
        WaveFunctions f;
        HMODULE module = LoadLibraryW(L"winmm.dll");  // kept for the process's life
        if (!module) return f;
        Resolve(module, "waveOutOpen", f.open);
        Resolve(module, "waveOutClose", f.close);
        Resolve(module, "waveOutPrepareHeader", f.prepare);
        Resolve(module, "waveOutUnprepareHeader", f.unprepare);
        Resolve(module, "waveOutWrite", f.write);
        Resolve(module, "waveOutReset", f.reset);
        return f;
    }();
    return functions;
}

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr std::size_t kBufferFrames = kRate * AudioOutput::kBufferMilliseconds / 1000;

}  // namespace

bool AudioOutput::Start(Source source) {
    Stop();
    problem_.clear();
    const WaveFunctions& wave = Wave();
    if (!wave.Loaded()) {
        problem_ = "the system's wave output (winmm.dll) is missing";
        return false;
    }
    done_.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!done_.Get()) {
        problem_ = "cannot create an event for the sound output";
        return false;
    }
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kChannels;
    format.nSamplesPerSec = kRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = kChannels * 2;
    format.nAvgBytesPerSec = kRate * format.nBlockAlign;
    HWAVEOUT device = nullptr;
    const MMRESULT opened =
        wave.open(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done_.Get()), 0, CALLBACK_EVENT);
    if (opened != MMSYSERR_NOERROR || !device) {
        problem_ = "this computer has no sound output (wave output error " + std::to_string(opened) + ")";
        done_.Reset();
        return false;
    }
    device_ = device;
    source_ = std::move(source);
    stopping_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void AudioOutput::Stop() {
    if (!device_) return;
    stopping_ = true;
    SetEvent(done_.Get());
    if (thread_.joinable()) thread_.join();
    Wave().close(device_);
    device_ = nullptr;
    done_.Reset();
    source_ = nullptr;
}

void AudioOutput::Run() {
    const WaveFunctions& wave = Wave();
    std::array<std::vector<std::int16_t>, kBuffers> samples;
    std::array<WAVEHDR, kBuffers> headers{};
    std::array<bool, kBuffers> queued{};
    for (int i = 0; i < kBuffers; ++i) {
        samples[i].assign(kBufferFrames * kChannels, 0);
        headers[i].lpData = reinterpret_cast<LPSTR>(samples[i].data());
        headers[i].dwBufferLength = static_cast<DWORD>(samples[i].size() * sizeof(std::int16_t));
        if (wave.prepare(device_, &headers[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR) headers[i].dwFlags = 0;
    }
    while (!stopping_) {
        // Every buffer the device is not playing is filled and queued again.
        for (int i = 0; i < kBuffers && !stopping_; ++i) {
            if (!(headers[i].dwFlags & WHDR_PREPARED)) continue;
            if (queued[i] && !(headers[i].dwFlags & WHDR_DONE)) continue;
            source_(samples[i]);
            headers[i].dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
            queued[i] = wave.write(device_, &headers[i], sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
        }
        WaitForSingleObject(done_.Get(), kBufferMilliseconds * 4);
    }
    // Reset hands back every queued buffer at once; then they can be let go.
    wave.reset(device_);
    for (WAVEHDR& header : headers)
        if (header.dwFlags & WHDR_PREPARED) wave.unprepare(device_, &header, sizeof(WAVEHDR));
}

}  // namespace control
