#pragma once

#include "displaystate.h"
#include "displayutility.h"
#include "outputchannel.h"
#include "recordingnotice.h"
#include "simulatedport.h"
#include "virtualclockwaiter.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace vornestw::test {

// What stands around the utility in a test: a simulated display on a virtual
// clock, a printer, and a user who answers from a list.
struct Devices
{
    Devices()
    {
        waiter.onTick = [this] {
            port.tick();
            if (onTick)
                onTick();
        };
    }

    SimulatedPort port;
    FakePrinter printer;
    VirtualClockWaiter waiter;
    RecordingNotice notice;
    std::function<void()> onTick; // the user, acting during waits
};

// The utility's logic wired to them.
struct DisplayRig : Devices
{
    DisplayState state;
    OutputChannel channel{state, port, printer, waiter, notice};
    DisplayUtility utility{state, channel};
};

// "1B 5B 32 4A" as bytes.
inline std::vector<std::uint8_t> Hex(const std::string& text)
{
    std::vector<std::uint8_t> bytes;
    std::istringstream in(text);
    for (std::string item; in >> item;)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(item, nullptr, 16)));
    return bytes;
}

inline std::vector<std::uint8_t> BytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

} // namespace vornestw::test
