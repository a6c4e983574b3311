#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vornestw {

enum class DisplayProtocol : int { QN, Aedex, Terminal, Ultimate, ICD, Set2, EPSON, IDM };
inline constexpr int kProtocolCount = 8;

// What a function menu item does: send its bytes, build a sequence from the
// clock, or open a parameter window.
enum class Action {
    Send,
    SetClock,
    ShowClock,
    TwoLinesWindow,
    CursorWindow,
    LongTextWindow,
    PrefixWindow,
};

struct FunctionItem
{
    std::string_view caption;
    Action action;
    std::string_view bytes; // for Action::Send
};

struct ProtocolInfo
{
    DisplayProtocol protocol;
    std::string_view modeLabel;
    std::string_view modeCaption;
    std::uint8_t switchCode;
    std::span<const FunctionItem> functions; // item 0 .. N
};

// The menu has "&Display" and at most twenty functions.
inline constexpr int kMenuItemCount = 21;

// Row of a protocol, or nothing for a mode outside 0..7.
[[nodiscard]] std::optional<ProtocolInfo> ProtocolOf(int mode);

// Item `index` of the protocol's menu, or nothing when the protocol has no such row.
[[nodiscard]] std::optional<FunctionItem> FunctionOf(int mode, int index);

} // namespace vornestw
