#include "toolkit/core/exception.h"

namespace toolkit {

std::string ExceptionReportText(const std::string& message) {
    // Characters compare as unsigned bytes, so code-page letters above 0x7F
    // also get the full stop.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

}  // namespace toolkit
