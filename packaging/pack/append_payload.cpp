#include "packaging/pack/append_payload.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "app/payload_tail.h"

namespace packaging {

namespace fs = std::filesystem;

namespace {

PackResult Fail(std::string message) { return {false, std::move(message)}; }

// Copies all of `path` to `out`; false when it cannot be read completely.
bool CopyInto(const std::string& path, std::uint64_t expected, std::ofstream& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<char> chunk(1 << 20);
    std::uint64_t copied = 0;
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = in.gcount();
        if (got > 0) {
            out.write(chunk.data(), got);
            copied += static_cast<std::uint64_t>(got);
        }
    }
    return in.eof() && copied == expected && out.good();
}

std::uint64_t RegularFileSize(const std::string& path, std::string& error) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        error = "cannot read '" + path + "': not a readable file";
        return 0;
    }
    auto size = fs::file_size(path, ec);
    if (ec) error = "cannot read '" + path + "': " + ec.message();
    return ec ? 0 : size;
}

}  // namespace

PackResult AppendPayload(const std::string& executable, const std::string& package, const std::string& output) {
    std::string error;
    const std::uint64_t exeSize = RegularFileSize(executable, error);
    if (!error.empty()) return Fail(error);
    const std::uint64_t packageSize = RegularFileSize(package, error);
    if (!error.empty()) return Fail(error);

    if (packageSize == 0) {
        return Fail("the installer package '" + package + "' is empty; the program would take it for no package");
    }
    if (packageSize > 0xFFFFFFFFull) {
        return Fail("the installer package '" + package + "' is 4 GiB or larger; its length cannot be stored");
    }
    if (exeSize + packageSize + 4 > kMaxOutputSize) {
        return Fail("the packed file would be 2 GiB or larger, which the program cannot read back");
    }

    const std::string partial = output + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out) return Fail("cannot create '" + partial + "'");
        const auto trailer = app::EncodeTrailer(static_cast<std::uint32_t>(packageSize));
        const bool complete = CopyInto(executable, exeSize, out) && CopyInto(package, packageSize, out) &&
                              out.write(reinterpret_cast<const char*>(trailer.data()), trailer.size()).good();
        out.close();
        if (!complete || out.fail()) {
            std::error_code ignored;
            fs::remove(partial, ignored);
            return Fail("cannot write '" + partial + "' completely (inputs changed while reading, or disk full)");
        }
    }

    std::error_code ec;
    fs::rename(partial, output, ec);
    if (ec) {
        fs::remove(partial, ec);
        return Fail("cannot replace '" + output + "'");
    }
    return {true, {}};
}

}  // namespace packaging
