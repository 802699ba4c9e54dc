#pragma once

#include <cstdio>
#include <string>

#include "transfer/TransferReport.h"

// A transfer's progress as a bar of 64 steps on a terminal; where standard
// error is not a terminal, nothing is drawn. The status text is kept for the
// caller to print.
class ProgressBar final : public TransferReport
{
public:
    explicit ProgressBar(std::FILE* terminal = stderr);
    ~ProgressBar() override;

    void SetStatus(const std::string& text) override { m_status = text; }
    void SetProgress(int steps) override;
    const std::string& Status() const { return m_status; }
    // Ends the bar's line, so that what is printed next starts on its own.
    void End();

private:
    std::FILE* m_terminal; // null: not a terminal
    bool m_drawn = false;
    std::string m_status;
};
