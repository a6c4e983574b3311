#include "protocoltables.h"

#include <array>

namespace vornestw {

namespace {

using enum Action;

constexpr FunctionItem kQnAndTerminal[] = {
    {"&Display", TwoLinesWindow, ""},      {"&Clear screen", Send, "\x1B[2J"},
    {"&Move cursor to", CursorWindow, ""}, {"Move cursor &home", Send, "\x1B[H"},
    {"Cursor off", Send, "\x1B[0m"},       {"Cursor &underline", Send, "\x1B[4m"},
    {"Cursor &blinking", Send, "\x1B[5m"}, {"&Lock display", Send, "\x1B[8m"},
    {"U&nlock display", Send, " "},        {"&Stop scrolling", Send, "\x1B[0S"},
    {"Scroll &left", Send, "\x1B[1S"},     {"Scroll &right", Send, "\x1B[2S"},
    {"Display &on", Send, "\x1B[3m"},      {"Display o&ff", Send, "\x1B[2m"},
};

constexpr FunctionItem kAedex[] = {
    {"&Display", TwoLinesWindow, ""},
    {"&Once scroll", LongTextWindow, ""},
    {"&Continuous scroll", LongTextWindow, ""},
    {"Display &long", LongTextWindow, ""},
    {"&Set and display clock", SetClock, ""},
    {"Display c&lock", ShowClock, ""},
    {"Change command &prefix", PrefixWindow, ""},
};

constexpr FunctionItem kUltimateAndIcd[] = {
    {"&Display", TwoLinesWindow, ""}, {"&Reset", Send, "\x1F"},
    {"Cursor &on", Send, "\x13"},     {"Cursor o&ff", Send, "\x14"},
    {"&Normal mode", Send, "\x11"},   {"&Vertical mode", Send, "\x12"},
};

constexpr FunctionItem kSet2[] = {
    {"&Display", TwoLinesWindow, ""},
    {"&Reset", Send,
     "\x1B"
     "I"},
    {"&Clear", Send, "\x0E"},
    {"Cursor &on", Send, "\x15"},
    {"Cursor o&ff", Send, "\x16"},
    {"&Normal mode", Send, "\x11"},
    {"&Vertical mode", Send, "\x12"},
};

constexpr FunctionItem kEpson[] = {
    {"&Display", TwoLinesWindow, ""},
    {"C&ursor home", Send, "\x16"},
    {"&Blink cursor", Send, "\x06"},
    {"Show, &flash cursor", Send, "\x0F"},
    {"&End blink cursor", Send, "\x07"},
    {"&Hide cursor", Send, "\x0E"},
    {"&Advance cursor", Send, "\x09"},
    {"&Line feed", Send, "\x0A"},
    {"Carriage re&turn", Send, "\x0D"},
    {"Bottom &mode", Send, "\x10"},
    {"&Normal mode", Send, "\x11"},
    {"&Overwrite mode", Send, "\x12"},
    {"Hori&zontal mode", Send, "\x13"},
    {"&Wrap around mode", Send, "\x1A"},
    {"&Reset", Send, "\x14"},
    {"Clear di&splay *", Send, "\x0C"},
    {"D&isplay Clear **", Send, "\x15"},
    {"Disable displa&y", Send, "\x1B#\x0D"},
};

constexpr FunctionItem kIdm[] = {
    {"&Display", TwoLinesWindow, ""}, {"Move &cursor", CursorWindow, ""},
    {"&Home", Send, "\x0C\x0D"},      {"Goto line &1", Send, "\x0E"},
    {"Goto line &2", Send, "\x0F"},
};

using enum DisplayProtocol;

constexpr std::array<ProtocolInfo, kProtocolCount> kProtocols{{
    {QN, "QN Mode", "&QN", 0x18, kQnAndTerminal},
    {Aedex, "Aedex Mode", "&Aedex", 0x09, kAedex},
    {Terminal, "Terminal Mode", "&Terminal", 0x00, kQnAndTerminal},
    {Ultimate, "Ultimate Mode", "&Ultimate", 0x0A, kUltimateAndIcd},
    {ICD, "ICD Mode", "&ICD", 0x0B, kUltimateAndIcd},
    {Set2, "Set 2  Mode", "&Set 2", 0x0D, kSet2},
    {EPSON, "EPSON  Mode", "&Epson", 0x10, kEpson},
    {IDM, "IDM  Mode", "I&DM 787 - 2", 0x0F, kIdm},
}};

static_assert(std::size(kEpson) <= kMenuItemCount);

} // namespace

std::optional<ProtocolInfo> ProtocolOf(int mode)
{
    if (mode < 0 || mode >= kProtocolCount)
        return std::nullopt;
    return kProtocols[static_cast<std::size_t>(mode)];
}

std::optional<FunctionItem> FunctionOf(int mode, int index)
{
    const auto protocol = ProtocolOf(mode);
    if (!protocol || index < 0 || static_cast<std::size_t>(index) >= protocol->functions.size())
        return std::nullopt;
    return protocol->functions[static_cast<std::size_t>(index)];
}

} // namespace vornestw
