#pragma once
// Owns every script object. Collect() frees what the given roots no longer
// reach (a plain mark and sweep); it runs only between action blocks, when no
// operand stack or activation holds a reference.

#include <cstddef>
#include <memory>
#include <vector>

#include "value.h"

namespace swf::actions {

class Heap {
public:
    Object* New(ObjectKind kind);
    std::size_t Count() const { return objects_.size(); }
    void Collect(const std::vector<Object*>& roots);

private:
    std::vector<std::unique_ptr<Object>> objects_;
};

}  // namespace swf::actions
