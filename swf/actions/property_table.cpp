#include "swf/actions/value.h"

namespace swf::actions {

namespace {

// FNV-1a over the name with ASCII letters folded to lower case, so that
// names differing only in case land together.
std::uint64_t FoldedHash(const std::string& name) {
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

std::size_t PropertyTable::Position(const std::string& name, bool ignoreCase) const {
    if (index_.empty()) {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (NamesEqual(items_[i].name, name, ignoreCase)) return i;
        return items_.size();
    }
    const auto it = index_.find(FoldedHash(name));
    if (it == index_.end()) return items_.size();
    for (std::uint32_t i : it->second)
        if (NamesEqual(items_[i].name, name, ignoreCase)) return i;
    return items_.size();
}

Property* PropertyTable::Find(const std::string& name, bool ignoreCase) {
    const std::size_t i = Position(name, ignoreCase);
    return i < items_.size() ? &items_[i] : nullptr;
}

Property& PropertyTable::push_back(Property property) {
    items_.push_back(std::move(property));
    if (!index_.empty()) {
        Index(static_cast<std::uint32_t>(items_.size() - 1));
    } else if (items_.size() > kIndexFrom) {
        Reindex();
    }
    return items_.back();
}

bool PropertyTable::Remove(const std::string& name, bool ignoreCase) {
    const std::size_t i = Position(name, ignoreCase);
    if (i >= items_.size()) return false;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
    // Positions after it moved down by one; removal is rare enough to rebuild.
    if (!index_.empty()) Reindex();
    return true;
}

void PropertyTable::clear() {
    items_.clear();
    index_.clear();
}

void PropertyTable::Index(std::uint32_t position) { index_[FoldedHash(items_[position].name)].push_back(position); }

void PropertyTable::Reindex() {
    index_.clear();
    if (items_.size() <= kIndexFrom) return;
    for (std::uint32_t i = 0; i < items_.size(); ++i) Index(i);
}

}  // namespace swf::actions
