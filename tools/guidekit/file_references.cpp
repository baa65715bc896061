#include "tools/guidekit/file_references.h"

#include <array>
#include <string_view>

#include "swf/base/ascii.h"
#include "swf/files/movie_path.h"
#include "swf/model/button.h"

namespace guidekit {

namespace {

constexpr std::uint8_t kConstantPool = 0x88;
constexpr std::uint8_t kGetUrl = 0x83;
constexpr std::uint8_t kPush = 0x96;

class BlockCollector {
public:
    void Add(const swf::ActionCode& code) {
        if (code && seen_.insert(code.get()).second) blocks_.emplace_back(*code);
    }
    void AddTimeline(const swf::Timeline& timeline) {
        for (const swf::Frame& frame : timeline.frames) {
            for (const swf::ActionCode& code : frame.actions) Add(code);
            for (const swf::InitAction& init : frame.initActions) Add(init.code);
            for (const swf::DisplayCommand& command : frame.commands) {
                const auto* place = std::get_if<swf::PlaceCommand>(&command);
                if (place == nullptr || !place->clipActions) continue;
                for (const swf::ClipAction& handler : *place->clipActions) Add(handler.code);
            }
        }
    }
    std::vector<std::span<const std::uint8_t>> Take() { return std::move(blocks_); }

private:
    std::set<const void*> seen_;
    std::vector<std::span<const std::uint8_t>> blocks_;
};

// Zero-terminated strings from `at` on; false when one runs past the end.
bool ReadString(std::span<const std::uint8_t> bytes, std::size_t& at, std::string& out) {
    out.clear();
    while (at < bytes.size() && bytes[at] != 0) out += static_cast<char>(bytes[at++]);
    if (at >= bytes.size()) return false;
    ++at;
    return true;
}

void PushStrings(std::span<const std::uint8_t> payload, std::vector<std::string>& out) {
    // Value type -> bytes that follow it (strings aside).
    static constexpr std::array<int, 10> kSizes = {-1, 4, 0, 0, 1, 1, 8, 4, 1, 2};
    std::size_t at = 0;
    std::string text;
    while (at < payload.size()) {
        const std::uint8_t type = payload[at++];
        if (type >= kSizes.size()) return;
        if (type == 0) {
            if (!ReadString(payload, at, text)) return;
            out.push_back(text);
        } else {
            at += static_cast<std::size_t>(kSizes[type]);
        }
    }
}

void PoolStrings(std::span<const std::uint8_t> payload, std::vector<std::string>& out) {
    if (payload.size() < 2) return;
    const unsigned count = payload[0] | payload[1] << 8;
    std::size_t at = 2;
    std::string text;
    for (unsigned i = 0; i < count && ReadString(payload, at, text); ++i) out.push_back(text);
}

bool HasOtherScheme(std::string_view text) {
    const std::size_t colon = text.find(':');
    // One letter before the colon is a drive, which stays a (refused) path.
    if (colon == std::string_view::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = text[i];
        const bool schemeChar = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                                c == '+' || c == '-' || c == '.';
        if (!schemeChar) return false;
    }
    return !swf::base::EqualsNoCase(text.substr(0, colon), "file");
}

std::string Lower(std::string text) {
    for (char& c : text) c = swf::base::ToLowerAscii(c);
    return text;
}

}  // namespace

std::vector<std::span<const std::uint8_t>> ActionBlocks(const swf::MovieDefinition& movie) {
    BlockCollector collector;
    collector.AddTimeline(movie.timeline);
    for (const auto& [id, character] : movie.dictionary) {
        if (const auto* sprite = dynamic_cast<const swf::SpriteDefinition*>(character.get())) {
            collector.AddTimeline(sprite->timeline);
        } else if (const auto* button = dynamic_cast<const swf::ButtonDefinition*>(character.get())) {
            for (const swf::ButtonAction& action : button->actions) collector.Add(action.code);
        }
    }
    return collector.Take();
}

std::vector<std::string> StringConstants(std::span<const std::uint8_t> actions) {
    std::vector<std::string> strings;
    std::size_t at = 0;
    while (at < actions.size()) {
        const std::uint8_t code = actions[at++];
        if (code < 0x80) continue;
        if (at + 2 > actions.size()) break;
        const std::size_t length = actions[at] | actions[at + 1] << 8;
        at += 2;
        // Function bodies follow their headers as ordinary records, so one
        // pass over the bytes reads them too.
        const auto payload = actions.subspan(at, std::min(length, actions.size() - at));
        at += payload.size();
        if (code == kPush) {
            PushStrings(payload, strings);
        } else if (code == kConstantPool) {
            PoolStrings(payload, strings);
        } else if (code == kGetUrl) {
            std::size_t read = 0;
            std::string url;
            if (ReadString(payload, read, url)) strings.push_back(url);
        }
    }
    return strings;
}

bool LooksLikeFileName(const std::string& text) {
    if (text.empty() || text.size() > 1024 || HasOtherScheme(text)) return false;
    if (text.find_first_of("\r\n\t") != std::string::npos) return false;
    const std::string path = Lower(text.substr(0, text.find_first_of("?#")));
    static constexpr std::array<std::string_view, 10> kExtensions = {".swf", ".jpg", ".jpeg", ".png", ".gif",
                                                                     ".txt", ".xml", ".mp3",  ".flv", ".html"};
    for (std::string_view extension : kExtensions) {
        if (path.size() > extension.size() && path.ends_with(extension)) return true;
    }
    return false;
}

std::vector<std::string> NamedFiles(const swf::MovieDefinition& movie) {
    std::vector<std::string> named;
    std::set<std::string> seen;
    for (const auto block : ActionBlocks(movie)) {
        for (std::string& text : StringConstants(block)) {
            if (LooksLikeFileName(text) && seen.insert(text).second) named.push_back(std::move(text));
        }
    }
    return named;
}

std::vector<FileReference> ResolveReferences(const std::vector<std::string>& named, const std::string& guideName,
                                             const std::set<std::string>& assetFiles) {
    std::set<std::string> assets;
    for (const std::string& file : assetFiles) assets.insert(Lower(file));
    const std::string folder = Lower(guideName + "_Page_img/");
    std::vector<FileReference> references;
    for (const std::string& name : named) {
        FileReference reference;
        reference.named = name;
        std::string why;
        reference.resolved = swf::ConfineMoviePath(name, &why);
        if (reference.resolved.empty()) {
            reference.state = FileReference::State::Outside;
            reference.why = why.empty() ? "it lies outside the guide's folder" : why;
            references.push_back(std::move(reference));
            continue;
        }
        const std::string path = Lower(reference.resolved);
        const bool inFolder = path.starts_with(folder);
        const std::string rest = inFolder ? path.substr(folder.size()) : std::string();
        if (path == Lower(guideName + ".swf") || (inFolder && (rest == "page_var.txt" || assets.contains(rest)))) {
            reference.state = FileReference::State::Present;
        } else if (!inFolder && assets.contains(path)) {
            reference.why = "the assets go to " + guideName + "_Page_img/, but the movie asks for it beside itself";
        } else if (inFolder) {
            reference.why = "the assets folder has no " + reference.resolved.substr(folder.size());
        } else {
            reference.why = "the guide's folder will not hold it (the assets go to " + guideName + "_Page_img/)";
        }
        references.push_back(std::move(reference));
    }
    return references;
}

}  // namespace guidekit
