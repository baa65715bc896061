#include "app/payload_tail.h"

#include <cstdio>
#include <fstream>
#include <new>

namespace app {

namespace {

// The payload is read through a stream opened by path, so that a program
// whose folder name lies outside the system code page still finds its tail.
ExtractResult ReadInto(const std::filesystem::path& exePath, std::vector<std::uint8_t>& data) {
    std::ifstream exe(exePath, std::ios::binary);
    if (!exe) return ExtractResult::CannotOpenExecutable;
    if (!exe.seekg(0, std::ios::end)) return ExtractResult::ReadFailed;
    const std::streamoff size = exe.tellg();
    if (size < 0) return ExtractResult::ReadFailed;
    if (size < 4) return ExtractResult::NoPayload;

    std::array<std::uint8_t, 4> trailer{};
    if (!exe.seekg(size - 4) || !exe.read(reinterpret_cast<char*>(trailer.data()), trailer.size())) {
        return ExtractResult::ReadFailed;
    }
    const auto where = LocatePayload(size, DecodeTrailer(trailer));
    if (!where) return ExtractResult::NoPayload;

    try {
        data.resize(where->length);
    } catch (const std::bad_alloc&) {
        return ExtractResult::OutOfMemory;
    }
    if (!exe.seekg(where->offset) || !exe.read(reinterpret_cast<char*>(data.data()), where->length)) {
        return ExtractResult::ReadFailed;
    }
    return ExtractResult::Ok;
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
    }
    return "unknown";
}

ExtractResult ReadPayload(const std::filesystem::path& exePath, std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> data;
    const ExtractResult result = ReadInto(exePath, data);
    payload = result == ExtractResult::Ok ? std::move(data) : std::vector<std::uint8_t>();
    return result;
}

}  // namespace app
