#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <string>

namespace vornestw {

// COM1..COM4 are 0..3; the printer is the fifth channel.
inline constexpr int kPrinterPort = 4;

// A display line holds 20 characters (so the cursor columns are 1..20); the
// long text spans both lines.
inline constexpr int kLineWidth = 20;
inline constexpr int kLongTextWidth = 40;

// Everything the display utility keeps for the whole run: one object, made by
// main and passed by reference to the logic and the windows. Texts are the
// bytes the display receives, one byte per character.
struct DisplayState
{
    // Settings, read at start and saved when the main window closes.
    int Mode = 0;
    int Port = 1;
    int XPos = 1;
    int LineNo = 1;
    std::string Line1;
    std::string Line2;
    std::string LongText;
    char Prefix1 = '!';
    char Prefix2 = '#';
    std::array<std::uint8_t, 10> SettingsRest{}; // unused end of the record, kept as read
    // The print server's queue for the printer channel, empty for the default
    // printer; kept beside the record, which has no room for it.
    QString PrinterQueue;

    // Run-time values.
    int MenuIndex = 0;
    bool TimeoutFlag = false;
    bool AbortFlag = false;
    bool SendError = false;
    std::string SentText;
    std::string LastSent;   // the bytes SentText shows
    QString ChannelCaption; // Label2 of the main window
};

} // namespace vornestw
