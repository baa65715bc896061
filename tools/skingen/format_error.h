#pragma once
// The failure raised for a picture file that cannot be read or written as asked.

#include <stdexcept>
#include <string>

namespace skin {

class FormatError : public std::runtime_error {
public:
    explicit FormatError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace skin
