#include "tools/guidekit/output_files.h"

#include <fstream>
#include <system_error>

namespace guidekit {

namespace fs = std::filesystem;

namespace {

fs::path Beside(const fs::path& target, const char* suffix) {
    fs::path path = target;
    path += suffix;
    return path;
}

}  // namespace

OutputFiles::~OutputFiles() {
    if (!committed_) Undo();
}

bool OutputFiles::MakeFolder(const fs::path& folder, std::string* why) {
    std::vector<fs::path> missing;
    std::error_code ec;
    for (fs::path at = folder; !at.empty() && !fs::exists(at, ec); at = at.parent_path()) {
        missing.push_back(at);
        if (at == at.parent_path()) break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!fs::create_directory(*it, ec) && ec) {
            *why = "cannot make the folder '" + it->string() + "': " + ec.message();
            return false;
        }
        madeFolders_.push_back(*it);
    }
    if (!fs::is_directory(folder, ec)) {
        *why = "'" + folder.string() + "' is not a folder";
        return false;
    }
    return true;
}

bool OutputFiles::Write(const fs::path& target, const std::function<bool(const fs::path&, std::string*)>& write,
                        std::string* why) {
    Pending pending{target, Beside(target, ".guidekit-part"), Beside(target, ".guidekit-old")};
    files_.push_back(pending);
    return write(pending.temporary, why);
}

bool OutputFiles::WriteBytes(const fs::path& target, const std::string& bytes, std::string* why) {
    return Write(
        target,
        [&](const fs::path& temporary, std::string* error) {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.close();
            if (!out) *error = "cannot write '" + target.string() + "'";
            return static_cast<bool>(out);
        },
        why);
}

bool OutputFiles::CopyFile(const fs::path& target, const fs::path& source, std::string* why) {
    return Write(
        target,
        [&](const fs::path& temporary, std::string* error) {
            std::error_code ec;
            fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec);
            if (ec) *error = "cannot copy '" + source.string() + "': " + ec.message();
            return !ec;
        },
        why);
}

bool OutputFiles::Commit(std::string* why) {
    std::error_code ec;
    for (Pending& file : files_) {
        // A file being replaced steps aside first, so that it can come back.
        if (fs::exists(fs::symlink_status(file.target, ec))) {
            fs::rename(file.target, file.replaced, ec);
            if (ec) {
                *why = "cannot replace '" + file.target.string() + "': " + ec.message();
                Undo();
                return false;
            }
        } else {
            file.replaced.clear();
        }
        fs::rename(file.temporary, file.target, ec);
        if (ec) {
            *why = "cannot write '" + file.target.string() + "': " + ec.message();
            if (!file.replaced.empty()) fs::rename(file.replaced, file.target, ec);
            file.replaced.clear();
            Undo();
            return false;
        }
        file.placed = true;
    }
    for (const Pending& file : files_) {
        if (!file.replaced.empty()) fs::remove(file.replaced, ec);
    }
    committed_ = true;
    return true;
}

void OutputFiles::Undo() {
    std::error_code ec;
    for (auto it = files_.rbegin(); it != files_.rend(); ++it) {
        fs::remove(it->temporary, ec);
        if (it->placed) {
            fs::remove(it->target, ec);
            if (!it->replaced.empty()) fs::rename(it->replaced, it->target, ec);
        }
    }
    files_.clear();
    for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) fs::remove(*it, ec);  // only when empty
    madeFolders_.clear();
    committed_ = true;
}

}  // namespace guidekit
