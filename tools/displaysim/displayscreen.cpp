#include "displayscreen.h"

#include <algorithm>

namespace displaysim {

namespace {

constexpr int QN = 0, Aedex = 1, Terminal = 2, Ultimate = 3, ICD = 4, Set2 = 5, EPSON = 6, IDM = 7;

// Switch code -> protocol, as in the utility's protocol table.
constexpr std::array<std::uint8_t, 8> kSwitchCodes{0x18, 0x09, 0x00, 0x0A, 0x0B, 0x0D, 0x10, 0x0F};

constexpr std::uint8_t ESC = 0x1B, CR = 0x0D, LF = 0x0A;

} // namespace

DisplayScreen::DisplayScreen(int protocol) : m_protocol(protocol)
{
    clear();
}

void DisplayScreen::feed(std::string_view bytes)
{
    for (char c : bytes)
        feed(static_cast<std::uint8_t>(c));
}

void DisplayScreen::feed(std::uint8_t b)
{
    // The protocol switch works in every protocol.
    if (m_switchState == 2) {
        m_switchState = 0;
        const auto* it = std::find(kSwitchCodes.begin(), kSwitchCodes.end(), b);
        if (it != kSwitchCodes.end()) {
            m_protocol = static_cast<int>(it - kSwitchCodes.begin());
            m_inSequence = false;
            m_sequence.clear();
        }
        return;
    }
    if (b == 0xFE) {
        m_switchState = 1;
        return;
    }
    if (m_switchState == 1) {
        m_switchState = 0;
        if (b == 0x66) {
            m_switchState = 2;
            return;
        }
    }

    switch (m_protocol) {
    case QN:
    case Terminal:
        vtByte(b);
        break;
    case Aedex:
        aedexByte(b);
        break;
    default:
        simpleByte(b);
        break;
    }
}

std::string DisplayScreen::line(int number) const
{
    const int start = (number == 2 ? 1 : 0) * kColumns;
    return std::string(m_cells.begin() + start, m_cells.begin() + start + kColumns);
}

std::string DisplayScreen::readableLine(int number) const
{
    // Windows-1252 0x80..0x9F; its holes are shown as dots.
    static constexpr char16_t kHigh[32] = {
        u'\u20AC', u'.',      u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
        u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'.',      u'\u017D', u'.',
        u'.',      u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
        u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'.',      u'\u017E', u'\u0178'};
    std::string text;
    for (char c : line(number)) {
        const auto b = static_cast<std::uint8_t>(c);
        const char16_t u = b < 0x20 || b == 0x7F   ? u'.'
                           : b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80]
                                                   : b;
        if (u < 0x80) {
            text.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            text.push_back(static_cast<char>(0xC0 | (u >> 6)));
            text.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            text.push_back(static_cast<char>(0xE0 | (u >> 12)));
            text.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return text;
}

void DisplayScreen::put(char c)
{
    m_cells[static_cast<std::size_t>(m_cursor)] = c;
    m_cursor = (m_cursor + 1) % kCells;
}

void DisplayScreen::clear()
{
    m_cells.fill(' ');
    m_cursor = 0;
}

// ESC "[" parameters and a final letter; the rest is text.
void DisplayScreen::vtByte(std::uint8_t b)
{
    if (m_inSequence) {
        // A command cut short (a time-out ends it after one byte) leaves an
        // ESC open; the next ESC starts a new sequence, as on a terminal.
        if (b == ESC) {
            m_sequence.clear();
            return;
        }
        m_sequence.push_back(static_cast<char>(b));
        if (m_sequence.size() == 1 && b != '[') {
            m_inSequence = false;
            return;
        }
        if (m_sequence.size() > 1 && ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'))) {
            m_inSequence = false;
            const std::string params = m_sequence.substr(1, m_sequence.size() - 2);
            if (b == 'J' && params == "2") {
                clear();
            } else if (b == 'H') {
                const auto semicolon = params.find(';');
                int lineNo = 1, column = 1;
                if (semicolon != std::string::npos) {
                    lineNo = std::atoi(params.substr(0, semicolon).c_str());
                    column = std::atoi(params.substr(semicolon + 1).c_str());
                }
                lineNo = std::clamp(lineNo, 1, 2);
                column = std::clamp(column, 1, kColumns);
                m_cursor = (lineNo - 1) * kColumns + column - 1;
            }
            m_sequence.clear();
        } else if (m_sequence.size() > 16) {
            m_inSequence = false;
            m_sequence.clear();
        }
        return;
    }
    if (b == ESC) {
        m_inSequence = true;
        m_sequence.clear();
    } else if (b == CR) {
        lineStart();
    } else if (b == LF) {
        nextLine();
    } else if (b >= 0x20) {
        put(static_cast<char>(b));
    }
}

// Commands are prefix, prefix, code, data, CR.
void DisplayScreen::aedexByte(std::uint8_t b)
{
    if (b != CR) {
        if (m_sequence.size() < 64)
            m_sequence.push_back(static_cast<char>(b));
        return;
    }
    aedexCommand(m_sequence);
    m_sequence.clear();
}

void DisplayScreen::aedexCommand(const std::string& command)
{
    // A space prefix may be left out (the prefix change does) or sent (the
    // texts do); what is left of the prefix must lead.
    std::string prefix = {m_prefix1, m_prefix2};
    if (command.compare(0, prefix.size(), prefix) != 0)
        std::erase(prefix, ' ');
    if (command.size() <= prefix.size() || command.compare(0, prefix.size(), prefix) != 0)
        return;
    const char code = command[prefix.size()];
    const std::string data = command.substr(prefix.size() + 1);
    auto show = [this](int lineNo, const std::string& text) {
        for (int i = 0; i < kColumns; ++i)
            m_cells[static_cast<std::size_t>((lineNo - 1) * kColumns + i)] =
                i < static_cast<int>(text.size()) ? text[static_cast<std::size_t>(i)] : ' ';
    };
    switch (code) {
    case '1':
        show(1, data);
        break;
    case '2':
        show(2, data);
        break;
    case '4':
    case '6':
    case '9': // long text: the display scrolls it; its start is what shows first
        show(1, data.substr(0, std::min<std::size_t>(data.size(), kColumns)));
        show(2, data.size() > kColumns ? data.substr(kColumns) : std::string());
        break;
    case '5':
        if (!data.empty())
            m_clock = data;
        show(2, m_clock);
        break;
    case '8':
        if (data.size() == 2) {
            m_prefix1 = data[0];
            m_prefix2 = data[1];
        }
        break;
    default:
        break;
    }
}

// The single-byte protocols: text fills the 40 cells in order.
void DisplayScreen::simpleByte(std::uint8_t b)
{
    if (m_idmState == IdmState::Position) { // 10, position 1..40, CR
        m_cursor = std::clamp(static_cast<int>(b), 1, kCells) - 1;
        m_homePending = false;
        m_idmState = IdmState::PositionEnd;
        return;
    }
    if (m_idmState == IdmState::PositionEnd) {
        m_idmState = IdmState::None;
        if (b == CR)
            return;
    }
    if (m_inSequence) { // the byte after ESC
        m_inSequence = false;
        // Set 2's reset; EPSON's two-line text starts with ESC ESC, which
        // clears, so that each one shows its first line on top.
        if ((m_protocol == Set2 && b == 'I') || (m_protocol == EPSON && b == ESC))
            clear();
        return;
    }
    if (b >= 0x20 && b != 0x7F) {
        if (m_homePending) {
            m_homePending = false;
            m_cursor = 0;
        }
        put(static_cast<char>(b));
        return;
    }
    switch (m_protocol) {
    case Ultimate:
    case ICD:
        if (b == 0x1F)
            clear();
        else if (b == CR)
            lineStart();
        break;
    case Set2:
        if (b == ESC)
            m_inSequence = true;
        else if (b == 0x0E)
            clear();
        else if (b == CR)
            lineStart();
        break;
    case EPSON:
        if (b == ESC)
            m_inSequence = true;
        else if (b == 0x0C || b == 0x14 || b == 0x15) // clear, reset, clear
            clear();
        else if (b == 0x16)
            m_cursor = 0;
        else if (b == 0x09)
            m_cursor = (m_cursor + 1) % kCells;
        else if (b == LF)
            nextLine();
        else if (b == CR)
            lineStart();
        break;
    case IDM:
        if (b == 0x0C) {
            clear();
            m_homePending = true;
        } else if (b == CR) {
            if (m_homePending)
                m_cursor = 0;
            else
                nextLine();
            m_homePending = false;
        } else if (b == 0x0E || b == 0x0F) {
            m_homePending = false;
            m_cursor = b == 0x0E ? 0 : kColumns;
        } else if (b == 0x10) {
            m_idmState = IdmState::Position;
        }
        break;
    default:
        break;
    }
}

} // namespace displaysim
