#include "setparamlogic.h"

#include "bvalidate.h"
#include "keypictures.h"

#include <algorithm>
#include <utility>

namespace morvaw {

namespace {

std::uint8_t withBit(std::uint8_t byte, std::uint8_t bit, bool on)
{
    return static_cast<std::uint8_t>(on ? (byte | bit) : (byte & ~bit));
}

} // namespace

void SetParamLogic::open(const MsrSettings& settings)
{
    m_copy = settings;
    activate();
}

void SetParamLogic::takeKeys(const MsrLines& keys)
{
    m_copy.Lines = keys;
}

void SetParamLogic::returnFromKeyEditor()
{
    activate();
}

void SetParamLogic::activate()
{
    m_accepted.reset();
    m_scroll = m_copy.MsrOption1;
    m_text = QString::number(m_copy.MsrOption1);
    m_open = true;
}

std::optional<MsrSettings> SetParamLogic::takeAccepted()
{
    return std::exchange(m_accepted, std::nullopt);
}

std::optional<MsrSettings> SetParamLogic::unconfirmedSettings() const
{
    if (!m_open)
        return std::nullopt;
    return m_copy;
}

void SetParamLogic::setTrack(std::uint8_t bit, bool on)
{
    m_copy.MsrOption2 = withBit(m_copy.MsrOption2, bit, on);
}

void SetParamLogic::setCheckSumMode(bool on)
{
    m_copy.CheckSumMode = on;
}

void SetParamLogic::setSendSentinels(bool on)
{
    m_copy.MsrOption3 = withBit(m_copy.MsrOption3, SendSentinels, on);
}

void SetParamLogic::setForceLowerCase(bool on)
{
    m_copy.MsrOption3 = withBit(m_copy.MsrOption3, ForceLowerCase, on);
}

void SetParamLogic::typeDelay(const QString& text)
{
    m_text = text;
    m_copy.MsrOption1 = BValidate(text);
    m_scroll = m_copy.MsrOption1;
}

void SetParamLogic::scrollDelay(int value)
{
    m_copy.MsrOption1 = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
    m_scroll = m_copy.MsrOption1;
    m_text = QString::number(m_copy.MsrOption1);
}

void SetParamLogic::accept()
{
    m_accepted = m_copy;
    m_open = false;
}

void SetParamLogic::cancel()
{
    m_open = false;
}

void SetParamLogic::closeWindow()
{
    m_open = false;
}

std::string SetParamLogic::PrintInpLine(int index) const
{
    const Definition& line = m_copy.Lines.at(static_cast<std::size_t>(index));
    return InputLineText(line.Def, line.Len);
}

} // namespace morvaw
