#include "bvalidate.h"
#include "keybconflogic.h"
#include "keytext.h"
#include "layoutdocument.h"
#include "layoutfile.h"
#include "setparamlogic.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

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

// Type 3 has no button and is kept, as are the flag bits the window does not
// show; the buzzer box follows the layout at every opening.
TEST(KeybConfLogic, KeepsTypeThreeAndTheOtherFlagBits)
{
    KeyboardOptions layout{.KbdFlags = 0xE1 | (3 << 2)}; // bits 0, 5-7 set, type 3, buzzer off
    KeybConfLogic conf;
    const auto ok = [&] {
        conf.accept();
        layout = conf.takeAccepted().value();
    };
    conf.open(layout);
    EXPECT_EQ(conf.SelectedType(), -1);
    EXPECT_FALSE(conf.BuzzerOn());
    EXPECT_EQ(conf.BuzzerCaption(), "Buzzer off");
    conf.setBuzzer(true);
    ok();
    EXPECT_EQ(layout.KbdFlags, 0xE1 | 12 | 2);

    conf.open(layout);
    EXPECT_TRUE(conf.BuzzerOn());
    conf.pickType(KeyboardKind::Reduced);
    conf.setBuzzer(false);
    ok();
    EXPECT_EQ(layout.KbdFlags, 0xE1 | 4);

    conf.open({.KbdFlags = 2 | 8});
    EXPECT_TRUE(conf.BuzzerOn());
    conf.cancel();
    EXPECT_FALSE(conf.takeAccepted()) << "Cancel hands nothing back";
    conf.open({.KbdFlags = 8}); // e.g. another layout loaded
    EXPECT_FALSE(conf.BuzzerOn());
    EXPECT_EQ(conf.SelectedType(), 2);
    ok();
    EXPECT_EQ(layout.KbdFlags, 8);
}

TEST(KeybConfLogic, KeepsALanguageItHasNoEntryFor)
{
    KeybConfLogic conf;
    conf.open({.KbdLanguage = 9});
    EXPECT_EQ(conf.LangListIndex(), -1);
    conf.pickLanguage(-1);
    conf.scrollDelay(KeybConfLogic::DelayKeyTime, 42); // this box follows its scroll bar
    EXPECT_EQ(conf.Text1(KeybConfLogic::DelayKeyTime), "42");
    conf.accept();
    const KeyboardOptions accepted = conf.takeAccepted().value();
    EXPECT_EQ(accepted.KbdLanguage, 9);
    EXPECT_EQ(accepted.DelayKeyTime, 42);
}

// The window's copies go back into the layout's records; each of the four
// lines into its own record, in the key editor's order.
TEST(SetParamLogic, OptionsSurviveAReopenAndEachLineKeepsItsRecord)
{
    LayoutRecordArray records{};
    records[Settings::KbdFlags].PosX = 0xE1 | (3 << 2);
    const char* keys[] = {"h", "s", "i", "t"}; // header, separator, inter-tracks, trailer
    for (std::size_t k = 0; k < 4; ++k)
        SetDef(records[static_cast<std::size_t>(kMsrLineRecords[k])], 0, Tokens({keys[k]}));
    QTemporaryDir dir;
    const std::string file = dir.filePath("msr.KBD").toStdString();
    ASSERT_TRUE(WriteLayoutFile(file, records).ok);
    LayoutDocument document;
    ASSERT_TRUE(document.load(file, LayoutDocument::LoadMode::Whole).ok);

    SetParamLogic msr;
    const auto ok = [&] {
        msr.accept();
        document.setMsrSettings(msr.takeAccepted().value());
    };
    msr.open(document.msrSettings());
    EXPECT_EQ(msr.PrintInpLine(1), ".s.");
    msr.setForceLowerCase(true);
    msr.setCheckSumMode(false);
    ok();
    const auto& r = document.records();
    EXPECT_EQ(r[Settings::MsrOption3].PosX, 4);
    EXPECT_EQ(r[Settings::KbdFlags].PosX, 0xE0 | 12);

    msr.open(document.msrSettings());
    EXPECT_TRUE(msr.Option(SetParamLogic::ForceLowerCase));
    EXPECT_FALSE(msr.Option(SetParamLogic::SendSentinels));
    MsrLines edited = msr.Keys();
    edited[1].Def.assign(Tokens({"x"}));
    msr.takeKeys(edited); // the key editor's Ok
    msr.returnFromKeyEditor();
    EXPECT_EQ(msr.PrintInpLine(1), ".x.");
    ok();
    EXPECT_EQ(r[Settings::MsrOption3].PosX, 4);
    EXPECT_EQ(r[90].Def0.str().substr(0, 3), Tokens({"h"}));
    EXPECT_EQ(r[92].Def0.str().substr(0, 3), Tokens({"x"}));
    EXPECT_EQ(r[91].Def0.str().substr(0, 3), Tokens({"i"}));
    EXPECT_EQ(r[99].Def0.str().substr(0, 3), Tokens({"t"}));
}

} // namespace
