// The error types of the setup. Plain C++ (no Win32), shared with the host tools.
#pragma once

#include <string>

// Base of every error the setup raises on purpose. TypeName() is what the
// fatal error box shows in place of %s.
class ESetupError {
public:
    explicit ESetupError(std::string message = std::string()) : Message(std::move(message)) {}
    virtual ~ESetupError() = default;
    virtual const char* TypeName() const { return "ESetupError"; }
    std::string Message;
};

// Ends the current handler without a message box: a file that cannot be
// opened or created as a stream, or a whole-block write that stores less.
class EAbort : public ESetupError {
public:
    using ESetupError::ESetupError;
    const char* TypeName() const override { return "EAbort"; }
};

class EOutOfMemory : public ESetupError {
public:
    using ESetupError::ESetupError;
    const char* TypeName() const override { return "EOutOfMemory"; }
};

// A picture file that is not a bitmap the setup can load.
class EInvalidGraphic : public ESetupError {
public:
    using ESetupError::ESetupError;
    const char* TypeName() const override { return "EInvalidGraphic"; }
};

// The embedded payload is missing, cannot be inflated or is malformed.
class EPayloadError : public ESetupError {
public:
    using ESetupError::ESetupError;
    const char* TypeName() const override { return "EPayloadError"; }
};
