#include "keytoken.h"

#include "definitiontext.h"

namespace morvaw {

namespace {

constexpr std::string_view CtrlPrefix = "^";
constexpr std::string_view ShiftPrefix = "Sh";
constexpr std::string_view AltPrefix = "Alt";
constexpr std::string_view ForceNumPrefix = "#";
// The left Shift key's own name begins like the Shift prefix.
constexpr std::string_view ShiftKeyName = "Shft";

// Strips prefix from text when a name follows it.
bool TakePrefix(std::string_view& text, std::string_view prefix)
{
    if (text.size() <= prefix.size() || !text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

std::string describeReading(const ParsedKeyToken& read)
{
    std::string words;
    if (read.modifier & CtrlBit)
        words += "Ctrl + ";
    if (read.modifier & ShiftBit)
        words += "Shift + ";
    if (read.modifier & AltBit)
        words += "Alt + ";
    if (read.modifier == ForceNumBit)
        words += "Num + ";
    return words + '"' + read.name + '"';
}

} // namespace

std::string ComposeKeyToken(TokenModifiers modifiers, std::string_view name)
{
    std::string token;
    if (modifiers.ctrl)
        token += CtrlPrefix;
    if (modifiers.shift)
        token += ShiftPrefix;
    if (modifiers.alt)
        token += AltPrefix;
    token += name;
    return token;
}

ParsedKeyToken ParseKeyToken(std::string_view token)
{
    ParsedKeyToken result;
    std::string_view rest = token;
    result.forceNum = TakePrefix(rest, ForceNumPrefix);

    std::uint8_t bits = 0;
    for (bool more = true; more;) {
        more = false;
        if (!(bits & CtrlBit) && TakePrefix(rest, CtrlPrefix)) {
            bits |= CtrlBit;
            more = true;
        } else if (!(bits & AltBit) && TakePrefix(rest, AltPrefix)) {
            bits |= AltBit;
            more = true;
        } else if (!(bits & ShiftBit) && !rest.starts_with(ShiftKeyName) &&
                   TakePrefix(rest, ShiftPrefix)) {
            bits |= ShiftBit;
            more = true;
        }
    }
    result.name = std::string(rest);
    result.modifier = bits != 0 ? bits : (result.forceNum ? ForceNumBit : 0);
    return result;
}

ParsedKeyToken ReadKeyToken(std::string_view token)
{
    ParsedKeyToken read = ParseKeyToken(token);
    if (read.name.size() == 1 && read.name[0] >= 'A' && read.name[0] <= 'Z') {
        read.name[0] = static_cast<char>(read.name[0] - 'A' + 'a');
        if (read.modifier == 0)
            read.modifier = ShiftBit;
    }
    return read;
}

std::string TokenReadBackProblem(TokenModifiers modifiers, std::string_view name)
{
    if (name.find(TokenMark) != std::string_view::npos)
        return "it holds byte 249, the mark that ends every token";
    const ParsedKeyToken read = ReadKeyToken(ComposeKeyToken(modifiers, name));
    const std::uint8_t bits = (modifiers.ctrl ? CtrlBit : 0) | (modifiers.shift ? ShiftBit : 0) |
                              (modifiers.alt ? AltBit : 0);
    if (read.name == name && read.modifier == bits)
        return {};
    return "it would be read as " + describeReading(read);
}

} // namespace morvaw
