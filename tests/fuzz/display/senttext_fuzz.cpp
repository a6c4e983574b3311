// Any string handed to the output routine, over a COM port and to the
// printer: the display gets exactly its bytes, the printer four characters
// per byte that give them back, and the readable echo is printable text, one
// to five characters a byte.
#include "displayrig.h"
#include "fuzzinput.h"
#include "senttext.h"

#include <algorithm>

using namespace vornestw;
using namespace vornestw::test;
using suite::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    DisplayRig rig;
    rig.channel.SendString(text);
    require(rig.notice.messages.empty() && rig.port.received() == BytesOf(text),
            "the display gets every byte in order");
    const std::string echo = rig.state.SentText;
    require(echo.size() >= size && echo.size() <= 5 * size, "one to five echo characters per byte");
    // DEL is the one character below 128 shown as it is although it has no picture.
    require(std::all_of(echo.begin(), echo.end(), [](char c) { return c > ' ' && c <= 127; }),
            "the echo is text without spaces or control bytes");

    require(!rig.channel.ChangePort(kPrinterPort), "the printer can be chosen");
    rig.state.SentText.clear();
    rig.channel.SendString(text);
    require(rig.printer.jobs.size() == 1 && rig.printer.jobs[0].size() == 4 * size,
            "one job, four printer characters per byte");
    for (std::size_t i = 0; i < size; ++i) {
        int b = 0;
        for (int pair = 0; pair < 4; ++pair) {
            const auto c = static_cast<unsigned char>(rig.printer.jobs[0][4 * i + pair]);
            require(c <= 3, "printer characters have the codes 0..3");
            b |= c << (2 * pair);
        }
        require(b == data[i], "the printer form gives the byte back");
    }
    require(rig.state.SentText == echo, "both channels echo alike");
    return 0;
}
