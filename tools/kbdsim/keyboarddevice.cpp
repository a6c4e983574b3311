#include "keyboarddevice.h"

#include <algorithm>

namespace kbdsim {

namespace {

// Repeat speed that carries nibble n, as the keyboard's firmware expects it.
constexpr std::array<int, 16> kNibbleSpeeds{29, 27, 25, 23, 21, 19, 18, 16,
                                            15, 14, 12, 11, 10, 9,  6,  8};
constexpr int kVersionBase = 164;

int nibbleOf(int speed)
{
    const auto it = std::find(kNibbleSpeeds.begin(), kNibbleSpeeds.end(), speed);
    return it == kNibbleSpeeds.end() ? -1 : static_cast<int>(it - kNibbleSpeeds.begin());
}

int digitValue(char c)
{
    return (static_cast<std::uint8_t>(c) - '0') & 0x0F;
}

} // namespace

KeyboardDevice::KeyboardDevice(int type) : m_type(type) {}

std::uint16_t KeyboardDevice::word(int address) const
{
    return address >= 0 && address < kWords ? m_words[static_cast<std::size_t>(address)] : 0;
}

std::uint8_t KeyboardDevice::byte(int address) const
{
    return address >= 0 && address < kBytes ? m_bytes[static_cast<std::size_t>(address)] : 0;
}

bool KeyboardDevice::takeWrite()
{
    if (faults.silent || (faults.stopAfterWrites >= 0 && m_writes >= faults.stopAfterWrites))
        return false;
    ++m_writes;
    return true;
}

std::string KeyboardDevice::acknowledge()
{
    return faults.wrongAnswer ? "-" : "+";
}

void KeyboardDevice::storeWord(const std::string& record)
{
    const int address = digitValue(record[1]) * 16 + digitValue(record[2]);
    const int high = digitValue(record[3]) * 16 + digitValue(record[4]);
    const int low = digitValue(record[5]) * 16 + digitValue(record[6]);
    m_words[static_cast<std::size_t>(address)] = static_cast<std::uint16_t>(high << 8 | low);
    noteStored(address == 255 && high == 255 && low == 255);
}

void KeyboardDevice::noteStored(bool endRecord)
{
    // A record after the end record starts the next transfer.
    m_complete = endRecord;
    m_transfers += endRecord ? 1 : 0;
}

void KeyboardDevice::storeByte(const std::string& record)
{
    const int address =
        (static_cast<std::uint8_t>(record[1]) | (static_cast<std::uint8_t>(record[2]) / 2) << 8) %
        kBytes;
    const auto data = static_cast<std::uint8_t>(record[3]);
    m_bytes[static_cast<std::size_t>(address)] = data;
    noteStored(address == kBytes - 1 && data == 255);
}

std::string KeyboardDevice::receive(std::uint8_t byte)
{
    m_lastStored = false;
    if (!m_record.empty()) {
        m_record += static_cast<char>(byte);
        const bool wordRecord = m_record[0] == '*';
        if (m_record.size() < (wordRecord ? 7U : 4U))
            return {};
        const std::string record = std::move(m_record);
        m_record.clear();
        // Each generation knows only its own records.
        if (wordRecord != (m_type != 2) || !takeWrite())
            return {};
        if (wordRecord)
            storeWord(record);
        else
            storeByte(record);
        m_lastStored = true;
        return acknowledge();
    }
    switch (byte) {
    case '*':
    case '@':
        m_record = std::string(1, static_cast<char>(byte));
        return {};
    case 'V':
        if (faults.silent)
            return {};
        return std::string(1, static_cast<char>(faults.wrongAnswer ? '?' : kVersionBase + m_type));
    default: // the wake byte and anything else
        return {};
    }
}

std::string KeyboardDevice::typematic(int speed, int delay)
{
    if (m_type != 2)
        return {};
    if (m_programming) {
        const int nibble = nibbleOf(speed);
        if (nibble < 0)
            return {};
        m_nibbles.push_back(nibble);
        if (m_nibbles.size() < 5)
            return {};
        const std::vector<int> n = std::move(m_nibbles);
        m_nibbles.clear();
        if (!takeWrite())
            return {};
        const int data = n[0] << 4 | n[1];
        const int address = (n[4] << 8 | n[2] << 4 | n[3]) % kBytes;
        m_bytes[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(data);
        std::string echo;
        for (int v : n)
            echo += "0123456789abcdef"[v];
        echo += faults.wrongAnswer ? '!' : '=';
        noteStored(address == kBytes - 1 && data == 255);
        if (m_complete)
            m_programming = false;
        return echo;
    }
    // The knock: speed 10, delay 3, speed 1, speed 3.
    m_commands.emplace_back(speed, delay);
    if (m_commands.size() > 4)
        m_commands.erase(m_commands.begin());
    const std::vector<std::pair<int, int>> knock{{10, -1}, {10, 3}, {1, 3}, {3, 3}};
    m_awaitingKeys = m_commands.size() == 4 &&
                     std::equal(knock.begin(), knock.end(), m_commands.begin(),
                                [](const auto& want, const auto& got) {
                                    return want.first == got.first &&
                                           (want.second < 0 || want.second == got.second);
                                });
    return {};
}

std::string KeyboardDevice::pressCornerKeys()
{
    if (!m_awaitingKeys || faults.silent)
        return {};
    m_awaitingKeys = false;
    m_programming = true;
    m_nibbles.clear();
    return "*+-";
}

} // namespace kbdsim
