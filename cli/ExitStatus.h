#pragma once

#include <stdexcept>
#include <string>

// What quorrelctl tells its caller through its exit status.
enum class ExitStatus : int
{
    Done = 0,
    Failed = 1,   // the device or the operation failed
    Refused = 2,  // bad usage or refused input; nothing was sent
    NoDevice = 3, // no power supply found
};

// Ends a command: the message goes to standard error, the status to the caller.
class CommandFailure : public std::runtime_error
{
public:
    CommandFailure(ExitStatus status, const std::string& message) : std::runtime_error(message), m_status(status) {}
    ExitStatus Status() const { return m_status; }

private:
    ExitStatus m_status;
};

[[noreturn]] inline void Fail(ExitStatus status, const std::string& message)
{
    throw CommandFailure(status, message);
}
