// The projector's sound as the system receives it. sound_output_test.sh gives
// Wine an ALSA default device that writes what it is played into a WAV file;
// this program plays movies in the demo's projector one after another, reads
// that file after each and checks the sound that came out:
//   1. a stream sound from a movie ffmpeg's SWF writer made (a 440 Hz tone):
//      its pitch, and where it starts and how long it lasts against ffmpeg's
//      own decoding of the same movie (the movie repeats: the first time);
//   2. an event sound (an 880 Hz MP3 half a second long that ffmpeg encoded,
//      started by the movie's first frame): its pitch and length;
//   3. with Wine's audio driver switched off (a machine without a sound
//      device), the same stream movie still opens and plays, and its log says
//      once that it plays without sound.
//   sound_capture DEMO_FOLDER STREAM_MOVIE STREAM_REFERENCE EVENT_MP3 CAPTURE_WAV
// STREAM_REFERENCE is ffmpeg's decoding of the stream movie's sound: 16-bit
// little-endian mono samples at 22050 Hz. Exits with 0 when every check
// passed, 1 (with the reasons) when not.

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "swf/sound/mp3_frames.h"
#include "swf/writer/movie.h"
#include "swf/writer/sound.h"
#include "tests/windows/driver/gui_driver.h"
#include "tests/windows/driver/program_folder.h"

namespace {

using namespace driver;
using Bytes = std::vector<std::uint8_t>;

int failures = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    if (!ok) ++failures;
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

bool WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::uint32_t U32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// One channel of a sound and its rate.
struct Sound {
    int rate = 0;
    std::vector<std::int16_t> samples;
};

// The first channel of a 16-bit PCM WAV file. The capture may still be
// open, its sizes not yet written: the data runs to the end of the file.
std::optional<Sound> ReadWav(const std::string& path) {
    const Bytes b = ReadAll(path);
    if (b.size() < 44 || b[0] != 'R' || b[8] != 'W') return std::nullopt;
    std::size_t at = 12;
    int channels = 0, bits = 0;
    Sound sound;
    while (at + 8 <= b.size()) {
        const std::string id(b.begin() + static_cast<std::ptrdiff_t>(at),
                             b.begin() + static_cast<std::ptrdiff_t>(at + 4));
        const std::uint32_t size = U32(b, at + 4);
        if (id == "fmt " && at + 24 <= b.size()) {
            channels = b[at + 10] | b[at + 11] << 8;
            sound.rate = static_cast<int>(U32(b, at + 12));
            bits = b[at + 22] | b[at + 23] << 8;
        } else if (id == "data") {
            if (channels <= 0 || bits != 16) return std::nullopt;
            const std::size_t frame = static_cast<std::size_t>(channels) * 2;
            for (std::size_t p = at + 8; p + frame <= b.size(); p += frame)
                sound.samples.push_back(static_cast<std::int16_t>(b[p] | b[p + 1] << 8));
            return sound;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

// The first stretch of sound louder than `threshold`, ending where it stays
// below for 10 ms; its first sample and length, in samples.
struct Stretch {
    std::size_t first = 0;
    std::size_t length = 0;
};
std::optional<Stretch> FirstStretch(const Sound& sound, int threshold) {
    std::optional<std::size_t> first;
    std::size_t last = 0;
    const auto gap = static_cast<std::size_t>(sound.rate / 100);
    for (std::size_t i = 0; i < sound.samples.size(); ++i) {
        if (std::abs(sound.samples[i]) <= threshold) continue;
        if (first && i - last > gap) break;
        if (!first) first = i;
        last = i;
    }
    if (!first) return std::nullopt;
    return Stretch{*first, last - *first + 1};
}

// The pitch over the middle of a stretch, from its upward zero crossings.
double Pitch(const Sound& sound, const Stretch& stretch) {
    const std::size_t from = stretch.first + stretch.length / 4, to = stretch.first + stretch.length * 3 / 4;
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i) crossings += sound.samples[i - 1] < 0 && sound.samples[i] >= 0 ? 1 : 0;
    return to > from ? crossings * static_cast<double>(sound.rate) / static_cast<double>(to - from) : 0;
}

// A movie of one frame that starts the MP3 as an event sound.
Bytes EventSoundMovie(const Bytes& mp3) {
    namespace w = swf::writer;
    const swf::sound::Mp3Frames frames = swf::sound::ScanMp3Frames(mp3);
    if (!frames.first) return {};
    const int rateCode = frames.first->sampleRate == 44100 ? 3 : frames.first->sampleRate == 22050 ? 2 : 1;
    const auto format = static_cast<std::uint8_t>(2 << 4 | rateCode << 2 | 1 << 1 | (frames.first->channels == 2));
    w::TagStream stream;
    stream.SetBackgroundColor({255, 255, 255});
    stream.Add(w::TagCode::DefineSound, w::DefineSoundBody(1, format, static_cast<std::uint32_t>(frames.samples),
                                                           std::span(mp3).first(frames.bytes)));
    stream.Add(w::TagCode::StartSound, w::StartSoundBody(1, {}));
    stream.ShowFrame();
    w::MovieHeader header;
    header.frameSize = {0, 400 * 20, 0, 300 * 20};
    header.frameRate = 12;
    return w::BuildMovie(header, stream);
}

// Plays the folder's movie for `seconds`, then closes the program as a user
// would. False when its window never opened.
bool PlayFor(const ProgramFolder& folder, std::chrono::milliseconds time) {
    Process program(folder.Exe());
    if (!program.Started()) return false;
    // The first start installs the control from the program's own package.
    const HWND player = WaitFor([&] { return FindWindowOf(program.Id(), "TPlayerForm"); }, 180s);
    if (!player) return false;
    Pause(time);
    PostMessageW(player, WM_CLOSE, 0, 0);
    if (!program.WaitForExit(20s)) program.Kill();
    return true;
}

bool SetWineAudioDriver(const wchar_t* driver) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Drivers", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const auto bytes = static_cast<DWORD>((wcslen(driver) + 1) * sizeof(wchar_t));
    const bool ok =
        RegSetValueExW(key, L"Audio", 0, REG_SZ, reinterpret_cast<const BYTE*>(driver), bytes) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: sound_capture DEMO_FOLDER STREAM_MOVIE STREAM_REFERENCE EVENT_MP3 CAPTURE_WAV\n");
        return 1;
    }
    const std::string demo = argv[1], streamMovie = argv[2], capture = argv[5];
    ProgramFolder folder("sound_capture", demo + "\\UserGuide.exe", "UserGuide.exe", std::nullopt);
    if (!folder.Ready() ||
        !folder.CopyIn(demo + "\\UserGuide_Page_img\\Page_var.txt", "UserGuide_Page_img\\Page_var.txt")) {
        std::fprintf(stderr, "sound_capture: the program folder could not be made\n");
        return 1;
    }
    const std::string movie = folder.Folder() + "\\UserGuide.swf";
    Check(SetWineAudioDriver(L"alsa"), "Wine's ALSA driver chosen");

    // 1. The stream sound of ffmpeg's movie, against ffmpeg's decoding of it.
    Check(WriteAll(movie, ReadAll(streamMovie)) && PlayFor(folder, 4s), "the stream movie played");
    Sound reference{22050, {}};
    const Bytes raw = ReadAll(argv[3]);
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2)
        reference.samples.push_back(static_cast<std::int16_t>(raw[i] | raw[i + 1] << 8));
    const auto expected = FirstStretch(reference, 1024);
    const auto heard = ReadWav(capture);
    Check(heard && heard->rate > 0, "the capture is a 16-bit WAV file");
    if (heard && expected && heard->rate > 0) {
        const auto stretch = FirstStretch(*heard, 1024);
        Check(stretch.has_value(), "the stream sound was heard");
        if (stretch) {
            const double seconds = static_cast<double>(stretch->length) / heard->rate;
            const double expectedSeconds = static_cast<double>(expected->length) / reference.rate;
            const double start = static_cast<double>(stretch->first) / heard->rate;
            const double expectedStart = static_cast<double>(expected->first) / reference.rate;
            const double pitch = Pitch(*heard, *stretch);
            std::printf("stream: %.1f Hz for %.3f s from %.3f s (ffmpeg: %.1f Hz for %.3f s from %.3f s)\n", pitch,
                        seconds, start, Pitch(reference, *expected), expectedSeconds, expectedStart);
            Check(std::abs(pitch - 440) < 4, "the stream sound is at 440 Hz");
            // The output opens with the movie, and its first frame starts the stream.
            Check(std::abs(start - expectedStart) < 0.03, "the stream sound starts where ffmpeg hears it start");
            Check(std::abs(seconds - expectedSeconds) < 0.02, "the stream sound lasts as long as ffmpeg hears it");
        }
    }

    // 2. An event sound encoded by ffmpeg.
    const Bytes eventMovie = EventSoundMovie(ReadAll(argv[4]));
    Check(!eventMovie.empty() && WriteAll(movie, eventMovie) && PlayFor(folder, 3s), "the event sound movie played");
    const auto event = ReadWav(capture);
    if (event && event->rate > 0) {
        const auto stretch = FirstStretch(*event, 1024);
        Check(stretch.has_value(), "the event sound was heard");
        if (stretch) {
            const double seconds = static_cast<double>(stretch->length) / event->rate;
            const double pitch = Pitch(*event, *stretch);
            std::printf("event: %.1f Hz for %.3f s\n", pitch, seconds);
            Check(std::abs(pitch - 880) < 6, "the event sound is at 880 Hz");
            // The encoder's delay and padding add silence, never tone.
            Check(std::abs(seconds - 0.5) < 0.02, "the event sound lasts half a second");
        }
    }

    // 3. No sound device: the movie plays all the same, and says so once.
    Check(SetWineAudioDriver(L""), "Wine's audio driver switched off");
    Check(WriteAll(movie, ReadAll(streamMovie)) && PlayFor(folder, 2s), "the stream movie played without a device");
    const Bytes log = ReadAll(movie + ".log");
    const std::string text(log.begin(), log.end());
    const std::string said = "the movie plays without sound";
    const std::size_t at = text.find(said);
    Check(at != std::string::npos && text.find(said, at + 1) == std::string::npos,
          "its log says once that it plays without sound");
    SetWineAudioDriver(L"alsa");
    return failures == 0 ? 0 : 1;
}
