#include "transfer/TxFile.h"

#include <vector>

namespace
{
int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

TxFile::TxFile(std::string fileName) : m_fileName(std::move(fileName))
{
}

TxFile::~TxFile()
{
    Close();
}

bool TxFile::Open(std::FILE* trace)
{
    Close();
    m_file = std::fopen(m_fileName.c_str(), "rb");
    if (trace)
        std::fprintf(trace, m_file ? "File %s opened\r\n" : "File %s could not be opened\r\n", m_fileName.c_str());
    return m_file != nullptr;
}

void TxFile::Close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}

TxLine TxFile::ReadLine(HArray& bytes)
{
    if (!m_file)
        return TxLine::EndOfFile;
    // Up to and including the next LF, at most 766 characters, where a CR
    // right before the LF is read together with it as one line end.
    m_line.clear();
    bool anything = false;
    while (static_cast<int>(m_line.size()) < MaxLineLength)
    {
        int c = std::getc(m_file);
        if (c == EOF)
            break;
        anything = true;
        if (c == '\r')
        {
            int next = std::getc(m_file);
            if (next == '\n')
                break;
            if (next != EOF)
                std::ungetc(next, m_file);
        }
        else if (c == '\n')
        {
            break;
        }
        m_line.push_back(static_cast<char>(c));
    }
    if (!anything)
        return TxLine::EndOfFile;
    if (m_line.empty())
        return TxLine::Empty;
    if (m_line[0] == '#')
        return TxLine::Comment;
    if (m_line[0] == '$')
        return TxLine::Directive;
    bytes = ParseDataLine(m_line);
    return TxLine::Data;
}

void TxFile::ReadDataLine(HArray& bytes)
{
    bytes = HArray();
    for (;;)
    {
        TxLine kind = ReadLine(bytes);
        if (kind == TxLine::Data || kind == TxLine::EndOfFile)
            return;
    }
}

HArray TxFile::ParseDataLine(const std::string& line)
{
    std::vector<uint8_t> parsed;
    for (size_t p = 0; p < line.size(); p += 3)
    {
        // The group's hexadecimal digits from its start; none gives 0.
        unsigned value = 0;
        for (size_t i = p; i < p + 2 && i < line.size(); ++i)
        {
            int digit = HexDigit(line[i]);
            if (digit < 0)
                break;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        parsed.push_back(static_cast<uint8_t>(value & 0xFF));
    }
    return HArray(static_cast<int32_t>(parsed.size()), parsed.data());
}
