#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// What one run of quorrelctl left behind.
struct ToolResult
{
    int status = -1; // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

inline std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void WriteFile(const std::filesystem::path& file, const std::string& content)
{
    std::ofstream(file, std::ios::binary) << content;
}

// A folder of its own for each test, where the tool runs and keeps its files.
class ToolFolder
{
public:
    ToolFolder()
    {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "-" + test->name();
        for (char& c : name)
            if (c == '/')
                c = '-';
        m_path = std::filesystem::temp_directory_path() / ("quorrelctl-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ToolFolder() { std::filesystem::remove_all(m_path); }
    ToolFolder(const ToolFolder&) = delete;
    ToolFolder& operator=(const ToolFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path File(const std::string& name) const { return m_path / name; }

    // Runs the tool in the folder, with no terminal: standard input is
    // empty, standard output and error are captured apart.
    ToolResult Run(const std::vector<std::string>& args) const
    {
        const std::filesystem::path out = m_path / ".stdout";
        const std::filesystem::path err = m_path / ".stderr";
        std::vector<std::string> argv = {QUORRELCTL};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> pointers;
        for (std::string& arg : argv)
            pointers.push_back(arg.data());
        pointers.push_back(nullptr);

        const pid_t child = ::fork();
        if (child == 0)
        {
            const int in = ::open("/dev/null", O_RDONLY);
            const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || o < 0 || e < 0 || ::dup2(in, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0 ||
                ::chdir(m_path.c_str()) != 0)
                ::_exit(127);
            ::execv(pointers[0], pointers.data());
            ::_exit(127);
        }
        ToolResult result;
        int status = 0;
        if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
            result.status = WEXITSTATUS(status);
        result.out = ReadFile(out);
        result.err = ReadFile(err);
        return result;
    }

private:
    std::filesystem::path m_path;
};

inline std::string Joined(const std::vector<std::string>& args)
{
    std::string text;
    for (const std::string& arg : args)
        text += (text.empty() ? "" : " ") + arg;
    return text;
}
