#pragma once
// Ownership tree: a component owns the components created with it as owner and
// destroys them, newest first, when it is destroyed itself.

#include <memory>
#include <string>
#include <vector>

namespace toolkit {

class TComponent {
public:
    explicit TComponent(TComponent* owner) : owner_(owner) {
        if (owner_) owner_->owned_.push_back(this);
    }
    virtual ~TComponent() {
        // Children first, newest first; each one unlinks itself from us.
        while (!owned_.empty()) delete owned_.back();
        if (owner_) owner_->Forget(this);
    }
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::vector<TComponent*>& Components() const { return owned_; }

    std::string Name;

private:
    void Forget(TComponent* child) {
        for (auto it = owned_.begin(); it != owned_.end(); ++it) {
            if (*it == child) {
                owned_.erase(it);
                return;
            }
        }
    }

    TComponent* owner_;
    std::vector<TComponent*> owned_;
};

}  // namespace toolkit
