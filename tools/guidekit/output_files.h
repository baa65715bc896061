#pragma once
// Writes a set of files so that a failure leaves nothing half-written: each
// file goes to a temporary name beside its place, and only when all are
// complete do they take their names. Anything not committed (a failure, an
// exception) is removed again, folders this run made included, and files it
// would have replaced are put back.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace guidekit {

class OutputFiles {
public:
    OutputFiles() = default;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;
    ~OutputFiles();

    // Makes the folder and the missing ones above it; false, with *why set, when it cannot.
    bool MakeFolder(const std::filesystem::path& folder, std::string* why);
    // `write` fills the temporary file at the path it is given and says
    // whether it succeeded (with *why set when not).
    bool Write(const std::filesystem::path& target,
               const std::function<bool(const std::filesystem::path& temporary, std::string* why)>& write,
               std::string* why);
    bool WriteBytes(const std::filesystem::path& target, const std::string& bytes, std::string* why);
    bool CopyFile(const std::filesystem::path& target, const std::filesystem::path& source, std::string* why);
    // Gives every file its name; on a failure everything is undone.
    bool Commit(std::string* why);

private:
    struct Pending {
        std::filesystem::path target, temporary, replaced;
        bool placed = false;
    };
    void Undo();

    std::vector<Pending> files_;
    std::vector<std::filesystem::path> madeFolders_;  // outermost first
    bool committed_ = false;
};

}  // namespace guidekit
