#pragma once
// The one family of failures the program reports: an Exception carries the text
// the user sees in the error box.

#include <stdexcept>
#include <string>

namespace toolkit {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// Failure of a text-to-number conversion.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An index or position outside its range.
class ERangeError : public Exception {
public:
    ERangeError() : Exception("Range check error") {}
};

// The text of the standard error report: the message, with a full stop added
// when it is not empty and its last character sorts after '.'.
std::string ExceptionReportText(const std::string& message);

}  // namespace toolkit
