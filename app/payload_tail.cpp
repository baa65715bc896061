#include "app/payload_tail.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>

namespace app {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Positions are longs, as the C runtime has them: on Windows that keeps the
// whole file below 2 GiB, and a larger one is refused rather than misread.
ExtractResult ReadPayload(const std::string& exePath, std::unique_ptr<std::uint8_t[]>& data,
                          std::uint32_t& length) {
    File exe(std::fopen(exePath.c_str(), "rb"));
    if (!exe) return ExtractResult::CannotOpenExecutable;
    if (std::fseek(exe.get(), 0, SEEK_END) != 0) return ExtractResult::ReadFailed;
    const long size = std::ftell(exe.get());
    if (size < 0) return ExtractResult::ReadFailed;
    if (size < 4) return ExtractResult::NoPayload;

    std::array<std::uint8_t, 4> trailer{};
    if (std::fseek(exe.get(), size - 4, SEEK_SET) != 0 ||
        std::fread(trailer.data(), 1, trailer.size(), exe.get()) != trailer.size()) {
        return ExtractResult::ReadFailed;
    }
    const auto where = LocatePayload(size, DecodeTrailer(trailer));
    if (!where) return ExtractResult::NoPayload;

    length = where->length;
    data.reset(new (std::nothrow) std::uint8_t[length]);
    if (!data) return ExtractResult::OutOfMemory;
    if (std::fseek(exe.get(), static_cast<long>(where->offset), SEEK_SET) != 0 ||
        std::fread(data.get(), 1, length, exe.get()) != length) {
        return ExtractResult::ReadFailed;
    }
    return ExtractResult::Ok;
}

ExtractResult WritePackage(const std::string& packagePath, const std::uint8_t* data, std::uint32_t length) {
    std::FILE* raw = std::fopen(packagePath.c_str(), "wb");
    if (!raw) return ExtractResult::CannotWritePackage;
    const bool written = std::fwrite(data, 1, length, raw) == length;
    const bool closed = std::fclose(raw) == 0;  // a full disk may only show here
    return written && closed ? ExtractResult::Ok : ExtractResult::CannotWritePackage;
}

// Only a file is ever removed: a folder of that name stays as it is.
void RemovePackageFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) std::filesystem::remove(path, ec);
}

}  // namespace

std::uint32_t DecodeTrailer(const std::array<std::uint8_t, 4>& b) {
    return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
}

std::array<std::uint8_t, 4> EncodeTrailer(std::uint32_t length) {
    return {static_cast<std::uint8_t>(length >> 24), static_cast<std::uint8_t>(length >> 16),
            static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
}

std::optional<PayloadLocation> LocatePayload(std::int64_t fileSize, std::uint32_t length) {
    // A length of 0 is a build without a package (or one stripped of it).
    if (length == 0 || fileSize < 4 || std::int64_t{length} > fileSize - 4) return std::nullopt;
    return PayloadLocation{fileSize - 4 - std::int64_t{length}, length};
}

const char* Describe(ExtractResult result) {
    switch (result) {
        case ExtractResult::Ok: return "ok";
        case ExtractResult::CannotOpenExecutable: return "the executable cannot be opened";
        case ExtractResult::NoPayload: return "the executable carries no installer package";
        case ExtractResult::ReadFailed: return "the executable cannot be read";
        case ExtractResult::OutOfMemory: return "not enough memory for the installer package";
        case ExtractResult::CannotWritePackage: return "the installer package cannot be written";
    }
    return "unknown";
}

ExtractResult ExtractPayload(const std::string& exePath, const std::string& packagePath) {
    std::unique_ptr<std::uint8_t[]> data;
    std::uint32_t length = 0;
    ExtractResult result = ReadPayload(exePath, data, length);
    if (result == ExtractResult::Ok) result = WritePackage(packagePath, data.get(), length);
    if (result != ExtractResult::Ok) RemovePackageFile(packagePath);
    return result;
}

}  // namespace app
