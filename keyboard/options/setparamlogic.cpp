#include "setparamlogic.h"

#include "bvalidate.h"
#include "configuratorstate.h"
#include "keypictures.h"

#include <algorithm>

namespace morvaw {

namespace {

std::uint8_t withBit(std::uint8_t byte, std::uint8_t bit, bool on)
{
    return static_cast<std::uint8_t>(on ? (byte | bit) : (byte & ~bit));
}

} // namespace

SetParamLogic::SetParamLogic(ConfiguratorState& state) : m_state(state) {}

void SetParamLogic::GetIn()
{
    std::uint8_t& status = m_state.MsrEditStatus();
    switch (status) {
    case 0: {
        const auto& r = m_state.LayoutRecords;
        m_flags = r[Settings::KbdFlags].PosX;
        m_option1 = r[Settings::MsrOption1].PosX;
        m_option2 = r[Settings::MsrOption2].PosX;
        m_option3 = r[Settings::MsrOption3].PosX;
        for (int k = 0; k < kLines; ++k) {
            const KeyRecord& rec =
                r[static_cast<std::size_t>(kLineRecords[static_cast<std::size_t>(k)])];
            m_lines[static_cast<std::size_t>(k)] = {rec.Len0, rec.Def0};
        }
        break;
    }
    case 2:
        for (int k = 0; k < kLines; ++k) {
            const KeyRecord& key = m_state.MsrKeys[static_cast<std::size_t>(k)];
            m_lines[static_cast<std::size_t>(k)] = {key.Len0, key.Def0};
        }
        status = 0;
        break;
    case 3:
        status = 0;
        break;
    default:
        break;
    }
}

void SetParamLogic::Form_Activate()
{
    GetIn();
    m_scroll = m_option1;
    m_text = QString::number(m_option1);
    m_open = true;
}

void SetParamLogic::FillOut()
{
    auto& r = m_state.LayoutRecords;
    r[Settings::KbdFlags].PosX = withBit(r[Settings::KbdFlags].PosX, CheckSumMode, CheckSum());
    for (int k = 0; k < kLines; ++k) {
        KeyRecord& rec = r[static_cast<std::size_t>(kLineRecords[static_cast<std::size_t>(k)])];
        rec.Len0 = m_lines[static_cast<std::size_t>(k)].length;
        rec.Def0 = m_lines[static_cast<std::size_t>(k)].text;
    }
    r[Settings::MsrOption1].PosX = m_option1;
    r[Settings::MsrOption2].PosX = m_option2;
    r[Settings::MsrOption3].PosX = m_option3;
}

void SetParamLogic::Track_Click(std::uint8_t bit, bool checked)
{
    m_option2 = withBit(m_option2, bit, checked);
}

void SetParamLogic::cbCheckSumMode_Click(bool checked)
{
    m_flags = withBit(m_flags, CheckSumMode, checked);
}

void SetParamLogic::cbSendSentinels_Click(bool checked)
{
    m_option3 = withBit(m_option3, SendSentinels, checked);
}

void SetParamLogic::cbForceLowerCase_Click(bool checked)
{
    m_option3 = withBit(m_option3, ForceLowerCase, checked);
}

void SetParamLogic::Text1_Change(const QString& text)
{
    m_text = text;
    m_option1 = BValidate(text);
    m_scroll = m_option1;
}

void SetParamLogic::VScr_Change(int value)
{
    m_option1 = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
    m_scroll = m_option1;
    m_text = QString::number(m_option1);
}

void SetParamLogic::InputLinePict_Click(int index)
{
    if (index < 0 || index >= kLines)
        return;
    for (int k = 0; k < kLines; ++k) {
        KeyRecord& key = m_state.MsrKeys[static_cast<std::size_t>(k)];
        key.Len0 = m_lines[static_cast<std::size_t>(k)].length;
        key.Def0 = m_lines[static_cast<std::size_t>(k)].text;
    }
    m_state.MsrEditStatus() = kInEditor;
    m_state.MsrEditMode = true;
}

void SetParamLogic::cbContrRet_Click(int index)
{
    if (index == 0)
        FillOut();
    if (index == 0 || index == 1)
        m_open = false;
}

void SetParamLogic::Form_Unload()
{
    m_open = false;
}

std::string SetParamLogic::PrintInpLine(int index) const
{
    const Line& line = m_lines.at(static_cast<std::size_t>(index));
    return InputLineText(line.text, line.length);
}

} // namespace morvaw
