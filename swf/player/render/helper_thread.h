#pragma once
// One more thread, kept alive between uses, that runs a piece of work beside
// the caller's own: a frame's two bands are drawn at once without starting a
// thread per frame.

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace swf {

class HelperThread {
public:
    HelperThread();
    ~HelperThread();
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    // Runs `theirs` on the helper thread while `ours` runs on the caller's,
    // and returns when both are done. An exception thrown by either is thrown
    // here after both have finished (the caller's first).
    void RunBeside(const std::function<void()>& theirs, const std::function<void()>& ours);

private:
    void Serve();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    const std::function<void()>* job_ = nullptr;  // set while the helper has work
    std::exception_ptr failure_;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once the members it uses exist
};

}  // namespace swf
