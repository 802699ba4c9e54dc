#include "cli/ProgressBar.h"

#include <algorithm>
#include <unistd.h>

namespace
{
constexpr int Steps = 64; // one per 16-byte piece of the settings memory
}

ProgressBar::ProgressBar(std::FILE* terminal) : m_terminal(::isatty(::fileno(terminal)) ? terminal : nullptr)
{
}

ProgressBar::~ProgressBar()
{
    End();
}

void ProgressBar::End()
{
    if (m_drawn)
        std::fputc('\n', m_terminal);
    m_drawn = false;
}

void ProgressBar::SetProgress(int steps)
{
    // Drawn from the first piece on: the import's trace line comes before it.
    if (m_terminal == nullptr || (steps <= 0 && !m_drawn))
        return;
    steps = std::clamp(steps, 0, Steps);
    std::fprintf(m_terminal, "\r[%s%s] %2d/%d", std::string(steps, '#').c_str(), std::string(Steps - steps, '.').c_str(),
                 steps, Steps);
    std::fflush(m_terminal);
    m_drawn = true;
}
