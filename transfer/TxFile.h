#pragma once

#include <cstdio>
#include <string>

#include "support/HArray.h"

// Kinds of line in the settings file.
enum class TxLine
{
    EndOfFile = -1,
    Data = 1,
    Empty = 2,
    Comment = 3,   // first character '#'
    Directive = 4, // first character '$'
};

// Reads the settings file line by line. Lines may end in LF, CR LF or
// CR CR LF; a line longer than 766 characters is cut there and its rest read
// as the next line. A data line is read in groups of three characters: the
// first two of each group are a hexadecimal byte, the third is a separator
// that is never looked at.
class TxFile
{
public:
    static constexpr int MaxLineLength = 766;

    explicit TxFile(std::string fileName = "settings.ini");
    virtual ~TxFile();
    TxFile(const TxFile&) = delete;
    TxFile& operator=(const TxFile&) = delete;

    // Opens the file for reading (closing one that is open), with a trace
    // line on `trace`. True when it is open.
    bool Open(std::FILE* trace = stdout);
    void Close();

    // One line; for a data line `bytes` receives its bytes.
    TxLine ReadLine(HArray& bytes);
    // The next data line, skipping all others; `bytes` is left empty at the end of the file.
    void ReadDataLine(HArray& bytes);

    // The bytes of one data line's text (without its line end).
    static HArray ParseDataLine(const std::string& line);

private:
    std::string m_fileName;
    std::FILE* m_file = nullptr;
    std::string m_line;
};
