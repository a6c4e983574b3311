#include "bvalidate.h"
#include "keybconflogic.h"

#include <gtest/gtest.h>

#include <string>

using namespace morvaw;

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
    const auto unconfirmed = conf.unconfirmedOptions(); // what a logout takes
    ok();
    EXPECT_EQ(layout.KbdFlags, 0xE1 | 4);
    EXPECT_EQ(unconfirmed, layout);

    conf.open({.KbdFlags = 2 | 8});
    EXPECT_TRUE(conf.BuzzerOn());
    conf.cancel();
    EXPECT_FALSE(conf.takeAccepted()) << "Cancel hands nothing back";
    EXPECT_FALSE(conf.unconfirmedOptions());
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

} // namespace
