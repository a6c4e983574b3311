#pragma once

#include "layoutmodel.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

namespace morvaw {

// SetParam ("MSR Configure") without its widgets: the tracks the card reader
// reads, its output options, the data play delay and the four keys it sends
// around the card data. All are copies of the layout's MSR settings until
// "&Ok" hands them back; the four keys are edited in the key editor's MSR
// mode, which gets them as a value and hands them back on its Ok.
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

    static constexpr int kLines = 4;

    // From the menu: the copies from the layout.
    void open(const MsrSettings& settings);
    // Back from the key editor, the copies kept; with its Ok, the keys it
    // handed back are taken first.
    void takeKeys(const MsrLines& keys);
    void returnFromKeyEditor();

    // Control events.
    void setTrack(std::uint8_t bit, bool on);
    void setCheckSumMode(bool on);
    void setSendSentinels(bool on);
    void setForceLowerCase(bool on);
    void typeDelay(const QString& text);
    void scrollDelay(int value);
    void accept(); // "&Ok"
    void cancel(); // "&Cancel"
    void closeWindow();

    // What the window shows and hands on.
    [[nodiscard]] bool IsOpen() const { return m_open; }
    // The settings "&Ok" handed back, once.
    [[nodiscard]] std::optional<MsrSettings> takeAccepted();
    // What "&Ok" would hand back now, while open (the key editor's too).
    [[nodiscard]] std::optional<MsrSettings> unconfirmedSettings() const;
    // The four keys as the key editor gets them.
    [[nodiscard]] const MsrLines& Keys() const { return m_copy.Lines; }
    [[nodiscard]] bool Track(std::uint8_t bit) const { return (m_copy.MsrOption2 & bit) != 0; }
    [[nodiscard]] bool Option(std::uint8_t bit) const { return (m_copy.MsrOption3 & bit) != 0; }
    [[nodiscard]] bool CheckSum() const { return m_copy.CheckSumMode; }
    [[nodiscard]] const QString& Text1() const { return m_text; }
    [[nodiscard]] int VScr() const { return m_scroll; }
    [[nodiscard]] std::string PrintInpLine(int index) const;

private:
    void activate();

    bool m_open = false;
    MsrSettings m_copy;
    std::optional<MsrSettings> m_accepted;
    QString m_text;
    int m_scroll = 0;
};

} // namespace morvaw
