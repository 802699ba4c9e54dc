#pragma once

// Shows the wait cursor over the whole application for as long as it lives,
// for work that holds the GUI thread (block reads and writes, file transfers).
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
