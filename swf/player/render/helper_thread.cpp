#include "swf/player/render/helper_thread.h"

#include <utility>

namespace swf {

HelperThread::HelperThread() : thread_([this] { Serve(); }) {}

HelperThread::~HelperThread() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void HelperThread::RunBeside(const std::function<void()>& theirs, const std::function<void()>& ours) {
    {
        const std::lock_guard lock(mutex_);
        job_ = &theirs;
        failure_ = nullptr;
    }
    wake_.notify_one();
    std::exception_ptr ourFailure;
    try {
        ours();
    } catch (...) {
        ourFailure = std::current_exception();
    }
    // `theirs` lives in the caller's frame: wait for it even when ours failed.
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return job_ == nullptr; });
    if (ourFailure) std::rethrow_exception(ourFailure);
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void HelperThread::Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || job_ != nullptr; });
        if (job_ == nullptr) return;  // stopping, nothing left to run
        const std::function<void()>& job = *job_;
        lock.unlock();
        std::exception_ptr failure;
        try {
            job();
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        failure_ = failure;
        job_ = nullptr;
        done_.notify_one();
    }
}

}  // namespace swf
