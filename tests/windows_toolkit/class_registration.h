#pragma once
// Registers a control server under the player control's class id in the
// test prefix for the lifetime of the object, and removes every registration
// of that class id (machine-wide and per user) before and after.

#include <string>

namespace testing_support {

class ControlRegistration {
public:
    // An empty path registers nothing: the class id is then unknown.
    explicit ControlRegistration(const std::string& serverPath);
    ~ControlRegistration();
    ControlRegistration(const ControlRegistration&) = delete;
    ControlRegistration& operator=(const ControlRegistration&) = delete;

    bool Succeeded() const { return succeeded_; }

private:
    bool succeeded_ = false;
};

// What the host is expected to report for a class that is not registered:
// the system's text for REGDB_E_CLASSNOTREG without trailing blanks and full
// stop, or "OLE error 80040154" where the system has none.
std::string ClassNotRegisteredText();

}  // namespace testing_support
