#pragma once

#include <string>

// What a settings-file transfer tells its user while it runs: the status
// text ("IN PROGRESS (Device ===> File)", "SUCCESS (Device ===> File)", ...)
// and the progress, one step per 16-byte piece, 0 to 64.
class TransferReport
{
public:
    virtual ~TransferReport() = default;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetProgress(int steps) = 0;
};
