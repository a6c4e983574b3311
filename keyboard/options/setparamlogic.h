#pragma once

#include "fixedtext.h"
#include "keyrecord.h"
#include "layoutmodel.h"

#include <QString>

#include <array>
#include <cstdint>
#include <string>

namespace morvaw {

struct ConfiguratorState;

// SetParam ("MSR Configure") without its widgets: the tracks the card reader
// reads, its output options, the data play delay and the four keys it sends
// around the card data. All are copies until "&Ok"; the four keys are edited
// in the key editor's MSR mode, handed over through MsrKeys and MsrEditStatus.
class SetParamLogic
{
public:
    // MsrOption2, the track byte.
    static constexpr std::uint8_t IsoTrack1 = 1;
    static constexpr std::uint8_t IsoTrack2 = 2;
    static constexpr std::uint8_t AamvaTrack1 = 4;
    static constexpr std::uint8_t AamvaTrack2 = 8;
    // MsrOption3, the option byte. The keyboard reads these two values;
    // the box shows the same bit it stores.
    static constexpr std::uint8_t SendSentinels = 2;
    static constexpr std::uint8_t ForceLowerCase = 4;
    // KbdFlags bit 0.
    static constexpr std::uint8_t CheckSumMode = 1;

    // The four lines: header, separator, inter-tracks, trailer (the MsrKeys order).
    static constexpr int kLines = 4;
    static constexpr std::array<int, kLines> kLineRecords = {
        Settings::MsrHeader, Settings::MsrSeparator, Settings::MsrInterTracks,
        Settings::MsrTrailer};

    // MsrEditStatus while the key editor has the keys: neither accepted nor cancelled.
    static constexpr std::uint8_t kInEditor = 1;

    explicit SetParamLogic(ConfiguratorState& state);

    // Every activation: from the menu (status 0), or back from the key editor
    // (2 brings its keys in, 3 keeps the copies).
    void Form_Activate();
    void GetIn();
    void FillOut();

    // Control events.
    void Track_Click(std::uint8_t bit, bool checked);
    void cbCheckSumMode_Click(bool checked);
    void cbSendSentinels_Click(bool checked);
    void cbForceLowerCase_Click(bool checked);
    void Text1_Change(const QString& text);
    void VScr_Change(int value);
    // Hands the four keys to the key editor; the window then opens it.
    void InputLinePict_Click(int index);
    void cbContrRet_Click(int index); // 0 "&Ok", 1 "&Cancel"
    void Form_Unload();

    // What the window shows.
    [[nodiscard]] bool IsOpen() const { return m_open; }
    [[nodiscard]] bool Track(std::uint8_t bit) const { return (m_option2 & bit) != 0; }
    [[nodiscard]] bool Option(std::uint8_t bit) const { return (m_option3 & bit) != 0; }
    [[nodiscard]] bool CheckSum() const { return (m_flags & CheckSumMode) != 0; }
    [[nodiscard]] const QString& Text1() const { return m_text; }
    [[nodiscard]] int VScr() const { return m_scroll; }
    [[nodiscard]] std::string PrintInpLine(int index) const;

private:
    struct Line
    {
        std::uint8_t length = 0;
        FixedText<KeyRecord::kDefWidth> text;
    };

    ConfiguratorState& m_state;
    bool m_open = false;
    std::uint8_t m_flags = 0;
    std::uint8_t m_option1 = 0;
    std::uint8_t m_option2 = 0;
    std::uint8_t m_option3 = 0;
    std::array<Line, kLines> m_lines{};
    QString m_text;
    int m_scroll = 0;
};

} // namespace morvaw
