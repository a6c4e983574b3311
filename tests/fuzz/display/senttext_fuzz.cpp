// Any string handed to the output routine, over a COM port and to the
// printer: the display gets exactly its bytes, the printer four characters
// per byte that give them back, and the readable echo is plain printable text
// that names every byte, shown fifty characters a line on four lines at most.
#include "displayrig.h"
#include "fuzzinput.h"
#include "senttext.h"

#include <QString>

#include <optional>

using namespace vornestw;
using namespace vornestw::test;
using vornestw::fuzz::require;

namespace {

// The bytes an echo names, where each "<...>" is one byte; nothing when the
// echo is not made of such names and single characters.
std::optional<std::string> bytesNamedBy(const std::string& echo)
{
    std::string bytes;
    for (std::size_t i = 0; i < echo.size();) {
        if (echo[i] != '<') {
            bytes.push_back(echo[i++]);
            continue;
        }
        const std::size_t close = echo.find('>', i);
        if (close == std::string::npos)
            return std::nullopt;
        const std::string name = echo.substr(i + 1, close - i - 1);
        i = close + 1;
        if (name == "ESC")
            bytes.push_back('\x1B');
        else if (name == "CR")
            bytes.push_back('\r');
        else if (name == "LF")
            bytes.push_back('\n');
        else if (name == "SP")
            bytes.push_back(' ');
        else if (!name.empty() && name.size() <= 3 &&
                 name.find_first_not_of("0123456789") == std::string::npos &&
                 std::stoi(name) <= 255 && (name == "0" || name[0] != '0'))
            bytes.push_back(static_cast<char>(std::stoi(name)));
        else
            return std::nullopt;
    }
    return bytes;
}

void checkEcho(const std::string& text, const std::string& echo)
{
    require(echo.size() >= text.size() && echo.size() <= 5 * text.size(),
            "one to five echo characters per byte");
    // DEL is the one character below 128 shown as it is although it has no picture.
    for (char c : echo)
        require(c > ' ' && c <= 127, "the echo is text without spaces or control bytes");
    // A '<' typed by the user reads like the start of a name; without one the
    // echo names the bytes unambiguously.
    if (text.find('<') == std::string::npos)
        require(bytesNamedBy(echo) == text, "the echo names every byte");

    const auto lines = SentTextLines(echo);
    std::string shown;
    for (const std::string& line : lines) {
        require(line.size() <= 50, "a label holds fifty characters");
        require(line.empty() || shown.size() % 50 == 0, "only the last label is short");
        shown += line;
        require(QString::fromLatin1(line).toLatin1().toStdString() == line,
                "a label shows the characters as they are");
    }
    require(shown == echo.substr(0, 200), "the labels show the first 200 characters");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    DisplayRig rig;
    rig.channel.SendString(text);
    require(rig.notice.messages.empty(), "a sound line gives no message");
    require(rig.port.received() == BytesOf(text), "the display gets every byte in order");
    checkEcho(text, rig.state.SentText);
    const std::string echo = rig.state.SentText;

    require(!rig.channel.ChangePort(kPrinterPort), "the printer can be chosen");
    rig.state.SentText.clear();
    rig.channel.SendString(text);
    require(rig.printer.jobs.size() == 1, "one job per string");
    const std::string& form = rig.printer.jobs[0];
    require(form.size() == 4 * text.size(), "four printer characters per byte");
    for (std::size_t i = 0; i < text.size(); ++i) {
        int b = 0;
        for (int pair = 0; pair < 4; ++pair) {
            const auto c = static_cast<unsigned char>(form[4 * i + pair]);
            require(c <= 3, "printer characters have the codes 0..3");
            b |= c << (2 * pair);
        }
        require(b == static_cast<unsigned char>(text[i]), "the printer form gives the byte back");
    }
    require(rig.state.SentText == echo, "both channels echo alike");
    return 0;
}
