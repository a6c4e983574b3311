#include "onscreenkeyboard.h"

#include "layoutmodel.h"

#include <array>
#include <string_view>

namespace morvaw::OnScreen {

namespace {

// How a button gets its caption.
enum class Source {
    Unused,
    Fixed,     // the text below
    ShiftOnly, // the caption tables, shifted when "Shift" is selected
    Letter,    // the caption tables, shifted when exactly one of Shift and Caps Lock
    Keypad,    // the text below, or the digit below it with Num Lock on
    Less,      // "<", or ">" with Shift
};

struct ButtonCaption
{
    Source source = Source::Unused;
    std::string_view text;
    std::string_view numLockText;
};

constexpr ButtonCaption fixed(std::string_view text)
{
    return {Source::Fixed, text, {}};
}
constexpr ButtonCaption keypad(std::string_view off, std::string_view on)
{
    return {Source::Keypad, off, on};
}

constexpr std::array<ButtonCaption, 100> makeCaptions()
{
    std::array<ButtonCaption, 100> c{};
    const auto at = [&c](int n) -> ButtonCaption& { return c[static_cast<std::size_t>(n - 301)]; };
    constexpr std::array<std::string_view, 15> top = {"Esc", "F1",  "F2",  "F3",    "F4",
                                                      "F5",  "F6",  "F7",  "F8",    "F9",
                                                      "F10", "F11", "F12", "PrtSc", "ScrLk"};
    for (int i = 0; i < 15; ++i)
        at(301 + i) = fixed(top[static_cast<std::size_t>(i)]);
    for (int n = 316; n <= 328; ++n)
        at(n) = {Source::ShiftOnly, {}, {}};
    at(329) = fixed("Bs");
    at(330) = fixed("Ins");
    at(331) = fixed("Hm");
    at(332) = fixed("Pu");
    at(333) = fixed("/");
    at(334) = fixed("*");
    at(335) = fixed("-");
    at(336) = fixed("Pause");
    at(337) = fixed("Tab");
    for (int n = 338; n <= 347; ++n)
        at(n) = {Source::Letter, {}, {}};
    for (int n = 348; n <= 350; ++n)
        at(n) = {Source::ShiftOnly, {}, {}};
    at(351) = fixed("Del");
    at(352) = fixed("End");
    at(353) = fixed("Pd");
    at(354) = keypad("Hm", "7");
    at(355) = keypad("Up", "8");
    at(356) = keypad("Pu", "9");
    at(357) = fixed("+");
    for (int n = 359; n <= 367; ++n)
        at(n) = {Source::Letter, {}, {}};
    at(368) = {Source::ShiftOnly, {}, {}};
    at(369) = {Source::ShiftOnly, {}, {}};
    at(370) = fixed("Enter");
    at(371) = keypad("Lf", "4");
    at(372) = keypad("", "5");
    at(373) = keypad("Rt", "6");
    at(374) = {Source::Less, {}, {}};
    for (int n = 375; n <= 381; ++n)
        at(n) = {Source::Letter, {}, {}};
    for (int n = 382; n <= 384; ++n)
        at(n) = {Source::ShiftOnly, {}, {}};
    at(385) = fixed("Up");
    at(387) = keypad("End", "1");
    at(388) = keypad("Dn", "2");
    at(389) = keypad("Pd", "3");
    at(390) = fixed("Enter");
    at(391) = fixed("L win");
    at(392) = fixed("Space");
    at(393) = fixed("R win");
    at(394) = fixed("appl win");
    at(395) = fixed("Lf");
    at(396) = fixed("Dn");
    at(397) = fixed("Rt");
    at(399) = keypad("Ins", "0");
    at(400) = keypad("Del", ".");
    return c;
}

constexpr std::array<ButtonCaption, 100> kCaptions = makeCaptions();

const ButtonCaption& captionOf(int n)
{
    return kCaptions[static_cast<std::size_t>(n - kFirstButton)];
}

// A range of buttons whose other entry lies at a fixed distance below n.
struct EntryRange
{
    int first;
    int last;
    int offset;
};

constexpr std::array<EntryRange, 4> kNumLockEntries{{
    {354, 356, 204},
    {371, 373, 218},
    {387, 389, 231},
    {399, 400, 240},
}};

// The shifted keys' entries are the data files' collision-free ones: offsets
// that reach back into the digit row's entries would give ";" the record of "&".
constexpr std::array<EntryRange, 5> kShiftEntries{{
    {316, 328, 180},
    {348, 350, 215},
    {368, 369, 204},
    {374, 374, 208},
    {382, 384, 215},
}};

template <std::size_t N> int entryIn(const std::array<EntryRange, N>& ranges, int n)
{
    for (const EntryRange& r : ranges) {
        if (n >= r.first && n <= r.last)
            return n - r.offset;
    }
    return 0;
}

std::string ampersandEscaped(std::uint8_t c)
{
    if (c == 0)
        return {};
    if (c == '&')
        return "&&";
    return std::string(1, static_cast<char>(c));
}

} // namespace

bool IsButton(int n)
{
    return n >= kFirstButton && n <= kLastButton && captionOf(n).source != Source::Unused;
}

bool IsDigitRowKey(int n)
{
    return n >= 316 && n <= 328;
}

int AssocEntry(int n, const ShiftState& state)
{
    if (state.numLock) {
        if (const int entry = entryIn(kNumLockEntries, n))
            return entry;
    }
    if (state.shift) {
        if (const int entry = entryIn(kShiftEntries, n))
            return entry;
    }
    return n - 300;
}

std::string Caption(int n, const KeyboardTables& tables, const ShiftState& state)
{
    if (!IsButton(n))
        return {};
    const ButtonCaption& c = captionOf(n);
    const auto entry = static_cast<std::size_t>(n - 300);
    switch (c.source) {
    case Source::Fixed:
        return std::string(c.text);
    case Source::Keypad:
        return std::string(state.numLock ? c.numLockText : c.text);
    case Source::ShiftOnly:
        return ampersandEscaped(state.shift ? tables.ShiftCapTable[entry] : tables.CapTable[entry]);
    case Source::Letter:
        return ampersandEscaped(state.shift != state.capsLock ? tables.ShiftCapTable[entry]
                                                              : tables.CapTable[entry]);
    case Source::Less:
        return state.shift ? ">" : "<";
    case Source::Unused:
        break;
    }
    return {};
}

std::string PictureFile(int i, int language, const ShiftState& state)
{
    const auto file = [](std::string_view stem, bool pressed) {
        return std::string(stem) + (pressed ? "1.bmp" : "0.bmp");
    };
    switch (i) {
    case LeftShift:
        return file(HasLessKey(language) ? "spsl" : "sl", state.shift);
    case RightShift:
        return file("sr", state.shift);
    case LeftCtrl:
    case RightCtrl:
        return file("ctrl", state.ctrl);
    case LeftAlt:
    case RightAlt:
        return file("alt", state.alt);
    case CapsLock:
        return file("caps", state.capsLock);
    case NumLock:
        return file("numl", state.numLock);
    default:
        return {};
    }
}

bool HasLessKey(int language)
{
    return language == Language::Spain;
}

} // namespace morvaw::OnScreen
