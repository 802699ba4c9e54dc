#pragma once

// quorrelctl: parses the command line, runs the command given, and returns
// the exit status (see ExitStatus).
int RunCommandLine(int argc, char** argv);
