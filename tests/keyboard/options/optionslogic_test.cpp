#include "bvalidate.h"
#include "configuratorstate.h"
#include "keybconflogic.h"
#include "keypictures.h"
#include "keytext.h"
#include "setparamlogic.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace morvaw;
using namespace morvaw::test;

namespace {

TEST(BValidate, ClampsAndRoundsWhatValReads)
{
    const std::pair<const char*, int> cases[] = {
        {"300", 255}, {"-5", 0},     {"abc", 0},   {"", 0},        {" 1 2", 12},
        {"12.6", 13}, {"7x9", 7},    {"1e2", 100}, {"1e999", 255}, {"&HFF", 255},
        {"&h1F", 31}, {"&HFFFF", 0}, {"&17", 15},  {"2.5", 2},     {"-0.4", 0},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(BValidate(QString::fromLatin1(text)), expected) << text;
}

class OptionsLogicTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_state->AppPath = m_app.path().toStdString();
        auto& r = m_state->LayoutRecords;
        r[Settings::KbdFlags].PosX = 0xE1 | (3 << 2); // bits 0, 5-7 set, type 3, buzzer off
        const char* keys[] = {"h", "s", "i", "t"};    // header, separator, inter-tracks, trailer
        for (std::size_t k = 0; k < 4; ++k)
            SetDef(r[static_cast<std::size_t>(SetParamLogic::kLineRecords[k])], 0,
                   Tokens({keys[k]}));
    }

    QTemporaryDir m_app;
    std::unique_ptr<ConfiguratorState> m_state = std::make_unique<ConfiguratorState>();
};

// Type 3 has no button and is kept, as are the flag bits the window does not
// show; the buzzer box follows the layout at every opening.
TEST_F(OptionsLogicTest, KeybConfKeepsTypeThreeAndTheOtherFlagBits)
{
    KeybConfLogic conf(*m_state);
    conf.Open();
    EXPECT_EQ(conf.SelectedType(), -1);
    EXPECT_FALSE(conf.BuzzerOn());
    EXPECT_EQ(conf.BuzzerCaption(), "Buzzer off");
    conf.cbBuzzerEnable_Click(true);
    conf.Command1_Click();
    EXPECT_EQ(m_state->LayoutRecords[Settings::KbdFlags].PosX, 0xE1 | 12 | 2);

    conf.Open();
    EXPECT_TRUE(conf.BuzzerOn());
    conf.kbd_Click(1);
    conf.cbBuzzerEnable_Click(false);
    conf.Command1_Click();
    EXPECT_EQ(m_state->LayoutRecords[Settings::KbdFlags].PosX, 0xE1 | 4);

    m_state->LayoutRecords[Settings::KbdFlags].PosX = 2 | 8;
    conf.Open();
    EXPECT_TRUE(conf.BuzzerOn());
    conf.Command2_Click();
    m_state->LayoutRecords[Settings::KbdFlags].PosX = 8; // e.g. another layout loaded
    conf.Open();
    EXPECT_FALSE(conf.BuzzerOn());
    EXPECT_EQ(conf.SelectedType(), 2);
    conf.Command1_Click();
    EXPECT_EQ(m_state->LayoutRecords[Settings::KbdFlags].PosX, 8);
}

TEST_F(OptionsLogicTest, KeybConfCancelLeavesTheLayoutAndLanguageUntouched)
{
    const LayoutRecordArray before = m_state->LayoutRecords;
    KeybConfLogic conf(*m_state);
    conf.Open();
    conf.kbd_Click(0);
    conf.kbdshape_Click(1);
    conf.KbdLang_Click(4);
    conf.cbBuzzerEnable_Click(true);
    conf.Text1_Change(0, "17");
    conf.VScr_Change(1, 9);
    conf.Command2_Click();
    EXPECT_EQ(m_state->LayoutRecords, before);
    EXPECT_EQ(m_state->CurrentLanguage, 0);
}

TEST_F(OptionsLogicTest, KeybConfKeepsALanguageItHasNoEntryFor)
{
    m_state->CurrentLanguage = 9;
    KeybConfLogic conf(*m_state);
    conf.Open();
    EXPECT_EQ(conf.LangListIndex(), -1);
    conf.KbdLang_Click(-1);
    conf.VScr_Change(1, 42); // this box follows its scroll bar
    EXPECT_EQ(conf.Text1(1), "42");
    conf.Command1_Click();
    EXPECT_EQ(m_state->CurrentLanguage, 9);
    EXPECT_EQ(m_state->LayoutRecords[Settings::DelayKeyTime].PosX, 42);
}

TEST_F(OptionsLogicTest, SetParamOptionsSurviveAReopenAndEachLineKeepsItsRecord)
{
    SetParamLogic msr(*m_state);
    msr.Form_Activate();
    msr.cbForceLowerCase_Click(true);
    msr.cbCheckSumMode_Click(false);
    msr.cbContrRet_Click(0);
    const auto& r = m_state->LayoutRecords;
    EXPECT_EQ(r[Settings::MsrOption3].PosX, 4);
    EXPECT_EQ(r[Settings::KbdFlags].PosX, 0xE0 | 12);

    msr.Form_Activate();
    EXPECT_TRUE(msr.Option(SetParamLogic::ForceLowerCase));
    EXPECT_FALSE(msr.Option(SetParamLogic::SendSentinels));
    msr.cbContrRet_Click(0);
    EXPECT_EQ(r[Settings::MsrOption3].PosX, 4);
    EXPECT_EQ(r[90].Def0.str().substr(0, 3), Tokens({"h"}));
    EXPECT_EQ(r[92].Def0.str().substr(0, 3), Tokens({"s"}));
    EXPECT_EQ(r[91].Def0.str().substr(0, 3), Tokens({"i"}));
    EXPECT_EQ(r[99].Def0.str().substr(0, 3), Tokens({"t"}));
}

TEST_F(OptionsLogicTest, SetParamHandsTheKeysOverInEditorOrder)
{
    SetParamLogic msr(*m_state);
    msr.Form_Activate();
    msr.InputLinePict_Click(1);
    EXPECT_TRUE(m_state->MsrEditMode);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(msr.PrintInpLine(k),
                  InputLineText(m_state->MsrKeys[static_cast<std::size_t>(k)].Def0,
                                m_state->MsrKeys[static_cast<std::size_t>(k)].Len0));
    EXPECT_EQ(msr.PrintInpLine(1), ".s.");

    m_state->MsrKeys[1].Def0.assign(Tokens({"x"}));
    m_state->MsrEditStatus() = 2;
    msr.Form_Activate();
    EXPECT_EQ(msr.PrintInpLine(1), ".x.");
    EXPECT_EQ(m_state->MsrEditStatus(), 0);
}

} // namespace
