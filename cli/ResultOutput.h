#pragma once

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

// Where results go: lines of text, or with --json one JSON document per
// result, each on a line of its own. Nothing else is written to it. A result
// of several lines goes out in one piece when its writer flushes it (a
// document at once), so that a watching reader sees each whole.
class ResultOutput
{
public:
    ResultOutput(std::FILE* stream, bool json) : m_stream(stream), m_json(json) {}

    bool Json() const { return m_json; }
    void Line(const std::string& text);
    void Flush();
    void Document(const nlohmann::json& document);

private:
    std::FILE* m_stream;
    bool m_json;
};

// Keeps standard output for results only. The device link writes its
// diagnostics (what discovery found or could not open) to standard output,
// where scripts reading results would trip over them; while this object
// lives, file descriptor 1 points at standard error and the results go to a
// stream of their own on the original standard output.
class StdoutDiversion
{
public:
    StdoutDiversion();
    ~StdoutDiversion();
    StdoutDiversion(const StdoutDiversion&) = delete;
    StdoutDiversion& operator=(const StdoutDiversion&) = delete;

    std::FILE* Results() const { return m_results; }

private:
    int m_saved = -1;
    std::FILE* m_results = stdout; // stays stdout if the descriptors cannot be moved
};
