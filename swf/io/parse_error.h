#pragma once
// The one failure type of the reading layer: malformed, truncated or
// unsupported movie data. Callers catch it at tag or movie boundaries.

#include <stdexcept>
#include <string>

namespace swf {

class ParseError : public std::runtime_error {
public:
    explicit ParseError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace swf
