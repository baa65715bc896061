#pragma once
// Owns every script object. Collect() frees what the given roots no longer
// reach (a plain mark and sweep); it runs only between action blocks, when no
// operand stack or activation holds a reference.

#include <cstddef>
#include <memory>
#include <unordered_set>
#include <vector>

#include "swf/actions/value.h"

namespace swf::actions {

class Heap {
public:
    Object* New(ObjectKind kind);
    std::size_t Count() const { return objects_.size(); }
    void Collect(const std::vector<Object*>& roots);

    // An estimate of the bytes scripts hold: what the last collection found
    // alive (objects, their members and the text they hold, shared text
    // once), plus what was made since.
    std::size_t Bytes() const { return liveBytes_ + madeBytes_; }
    std::size_t BytesMadeSinceCollect() const { return madeBytes_; }
    // Text or other data made for scripts since the last collection.
    void NoteBytes(std::size_t bytes) { madeBytes_ += bytes; }
    // Data counted before and freed since (a disposed bitmap), taken off the
    // estimate at once rather than at the next collection.
    void ForgetBytes(std::size_t bytes);

private:
    std::size_t Measure(const Object& o, std::unordered_set<const void*>& texts) const;

    std::vector<std::unique_ptr<Object>> objects_;
    std::size_t liveBytes_ = 0;
    std::size_t madeBytes_ = 0;
};

}  // namespace swf::actions
