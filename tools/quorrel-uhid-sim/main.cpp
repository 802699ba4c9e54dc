// quorrel-uhid-sim: the simulated power supply as a kernel HID device.
//
// Reads commands from standard input, one per line:
//   unplug   the device disappears (as if pulled out)
//   plug     it comes back
//   quit     it disappears and the program ends (also on end of input)
// Prints "ready", "unplugged" and "plugged" as it goes, for scripts to wait on.
//
// Options make a decoy instead of the power supply's own identity:
//   --vendor HEX  --product HEX  --data-bytes N (per report, default 23)  --name TEXT
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>

#include "UhidDevice.h"

int main(int argc, char** argv)
{
    UhidIdentity identity = PowerSupplyIdentity();
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string option = argv[i];
        const unsigned long value = std::strtoul(argv[i + 1], nullptr, 0);
        if (option == "--vendor")
            identity.vendorId = static_cast<uint16_t>(value);
        else if (option == "--product")
            identity.productId = static_cast<uint16_t>(value);
        else if (option == "--data-bytes" && value >= 1 && value <= 63)
            identity.dataBytes = static_cast<uint8_t>(value);
        else if (option == "--name")
            identity.name = argv[i + 1];
        else
        {
            std::fprintf(stderr, "quorrel-uhid-sim: bad option %s %s\n", argv[i], argv[i + 1]);
            return 2;
        }
    }
    if (argc % 2 == 0)
    {
        std::fprintf(stderr, "quorrel-uhid-sim: option %s needs a value\n", argv[argc - 1]);
        return 2;
    }
    SimulatedPowerSupply supply(Clock::System());
    UhidDevice device(supply, identity);
    if (!device.Open())
    {
        std::fprintf(stderr, "quorrel-uhid-sim: cannot open /dev/uhid: %s\n", std::strerror(errno));
        return 1;
    }
    if (!device.Create())
    {
        std::fprintf(stderr, "quorrel-uhid-sim: cannot create the device: %s\n", std::strerror(errno));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    // Standard input is read directly (not through a buffered stream) so that
    // poll sees every line that has not been handled yet.
    std::string pending;
    for (;;)
    {
        pollfd watched[2] = {{device.Fd(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (poll(watched, 2, -1) < 0)
        {
            if (errno == EINTR)
                continue;
            return 1;
        }
        if ((watched[0].revents & POLLIN) && !device.HandleEvent())
            return 1;
        if (!(watched[1].revents & (POLLIN | POLLHUP)))
            continue;
        char chunk[256];
        const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
        if (got <= 0)
            return device.Destroy() ? 0 : 1; // end of input
        pending.append(chunk, static_cast<size_t>(got));
        for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
        {
            const std::string line = pending.substr(0, end);
            if (line == "quit")
                return device.Destroy() ? 0 : 1;
            if (line == "unplug" && device.Destroy())
                std::printf("unplugged\n");
            else if (line == "plug" && device.Create())
                std::printf("plugged\n");
            else
                std::printf("unknown command: %s\n", line.c_str());
            std::fflush(stdout);
        }
    }
}
