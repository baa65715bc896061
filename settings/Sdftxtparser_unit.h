#pragma once
// Reader of the settings text file: pairs written "&key=value&", read once
// into an ordered key/value table.

#include <filesystem>
#include <map>
#include <string>

class SDFTxtParser {
public:
    SDFTxtParser() = default;

    // Adds the file's pairs to the table (existing keys keep their values).
    // A file that cannot be opened or read adds nothing and reports nothing.
    void LoadFromFile(const std::filesystem::path& path);

    // The value stored under exactly this key; a missing key is added with an
    // empty value, and the empty string is returned.
    std::string GetValue(const std::string& key);

    // Adds the pairs found in already-read file text (as LoadFromFile does
    // after reading): carriage returns dropped, a 0x1A byte ends the text.
    void LoadFromText(std::string text);

    // Keys compare as unsigned bytes (std::string's ordering).
    const std::map<std::string, std::string>& Entries() const { return entries_; }

private:
    std::map<std::string, std::string> entries_;
};
