#pragma once
// The action virtual machine: runs DoAction and button action blocks against
// a timeline (ActionTarget) and the embedding host (ActionHost). It keeps the
// global object and one variable scope per timeline between blocks.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "swf/actions/action_target.h"
#include "swf/actions/heap.h"
#include "swf/actions/input_state.h"
#include "swf/actions/load_request.h"
#include "swf/actions/net_stream_host.h"
#include "swf/actions/selection_host.h"
#include "swf/actions/sound_host.h"
#include "swf/actions/text_measurer.h"
#include "swf/actions/value.h"

namespace swf::actions {

// How one Run ended. Anything but Completed means the block was cut short;
// effects made before that point stay.
enum class RunStatus {
    Completed,
    Malformed,       // truncated record or a jump outside the block
    ActionLimit,     // too many actions executed (endless loop)
    CallDepthLimit,  // function calls nested too deeply
    ResourceLimit,   // operand stack, string or object count grew too large
    Thrown,          // the script threw and nothing caught it
    MemoryLimit,     // the movie's script memory is used up (or the system's)
};

struct VmLimits {
    // Steps all script work of one frame may take together (function bodies,
    // handlers, callbacks and conversions included); outside a frame, steps
    // one call from outside may take.
    std::uint64_t maxActions = 1'000'000;
    // Wall time the same work may take, in milliseconds; 0: no limit.
    double maxMilliseconds = 0;
    int maxCallDepth = 64;
    std::size_t maxStackDepth = 65'536;
    std::size_t maxStringLength = 4u << 20;
    std::size_t maxObjects = 200'000;
    // Bytes the movie's scripts may hold (objects, members, text) by the
    // heap's estimate.
    std::size_t maxMemoryBytes = 256u << 20;
};

class Vm;

// The global object and the prototypes the built-in classes share, made once
// by the installers when the VM starts.
struct BuiltinObjects {
    Object* global = nullptr;
    Object* objectProto = nullptr;
    Object* functionProto = nullptr;
    Object* arrayProto = nullptr;
    Object* stringProto = nullptr;
    Object* numberProto = nullptr;
    Object* booleanProto = nullptr;
    Object* dateProto = nullptr;
    Object* xmlNodeProto = nullptr;
    Object* clipProto = nullptr;
    Object* loadVarsProto = nullptr;
    Object* clipLoaderProto = nullptr;
    Object* soundProto = nullptr;
    // The `flash` package object: names missing from it are player classes this player lacks.
    Object* flashPackage = nullptr;
};
void InstallBuiltins(Vm& vm, BuiltinObjects& objects);
void InstallLoadingBuiltins(Vm& vm, BuiltinObjects& objects);
void InstallSoundBuiltins(Vm& vm, BuiltinObjects& objects);

class Vm {
public:
    explicit Vm(int swfVersion = 8, VmLimits limits = {});
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    // Executes one action block on behalf of `target`.
    RunStatus Run(std::span<const std::uint8_t> code, ActionTarget& target, ActionHost& host);

    // One frame's script work: between these calls every block, handler,
    // callback and load report draws on one budget of maxActions steps and
    // maxMilliseconds. Once it is spent, calls from outside return at once
    // with ActionLimit until the next frame. Outside a frame each call from
    // outside gets a budget of its own.
    void BeginFrame();
    // Closes the frame; true when its budget was spent.
    bool EndFrame();
    bool BudgetSpent() const { return frameOpen_ && stepsLeft_ == 0; }
    // How the last call from outside ended (the first stop among the calls
    // it made), for the calls that return no status.
    RunStatus LastStatus() const { return lastStatus_; }
    // A movie's ScriptLimits tag: lowers the call depth and the time limit,
    // never raises them past what the player allows (0 leaves a limit as it is).
    void ApplyScriptLimits(int maxRecursionDepth, int timeoutSeconds);
    // Whether scripts hold more memory than the limit allows (after the last
    // collection, plus what was made since).
    bool OverMemoryLimit() const { return heap_.Bytes() > limits_.maxMemoryBytes; }
    // Counts text handed to scripts from outside (loaded files) toward
    // collection and the memory limit.
    void NoteBytes(std::size_t bytes) { heap_.NoteBytes(bytes); }
    // Something the movie's scripts use that this player does not have (an
    // action, a built-in class): each is kept once, to be taken by the player.
    void NoteUnsupported(const std::string& what);
    // A request of the scripts the player refused (a bitmap past the memory
    // limit): told the same way, each once.
    void NoteRefused(const std::string& what) { NoteUnsupported(what); }
    std::vector<std::string> TakeUnsupported();

    // System.setClipboard: the hosts have no clipboard face, so the text
    // waits here for the player to take and hand to the system's clipboard.
    void SetClipboardText(std::string text) { clipboardText_ = std::move(text); }
    // The text set since the last call, if any.
    std::optional<std::string> TakeClipboardText() { return std::exchange(clipboardText_, std::nullopt); }

    // Work done for scripts outside them (loaded variables set): drawn from
    // the open budget. False once it is spent, in steps or in time (0 steps
    // only asks).
    bool Spend(std::uint64_t steps);

    // The main timeline, which `_root` and `_level0` name. Without one, `_root`
    // is the timeline the block runs on.
    void SetRoot(ActionTarget* root);
    // The display object (a timeline or another) is gone: drop its variables
    // and stop reaching it.
    void Forget(DisplayTarget& object);
    // The script object standing for a display object: made on first use,
    // the same one afterwards. Clips get the MovieClip prototype.
    Object* ObjectFor(DisplayTarget* object);

    // Player-wide display settings scripts read and set (_quality,
    // _focusrect, _soundbuftime).
    struct DisplaySettings {
        std::string quality = "HIGH";
        bool focusRect = true;
        double soundBufferTime = 5;
    };
    DisplaySettings& displaySettings() { return displaySettings_; }

    // A timeline variable as scripts see it (the timeline, then _global).
    // Object references stay valid only until the next Run.
    Value GetVariable(ActionTarget& target, const std::string& name);
    void SetVariable(ActionTarget& target, const std::string& name, const Value& value);
    std::string ToText(const Value& value) const;

    // Receives the text of every trace() call; without one they are dropped.
    void SetTraceHandler(std::function<void(const std::string&)> handler);

    // _levelN timelines above the main one (level 0 is SetRoot's); nullptr
    // removes one.
    void SetLevel(int level, ActionTarget* target);
    ActionTarget* Level(int level) const;

    // Loading (loading.cpp). Scripts queue requests; the player takes them
    // on a later frame tick, reads the files and reports back through the
    // calls below. Receivers stay alive until EndLoads().
    void QueueLoad(LoadRequest request);
    // The requests queued so far, oldest first, now being completed; requests
    // queued meanwhile wait for the next call. Targets destroyed meanwhile
    // show as targetGone.
    std::vector<LoadRequest>& BeginLoads();
    // The first `done` were completed; the rest wait, ahead of newer ones.
    void EndLoads(std::size_t done);
    // The script object of a timeline, as callbacks receive it.
    Value ClipValue(ActionTarget& target);
    // A timeline's own variables dropped (its content was replaced).
    void ClearVariables(ActionTarget& target);
    // object.name(args), run from outside any block; undefined when there is
    // no such method.
    Value CallMethod(const Value& object, const std::string& name, std::vector<Value> args, ActionHost& host);
    // A clip placed from a library symbol that Object.registerClass tied to a
    // class becomes an instance of it: the class's prototype becomes its
    // __proto__ and the constructor runs on it. False when no class is tied.
    bool ConstructAs(DisplayTarget& clip, const std::string& symbol, ActionHost& host);
    // A LoadVars load ended: `text` is the file's text, or null when it failed.
    void FinishLoadVars(Object* receiver, const std::string* text, std::size_t bytes, ActionHost& host);
    // An XML load ended likewise: the text is parsed into the document, then its onLoad runs.
    void FinishXml(Object* document, const std::string* text, ActionHost& host);
    // Calls `event` on every listener of a MovieClipLoader, in order.
    void NotifyClipLoader(Object* loader, const std::string& event, const std::vector<Value>& args, ActionHost& host);
    // What getProgress reports for the loader's load into `target`.
    void SetClipLoadProgress(Object* loader, ActionTarget& target, double loaded, double total);

    Object* loadVarsPrototype() const { return builtins_.loadVarsProto; }
    Object* clipLoaderPrototype() const { return builtins_.clipLoaderProto; }

    // The script clock (milliseconds) that setInterval and setTimeout count
    // against. The player calls this once per frame with its clock: callbacks
    // that have come due run now, each at most once per call (an interval that
    // fell behind skips the beats it missed). Returns how the callbacks ended:
    // the first status other than Completed, if any.
    RunStatus AdvanceTimers(double nowMs, ActionHost& host);
    double TimerClock() const { return clockMs_; }
    std::size_t PendingTimers() const { return timers_.size(); }

    // Milliseconds since the VM started (getTimer).
    double ElapsedMs() const;
    // The next pseudo-random number in [0, 1) (random, Math.random).
    double Random();
    // Local time for Date: minutes east of UTC at a moment (milliseconds since
    // 1970, UTC), summer time included; the machine's unless set.
    using TimeZone = std::function<int(double utcMs)>;
    void SetTimeZone(TimeZone zone) { timeZone_ = std::move(zone); }
    // A zone without summer time.
    void SetTimeZoneOffset(int minutesEast) {
        timeZone_ = [minutesEast](double) { return minutesEast; };
    }
    int TimeZoneOffsetAt(double utcMs) const { return timeZone_ ? timeZone_(utcMs) : 0; }

    // Keyboard, pointer and stage facts for Key, Mouse and Stage (builtins/input.cpp).
    InputState& input() { return input_; }
    // Calls `event` on every listener of the global broadcaster `source`
    // (Key, Mouse, Stage), in the order they were added.
    void Broadcast(const std::string& source, const std::string& event, ActionHost& host,
                   const std::vector<Value>& args = {});
    // The focus model Selection works on; may be null. Not owned.
    void SetSelectionHost(SelectionHost* host) { selectionHost_ = host; }
    SelectionHost* selectionHost() const { return selectionHost_; }
    // Lays text out for TextFormat.getTextExtent; may be null. Not owned.
    void SetTextMeasurer(TextMeasurer* measurer) { textMeasurer_ = measurer; }
    TextMeasurer* textMeasurer() const { return textMeasurer_; }
    // The movie's sound for the Sound class; may be null. Not owned.
    void SetSoundHost(SoundHost* host) { soundHost_ = host; }
    SoundHost* soundHost() const { return soundHost_; }
    Object* soundPrototype() const { return builtins_.soundProto; }
    // A Sound object started `voice`: it hears onSoundComplete when the voice ends.
    void SoundStarted(std::uint32_t voice, Object* sound);
    // A Sound's loadSound finished: `sound` is the host's handle for the file
    // (0: it failed), `bytes` its size and `id3` its tags. onID3 (when it
    // has tags), then onLoad run; a streaming sound starts first.
    void FinishSoundLoad(Object* receiver, std::uint32_t sound, std::size_t bytes,
                         const std::map<std::string, std::string>& id3, ActionHost& host);
    // The voices that played to their end: their Sound objects' onSoundComplete
    // runs. Voices stopped meanwhile are let go.
    void SoundsFinished(const std::vector<std::uint32_t>& voices, ActionHost& host);

    // The movie's video streams for NetStream; may be null (streams then
    // play nothing). Not owned.
    void SetNetStreamHost(NetStreamHost* host) { netStreamHost_ = host; }
    NetStreamHost* netStreamHost() const { return netStreamHost_; }
    // A NetStream object plays `stream`: it is kept alive, to hear of it,
    // until StreamClosed.
    void StreamOpened(std::uint32_t stream, Object* netStream) { netStreams_[stream] = netStream; }
    void StreamClosed(std::uint32_t stream) { netStreams_.erase(stream); }
    // The stream's object has `handler` called with `args` (onStatus,
    // onMetaData, onCuePoint, ...); nothing when the stream has no object.
    void StreamCall(std::uint32_t stream, const std::string& handler, std::vector<Value> args, ActionHost& host);
    Object* videoProto() const { return videoProto_; }
    void SetVideoPrototype(Object* proto) { videoProto_ = proto; }

    // ---- What the host asks of the movie (host_calls.cpp) ----
    // Each runs as a call from outside: on the open frame's budget or one of
    // its own; nested in a running script (a host answering
    // ExternalInterface.call), on that script's budget. Paths are read from
    // the main timeline, as its scripts write them.

    // A variable by path ("name", "/:name", "/clip/inner:name",
    // "_root.clip.name", "_level0.name", "_global.name") as text; nothing
    // when it is undefined or the path names nothing.
    std::optional<std::string> GetPathText(const std::string& path, ActionHost& host);
    // Sets it to the text; false when the path's timeline or object is missing.
    bool SetPathText(const std::string& path, const std::string& text, ActionHost& host);
    // The timeline a target path names ("", "/", "/clip/inner",
    // "_level0.clip", "_root.clip"); null when there is none.
    ActionTarget* FindTimeline(const std::string& path, ActionHost& host);
    // GetProperty / SetProperty by the actions' property numbers on the
    // timeline a target path names; nothing / false when it names none or
    // the number is out of range.
    std::optional<Value> GetTargetProperty(const std::string& path, int property, ActionHost& host);
    bool SetTargetProperty(const std::string& path, int property, const Value& value, ActionHost& host);

    // ExternalInterface: `available` tells scripts whether the host answers
    // calls; `allowed` false refuses addCallback and the host's calls into
    // the movie. Both true until set.
    void SetExternalInterface(bool available, bool allowed);
    bool ExternalAvailable() const { return externalAvailable_; }
    bool ExternalAllowed() const { return externalAllowed_; }
    // addCallback: `function` called with `this` = `instance` when the host
    // calls `name`; a later one of the same name replaces it. False when refused.
    bool AddHostCallback(const std::string& name, const Value& function, const Value& instance);
    // The host calls a callback: the invoke XML in, the result in the XML
    // value form out. Nothing, with `error` saying why, for a malformed
    // request, an unknown name, a refused or too deeply nested call, or a
    // script stopped on its way.
    std::optional<std::string> CallHostCallback(const std::string& request, ActionHost& host, std::string& error);
    // Host calls may nest inside scripts (movie -> host -> movie ...) this deep.
    static constexpr int kMaxHostNesting = 16;

    // The constructor Object.registerClass tied to a library symbol (the exact
    // name, else one differing in case), or null.
    Object* RegisteredClass(const std::string& symbol) const;

    int swfVersion() const { return swfVersion_; }
    const VmLimits& limits() const { return limits_; }
    std::size_t ObjectCount() const { return heap_.Count(); }
    // Steps spent by all runs so far: actions executed plus conversion work.
    std::uint64_t StepsUsed() const { return stepsUsed_; }

    // For the built-in classes: the global object and the shared prototypes.
    Object* global() const { return builtins_.global; }
    Object* objectProto() const { return builtins_.objectProto; }
    Object* functionProto() const { return builtins_.functionProto; }
    Object* arrayProto() const { return builtins_.arrayProto; }
    Object* stringProto() const { return builtins_.stringProto; }
    Object* numberProto() const { return builtins_.numberProto; }
    Object* booleanProto() const { return builtins_.booleanProto; }
    Object* dateProto() const { return builtins_.dateProto; }
    Object* xmlNodeProto() const { return builtins_.xmlNodeProto; }
    // MovieClip.prototype: what the script objects of clips inherit.
    Object* clipProto() const { return builtins_.clipProto; }
    // TextField.prototype: what the script objects of text fields inherit.
    Object* textFieldProto() const { return textFieldProto_; }
    void SetTextFieldPrototype(Object* proto) { textFieldProto_ = proto; }
    // Button.prototype: what the script objects of buttons inherit.
    void SetButtonPrototype(Object* proto) { buttonProto_ = proto; }
    Object* buttonProto() const { return buttonProto_; }
    Object* flashPackage() const { return builtins_.flashPackage; }
    Heap& heap() { return heap_; }

    // For the interpreter: the main timeline (null when none was set), the
    // steps left in the open budget (which running blocks draw on
    // directly), whether its time has run out (it is then spent), and
    // trace() output.
    ActionTarget* root() const { return root_; }
    std::uint64_t& stepsLeft() { return stepsLeft_; }
    bool OutOfTime();
    bool Tracing() const { return static_cast<bool>(trace_); }
    void Trace(const std::string& text) const { trace_(text); }

    // Timers as setInterval/setTimeout create them; ids count from 1.
    struct Timer {
        int id = 0;
        double due = 0;
        double interval = 0;
        bool repeat = false;
        Value function;  // the callback, or the object whose `method` is called
        std::string method;
        std::vector<Value> args;
    };
    int AddTimer(Timer timer);
    bool RemoveTimer(int id);
    void RegisterClass(const std::string& symbol, Object* constructor);

private:
    // Every call into scripts from outside goes through one. The outermost
    // takes a budget when no frame is open, counts the steps spent, records
    // how the calls ended, and collects garbage afterwards.
    class Entry {
    public:
        explicit Entry(Vm& vm);
        ~Entry();
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;
        // False when the budget is spent: nothing may run.
        bool Allowed() const { return vm_.stepsLeft_ > 0; }
        void Finish(RunStatus status);

    private:
        Vm& vm_;
        bool outermost_;
        std::uint64_t stepsAtStart_ = 0;
    };
    // Runs `body` (returning a RunStatus) as one entry; exhaustion of the
    // system's memory stops it like the movie's memory limit.
    template <class Body>
    RunStatus Enter(Body&& body) {
        Entry entry(*this);
        RunStatus status = RunStatus::ActionLimit;
        if (entry.Allowed()) {
            try {
                status = body();
            } catch (const std::bad_alloc&) {
                status = RunStatus::MemoryLimit;
            }
        }
        entry.Finish(status);
        return status;
    }
    // The due timers' callbacks, while the budget lasts.
    RunStatus RunTimers(const std::vector<int>& due, ActionHost& host);
    void CollectGarbage();
    // Collects when no block runs and the heap has grown enough since last time.
    void CollectIfIdle();

    int swfVersion_;
    VmLimits limits_;
    Heap heap_;
    BuiltinObjects builtins_;
    // Set by the player's text field and button classes.
    Object* textFieldProto_ = nullptr;
    Object* buttonProto_ = nullptr;
    Object* videoProto_ = nullptr;
    ActionTarget* root_ = nullptr;
    std::map<int, ActionTarget*> levels_;
    std::vector<LoadRequest> pendingLoads_;
    std::vector<LoadRequest> activeLoads_;
    std::map<DisplayTarget*, Object*> clips_;
    DisplaySettings displaySettings_;
    std::function<void(const std::string&)> trace_;
    int runDepth_ = 0;
    std::size_t liveAfterCollect_ = 0;
    std::uint32_t randomState_ = 0x2545F491u;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    double clockMs_ = 0;
    std::uint64_t stepsUsed_ = 0;
    // The budget being drawn on: steps left and the time it ends.
    std::uint64_t stepsLeft_ = 0;
    std::chrono::steady_clock::time_point deadline_;
    bool hasDeadline_ = false;
    bool frameOpen_ = false;
    RunStatus entryStatus_ = RunStatus::Completed;
    std::set<std::string> unsupportedSeen_;
    std::vector<std::string> unsupported_;
    std::optional<std::string> clipboardText_;
    RunStatus lastStatus_ = RunStatus::Completed;
    TimeZone timeZone_;
    int nextTimerId_ = 1;
    std::vector<Timer> timers_;
    std::map<std::string, Object*> registeredClasses_;
    InputState input_;
    SelectionHost* selectionHost_ = nullptr;
    TextMeasurer* textMeasurer_ = nullptr;
    SoundHost* soundHost_ = nullptr;
    NetStreamHost* netStreamHost_ = nullptr;
    // The NetStream objects of open streams, by handle.
    std::map<std::uint32_t, Object*> netStreams_;
    struct HostCallback {
        Value function;
        Value instance;
    };
    std::map<std::string, HostCallback> hostCallbacks_;
    bool externalAvailable_ = true;
    bool externalAllowed_ = true;
    // Voices Sound objects started, with the object to tell when each ends.
    std::vector<std::pair<std::uint32_t, Object*>> playingSounds_;
};

}  // namespace swf::actions
