#include "commandbuilders.h"

#include "displaystate.h"
#include "protocoltables.h"

#include <cstdio>
#include <string_view>

namespace vornestw {

namespace {

constexpr char CR = '\x0D';
constexpr char ESC = '\x1B';

void fillTo(std::string& text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
}

std::string withoutSpace(char c)
{
    return c == ' ' ? std::string() : std::string(1, c);
}

std::string prefixes(const DisplayState& state)
{
    return {state.Prefix1, state.Prefix2};
}

} // namespace

std::string TwoLineCommand(DisplayState& state, int mode)
{
    if (!ProtocolOf(mode))
        return {};
    std::string& line1 = state.Line1;
    std::string& line2 = state.Line2;
    switch (static_cast<DisplayProtocol>(mode)) {
    case DisplayProtocol::QN:
    case DisplayProtocol::Terminal:
        return std::string{ESC} + "[8M " + ESC + "[2J" + line1 + ESC + "[02;01H" + line2 + ESC +
               "[8M";
    case DisplayProtocol::Aedex:
        return prefixes(state) + "1" + line1 + CR + prefixes(state) + "2" + line2 + CR;
    case DisplayProtocol::Ultimate:
        fillTo(line1, kLineWidth);
        fillTo(line2, kLineWidth - 1);
        return "\x1F" + line1 + line2 + CR;
    case DisplayProtocol::ICD:
        fillTo(line1, kLineWidth);
        fillTo(line2, kLineWidth - 1);
        return "\x1F" + line1 + line2;
    case DisplayProtocol::Set2:
        fillTo(line1, kLineWidth);
        return std::string("\x0E") + CR + line1 + line2 + CR;
    case DisplayProtocol::EPSON:
        fillTo(line1, kLineWidth);
        return std::string{ESC, ESC, CR} + line1 + line2 + CR;
    case DisplayProtocol::IDM:
        return std::string("\x0C") + CR + line1 + CR + line2 + CR;
    }
    return {};
}

std::string CursorCommand(const DisplayState& state, int mode)
{
    if (mode == static_cast<int>(DisplayProtocol::QN) ||
        mode == static_cast<int>(DisplayProtocol::Terminal))
        return std::string{ESC} + "[0" + std::to_string(state.LineNo) + ";" +
               std::to_string(state.XPos) + "H";
    if (mode == static_cast<int>(DisplayProtocol::IDM)) {
        const int position = kLineWidth * (state.LineNo - 1) + state.XPos;
        return std::string{'\x10', static_cast<char>(position & 0xFF), CR};
    }
    return {};
}

std::string LongTextCommand(const DisplayState& state, int menuIndex)
{
    std::string_view code;
    switch (menuIndex) {
    case 1:
        code = "6";
        break;
    case 2:
        code = "4";
        break;
    case 3:
        code = "9";
        break;
    default:
        return {};
    }
    return prefixes(state) + std::string(code) + state.LongText + CR;
}

std::string PrefixCommand(const DisplayState& state, int new1, int new2)
{
    return withoutSpace(state.Prefix1) + withoutSpace(state.Prefix2) + "8" +
           static_cast<char>(new1 & 0xFF) + static_cast<char>(new2 & 0xFF) + CR;
}

std::string TwelveHourText(const QTime& time)
{
    const int hour = time.hour();
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d %s", hour12, time.minute(), time.second(),
                  hour < 12 ? "AM" : "PM");
    return text;
}

std::string ClockCommand(const DisplayState& state, const QTime& now)
{
    const std::string t = TwelveHourText(now);
    const std::string h = t.substr(0, 2);
    std::string hh;
    if (t.ends_with("PM"))
        hh = h == "12" ? "12" : std::to_string(std::stoi(h) + 12);
    else
        hh = h == "12" ? "00" : h;
    const std::string m = t.substr(2, 3);
    return prefixes(state) + "5" + hh + m + CR;
}

std::string ShowClockCommand(const DisplayState& state)
{
    return prefixes(state) + "5" + CR;
}

std::string ProgramModeCommand(int mode)
{
    const auto protocol = ProtocolOf(mode);
    if (!protocol)
        return {};
    return std::string{'\xFE', '\x66', static_cast<char>(protocol->switchCode)};
}

} // namespace vornestw
