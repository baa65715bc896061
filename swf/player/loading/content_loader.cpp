#include "swf/player/loading/content_loader.h"

#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <optional>

#include "swf/actions/conversions.h"
#include "swf/actions/url_variables.h"
#include "swf/actions/vm.h"
#include "swf/files/file_host.h"
#include "swf/files/movie_path.h"
#include "swf/io/movie_parser.h"
#include "swf/player/audio/sound_system.h"
#include "swf/player/loading/loaded_content.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/loading/movie_url.h"
#include "swf/player/stage.h"
#include "swf/player/scripting/vm_action_runner.h"
#include "swf/image/image_decoder.h"
#include "swf/sound/id3_tags.h"

namespace swf {

namespace {

using actions::LoadKind;
using actions::LoadRequest;
using actions::Value;

// Warnings kept per movie; later ones are dropped.
constexpr std::size_t kMaxWarnings = 1000;
// Bytes of files one tick reads before the remaining loads wait for the next.
constexpr std::size_t kLoadBytesPerTick = 16u << 20;

class Completion {
public:
    Completion(Stage& stage, VmActionRunner& runner, FileHost* files, SoundSystem* sounds,
               std::vector<std::string>& warnings)
        : stage_(stage),
          runner_(runner),
          vm_(runner.Vm()),
          host_(runner.Host()),
          files_(files),
          sounds_(sounds),
          warnings_(warnings) {}

    void Run() {
        std::vector<LoadRequest>& requests = vm_.BeginLoads();
        // Callbacks queue further loads for the next tick; these stay put.
        // Each tick does a bounded amount: once the frame's script budget is
        // spent or enough was read, the rest wait for the next tick.
        std::size_t done = 0;
        while (done < requests.size() && vm_.Spend(0) && bytesRead_ < kLoadBytesPerTick) {
            const std::size_t i = done++;
            switch (requests[i].kind) {
            case LoadKind::Variables: LoadVariables(requests, i); break;
            case LoadKind::Xml: LoadXml(requests[i]); break;
            case LoadKind::Movie: LoadMovie(requests, i); break;
            case LoadKind::Unload: Unload(requests[i]); break;
            case LoadKind::Sound: LoadSound(requests[i]); break;
            }
            stage_.RunQueuedActions();
        }
        vm_.EndLoads(done);
    }

private:
    void Warn(std::string text) {
        if (warnings_.size() < kMaxWarnings) warnings_.push_back(std::move(text));
    }

    // The file's bytes, or nothing (with a warning) when the path is refused
    // or the file cannot be read.
    std::optional<std::vector<std::uint8_t>> Read(const std::string& url) {
        std::string why;
        const std::string path = ConfineMoviePath(url, &why);
        if (path.empty()) {
            Warn("not loaded: \"" + url + "\": " + why);
            return std::nullopt;
        }
        if (files_ == nullptr) {
            Warn("not loaded: \"" + url + "\": there is no folder to load from");
            return std::nullopt;
        }
        if (vm_.OverMemoryLimit()) {
            Warn("not loaded: \"" + url + "\": the movie's script memory is used up");
            return std::nullopt;
        }
        FileReadResult result;
        try {
            result = files_->ReadFile(path, kMaxLoadedFileBytes);
        } catch (const std::bad_alloc&) {
            result.error = "not enough memory";
        }
        if (result.ok) bytesRead_ += result.bytes.size();
        if (!result.ok) {
            Warn("not loaded: \"" + url + "\": " + result.error);
            return std::nullopt;
        }
        return std::move(result.bytes);
    }

    // The clip a request is for; a level is made when `make` is set.
    MovieClip* Target(const LoadRequest& request, bool make) {
        if (request.targetGone) return nullptr;
        if (request.level < 0) return static_cast<MovieClip*>(request.target);
        if (MovieClip* clip = stage_.Level(request.level)) return clip;
        if (!make) return nullptr;
        MovieClip& clip = stage_.MakeLevel(request.level);
        vm_.SetLevel(request.level, &clip);
        return &clip;
    }

    Value TargetValue(const LoadRequest& request) {
        MovieClip* clip = Target(request, false);
        return clip != nullptr ? vm_.ClipValue(*clip) : Value();
    }

    void Call(const std::function<void()>& call) { stage_.RunScript(call); }

    void LoadVariables(std::vector<LoadRequest>& requests, std::size_t i) {
        const std::optional<std::vector<std::uint8_t>> bytes = Read(requests[i].url);
        std::optional<std::string> text;
        if (bytes) {
            text.emplace(bytes->begin(), bytes->end());
            // A byte order mark is no part of the first name.
            if (text->compare(0, 3, "\xEF\xBB\xBF") == 0) text->erase(0, 3);
        }
        if (actions::Object* receiver = requests[i].receiver) {
            const std::size_t size = bytes ? bytes->size() : 0;
            Call([&] { vm_.FinishLoadVars(receiver, text ? &*text : nullptr, size, host_); });
            runner_.ReportLastCall("onData of the LoadVars object loading \"" + requests[i].url + "\"");
            return;
        }
        MovieClip* clip = Target(requests[i], false);
        if (!text) return;
        if (clip == nullptr) {
            Warn("variables from \"" + requests[i].url + "\" have no timeline to go to");
            return;
        }
        const std::size_t maxLength = vm_.limits().maxStringLength;
        // Setting the variables is script work of this frame, and their text
        // is script memory.
        actions::UrlVariables variables = actions::DecodeUrlVariables(*text);
        vm_.Spend(variables.size() + text->size() / actions::WorkBudget::kBytesPerUnit);
        vm_.NoteBytes(text->size());
        for (auto& [name, value] : variables) {
            if (value.size() > maxLength) value.resize(maxLength);
            vm_.SetVariable(*clip, name, Value::String(std::move(value)));
        }
        stage_.QueueClipEvent(*clip, kClipData);
    }

    void LoadXml(const LoadRequest& request) {
        const std::optional<std::vector<std::uint8_t>> bytes = Read(request.url);
        const std::string text = bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
        actions::Object* document = request.receiver;
        Call([&] { vm_.FinishXml(document, bytes ? &text : nullptr, host_); });
        runner_.ReportLastCall("onLoad of the XML document loading \"" + request.url + "\"");
    }

    // The loaded file as a movie definition, or null (with a warning).
    std::shared_ptr<const MovieDefinition> Decode(const std::string& url, const std::vector<std::uint8_t>& bytes) {
        const bool isMovie = bytes.size() >= 3 && (bytes[0] == 'F' || bytes[0] == 'C' || bytes[0] == 'Z') &&
                             bytes[1] == 'W' && bytes[2] == 'S';
        try {
            // Addresses are relative to the main movie's, as the files are read.
            if (isMovie) return ParseMovie(bytes, ResolveUrl(stage_.Root().Url(), url));
            std::string error;
            if (std::shared_ptr<raster::Image> image = DecodeImage(bytes, &error)) {
                return PictureMovie(std::move(image), static_cast<std::uint32_t>(bytes.size()));
            }
            Warn("not loaded: \"" + url + "\": " + error);
        } catch (const std::bad_alloc&) {
            Warn("not loaded: \"" + url + "\": not enough memory");
        } catch (const std::exception& e) {
            Warn("not loaded: \"" + url + "\": " + e.what());
        }
        return nullptr;
    }

    void Notify(actions::Object* loader, const char* event, std::vector<Value> args) {
        if (loader == nullptr) return;
        Call([&] { vm_.NotifyClipLoader(loader, event, args, host_); });
        runner_.ReportLastCall(std::string("the MovieClipLoader listeners' ") + event);
    }

    void LoadMovie(std::vector<LoadRequest>& requests, std::size_t i) {
        const std::string url = requests[i].url;
        actions::Object* loader = requests[i].receiver;
        const std::optional<std::vector<std::uint8_t>> bytes = Read(url);
        if (!bytes) {
            Notify(loader, "onLoadError", {TargetValue(requests[i]), Value::String("URLNotFound")});
            return;
        }
        const auto size = static_cast<double>(bytes->size());
        if (loader != nullptr) {
            if (MovieClip* clip = Target(requests[i], false)) vm_.SetClipLoadProgress(loader, *clip, size, size);
        }
        Notify(loader, "onLoadStart", {TargetValue(requests[i])});
        Notify(loader, "onLoadProgress", {TargetValue(requests[i]), Value::Number(size), Value::Number(size)});
        std::shared_ptr<const MovieDefinition> movie = Decode(url, *bytes);
        if (movie == nullptr) {
            Notify(loader, "onLoadError", {TargetValue(requests[i]), Value::String("LoadNeverCompleted")});
            return;
        }
        Notify(loader, "onLoadComplete", {TargetValue(requests[i]), Value::Number(0)});
        MovieClip* clip = Target(requests[i], true);
        if (clip == nullptr) {
            Warn("not loaded: \"" + url + "\": its target is gone");
            return;
        }
        vm_.ClearVariables(*clip);
        clip->ReplaceContent(std::move(movie));
        stage_.RunQueuedActions();  // the loaded first frame's actions
        Notify(loader, "onLoadInit", {TargetValue(requests[i])});
    }

    void Unload(const LoadRequest& request) {
        if (request.level > 0) {
            stage_.RemoveLevel(request.level);
            return;
        }
        MovieClip* clip = Target(request, false);
        if (clip == nullptr) return;
        vm_.ClearVariables(*clip);
        clip->ReplaceContent(EmptyMovie());
    }

    // An MP3 file for a Sound: its tags, then its frames decoded.
    void LoadSound(const LoadRequest& request) {
        const std::optional<std::vector<std::uint8_t>> bytes = Read(request.url);
        std::uint32_t sound = 0;
        sound::Id3Tags tags;
        if (bytes && sounds_ != nullptr) {
            tags = sound::ReadId3Tags(*bytes);
            std::string problem;
            const std::span<const std::uint8_t> frames(bytes->data() + tags.audioBegin,
                                                       tags.audioEnd - tags.audioBegin);
            sound = sounds_->LoadMp3(frames, problem);
            if (!problem.empty()) Warn("not played: \"" + request.url + "\": " + problem);
        }
        actions::Object* receiver = request.receiver;
        const std::size_t size = bytes ? bytes->size() : 0;
        Call([&] { vm_.FinishSoundLoad(receiver, sound, size, tags.fields, host_); });
        runner_.ReportLastCall("onLoad of the Sound loading \"" + request.url + "\"");
    }

    Stage& stage_;
    VmActionRunner& runner_;
    actions::Vm& vm_;
    ActionHost& host_;
    FileHost* files_;
    SoundSystem* sounds_;
    std::vector<std::string>& warnings_;
    std::size_t bytesRead_ = 0;
};

}  // namespace

void CompleteLoads(Stage& stage, VmActionRunner& runner, FileHost* files, SoundSystem* sounds,
                   std::vector<std::string>& warnings) {
    Completion(stage, runner, files, sounds, warnings).Run();
}

}  // namespace swf
