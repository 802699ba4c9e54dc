#include "cli/ResultOutput.h"

#include <unistd.h>

void ResultOutput::Line(const std::string& text)
{
    std::fputs(text.c_str(), m_stream);
    std::fputc('\n', m_stream);
}

void ResultOutput::Flush()
{
    std::fflush(m_stream);
}

void ResultOutput::Document(const nlohmann::json& document)
{
    // Device strings are narrowed bytes and need not be UTF-8: such bytes
    // become U+FFFD rather than ending the program.
    Line(document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    Flush();
}

StdoutDiversion::StdoutDiversion()
{
    std::fflush(stdout);
    m_saved = ::dup(STDOUT_FILENO);
    if (m_saved < 0)
        return;
    std::FILE* results = ::fdopen(m_saved, "w");
    if (results == nullptr)
    {
        ::close(m_saved);
        m_saved = -1;
        return;
    }
    if (::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
    {
        std::fclose(results);
        m_saved = -1;
        return;
    }
    m_results = results;
}

StdoutDiversion::~StdoutDiversion()
{
    if (m_saved < 0)
        return;
    std::fflush(stdout);
    std::fflush(m_results);
    ::dup2(::fileno(m_results), STDOUT_FILENO);
    std::fclose(m_results);
}
