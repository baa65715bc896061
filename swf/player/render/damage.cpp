#include "swf/player/render/damage.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "swf/raster/fingerprint.h"

namespace swf {

namespace {

// Pixels beyond a path's points that anti-aliasing may still touch.
constexpr double kAntiAliasMargin = 1;
// Coordinates are kept well inside int so that areas and unions cannot overflow.
constexpr double kCoordinateLimit = 1 << 28;
// Rectangles this close (in added pixels) are cheaper drawn as one.
constexpr long long kMergeSlack = 64 * 64;
// Beyond this many, the rectangles are simply joined into one.
constexpr std::size_t kMaxPairwise = 64;

int ToPixel(double v) { return static_cast<int>(std::clamp(v, -kCoordinateLimit, kCoordinateLimit)); }

raster::PixelRect PixelBounds(const raster::Path& path, const raster::Matrix& m, double reach) {
    const std::vector<raster::Point>& points = path.points();
    if (points.empty()) return {};
    double minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const raster::Point& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    // The box's corners mapped hold the mapped points (the map is affine).
    double left = std::numeric_limits<double>::infinity(), top = left;
    double right = -left, bottom = -left;
    for (const raster::Point corner :
         {raster::Point{minX, minY}, raster::Point{maxX, minY}, raster::Point{minX, maxY}, raster::Point{maxX, maxY}}) {
        const raster::Point p = m.Apply(corner);
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    const double grow = reach + kAntiAliasMargin;
    if (!std::isfinite(left + right + top + bottom + grow)) {
        // Unknown extent: everything.
        return {ToPixel(-kCoordinateLimit), ToPixel(-kCoordinateLimit), ToPixel(kCoordinateLimit),
                ToPixel(kCoordinateLimit)};
    }
    return {ToPixel(std::floor(left - grow)), ToPixel(std::floor(top - grow)), ToPixel(std::ceil(right + grow)),
            ToPixel(std::ceil(bottom + grow))};
}

struct ItemKey {
    const void* object;
    bool mask;
    std::uint64_t order;
    bool operator==(const ItemKey&) const = default;
};

struct ItemKeyHash {
    std::size_t operator()(const ItemKey& k) const {
        return static_cast<std::size_t>(
            raster::Fingerprint().Add(k.object).Add(std::uint64_t{k.mask}).Add(k.order).value());
    }
};

// An object drawn more than once at the same place counts as one item.
std::unordered_map<ItemKey, DrawnItem, ItemKeyHash> ByKey(const std::vector<DrawnItem>& items) {
    std::unordered_map<ItemKey, DrawnItem, ItemKeyHash> map;
    map.reserve(items.size());
    for (const DrawnItem& item : items) {
        auto [it, inserted] = map.try_emplace(ItemKey{item.object, item.mask, item.order}, item);
        if (!inserted) {
            it->second.content = raster::Fingerprint().Add(it->second.content).Add(item.content).value();
            it->second.bounds = it->second.bounds.United(item.bounds);
        }
    }
    return map;
}

long long Waste(const raster::PixelRect& a, const raster::PixelRect& b) {
    return a.United(b).Area() - a.Area() - b.Area();
}

}  // namespace

void DamageRecorder::Clear() {
    items_.clear();
    open_.clear();
    drew_.clear();
    effects_.clear();
}

void DamageRecorder::PushEffect(std::uint64_t key, int reach, int dx, int dy) {
    Effect effect{key, reach, dx, dy};
    if (!effects_.empty()) {
        const Effect& outer = effects_.back();
        effect.key = raster::Fingerprint().Add(outer.key).Add(key).value();
        effect.reach += outer.reach;
        effect.dx += outer.dx;
        effect.dy += outer.dy;
    }
    effects_.push_back(effect);
}

std::uint64_t DamageRecorder::ContentSince(std::size_t first) const {
    raster::Fingerprint f;
    for (std::size_t i = first; i < items_.size(); ++i) {
        const DrawnItem& item = items_[i];
        f.Add(item.object).Add(std::uint64_t{item.mask}).Add(item.order).Add(item.content);
        f.Add(std::uint64_t{drew_[i]});
    }
    return f.value();
}

void DamageRecorder::PopEffect() {
    if (!effects_.empty()) effects_.pop_back();
}

void DamageRecorder::Enter(const void* object, bool mask, std::uint64_t order) {
    open_.push_back(items_.size());
    items_.push_back({object, mask, order, raster::Fingerprint().value(), {}});
    drew_.push_back(false);
}

void DamageRecorder::Leave() {
    if (!open_.empty()) open_.pop_back();
}

void DamageRecorder::AddCall(const raster::Path& path, const raster::DrawOptions& options, std::uint64_t kind,
                             double reach) {
    if (open_.empty()) Enter(nullptr, false, 0);  // drawing outside any object still counts
    const std::size_t index = open_.back();
    DrawnItem& item = items_[index];
    raster::Fingerprint f;
    f.Add(item.content).Add(kind);
    int dx = 0, dy = 0;
    if (!effects_.empty()) {
        f.Add(effects_.back().key);
        reach += effects_.back().reach;
        dx = effects_.back().dx;
        dy = effects_.back().dy;
    }
    const raster::Matrix& m = options.matrix;
    for (double v : {m.a, m.b, m.c, m.d, m.tx, m.ty}) f.Add(v);
    f.Add(std::uint64_t{options.clip != nullptr}).Add(std::uint64_t{options.closeSubpaths});
    for (raster::PathVerb verb : path.verbs()) f.Add(static_cast<std::uint64_t>(verb));
    for (const raster::Point& p : path.points()) f.Add(p.x).Add(p.y);
    item.content = f.value();
    raster::PixelRect bounds = PixelBounds(path, m, reach);
    if (!bounds.empty()) bounds = {bounds.left + dx, bounds.top + dy, bounds.right + dx, bounds.bottom + dy};
    item.bounds = item.bounds.United(bounds);
    drew_[index] = true;
}

bool DamageRecorder::OpenItem(std::uint64_t* content, raster::PixelRect* bounds, bool* drew) const {
    if (open_.empty()) return false;
    const std::size_t index = open_.back();
    *content = items_[index].content;
    *bounds = items_[index].bounds;
    *drew = drew_[index];
    return true;
}

void DamageRecorder::Replay(std::uint64_t content, const raster::PixelRect& bounds, bool drew) {
    if (open_.empty()) Enter(nullptr, false, 0);
    const std::size_t index = open_.back();
    items_[index].content = content;
    items_[index].bounds = bounds;
    drew_[index] = drew;
}

std::vector<DrawnItem> DamageRecorder::Take() {
    std::vector<DrawnItem> drawn;
    drawn.reserve(items_.size());
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (drew_[i]) drawn.push_back(items_[i]);
    }
    Clear();
    return drawn;
}

std::vector<raster::PixelRect> ChangedAreas(const std::vector<DrawnItem>& before, const std::vector<DrawnItem>& after) {
    const auto old = ByKey(before);
    const auto now = ByKey(after);
    std::vector<raster::PixelRect> areas;
    for (const auto& [key, item] : now) {
        const auto it = old.find(key);
        if (it == old.end()) {
            areas.push_back(item.bounds);
        } else if (it->second.content != item.content || !(it->second.bounds == item.bounds)) {
            areas.push_back(it->second.bounds);
            areas.push_back(item.bounds);
        }
    }
    for (const auto& [key, item] : old) {
        if (!now.contains(key)) areas.push_back(item.bounds);
    }
    return areas;
}

std::vector<raster::PixelRect> MergeAreas(std::vector<raster::PixelRect> areas, std::size_t maxCount) {
    std::erase_if(areas, [](const raster::PixelRect& r) { return r.empty(); });
    if (areas.size() > kMaxPairwise || (maxCount <= 1 && !areas.empty())) {
        raster::PixelRect all;
        for (const raster::PixelRect& r : areas) all = all.United(r);
        return {all};
    }
    // Join overlapping and nearly adjacent rectangles until none are left.
    for (bool joined = true; joined;) {
        joined = false;
        for (std::size_t i = 0; i < areas.size() && !joined; ++i) {
            for (std::size_t j = i + 1; j < areas.size(); ++j) {
                if (areas[i].Intersects(areas[j]) || Waste(areas[i], areas[j]) <= kMergeSlack) {
                    areas[i] = areas[i].United(areas[j]);
                    areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(j));
                    joined = true;
                    break;
                }
            }
        }
    }
    while (areas.size() > maxCount) {
        std::size_t bestI = 0, bestJ = 1;
        long long best = std::numeric_limits<long long>::max();
        for (std::size_t i = 0; i < areas.size(); ++i) {
            for (std::size_t j = i + 1; j < areas.size(); ++j) {
                const long long w = Waste(areas[i], areas[j]);
                if (w < best) best = w, bestI = i, bestJ = j;
            }
        }
        areas[bestI] = areas[bestI].United(areas[bestJ]);
        areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(bestJ));
    }
    return areas;
}

}  // namespace swf
