#include "testformlogic.h"
#include "virtualkeys.h"

#include <gtest/gtest.h>

using namespace morvaw;

namespace {

constexpr auto kPad = Qt::KeypadModifier;

// Key-downs as Qt reports them, through the key-code mapping to the token.
TEST(TestFormKeys, QtKeysBecomeTheirTokens)
{
    struct Case
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* token;
    };
    const Case cases[] = {
        {Qt::Key_A, {}, ""},
        {Qt::Key_A, Qt::ControlModifier, "A"},
        {Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier, ""},
        {Qt::Key_F5, {}, "<F5>"},
        {Qt::Key_F5, Qt::ControlModifier, "<F5>"},
        {Qt::Key_F17, {}, ""},
        {Qt::Key_9, kPad, "<Pad9>"},
        {Qt::Key_Home, kPad, "<Home>"},          // Num Lock off
        {Qt::Key_Exclam, Qt::ShiftModifier, ""}, // code 33 would be Page Up
        {Qt::Key_PageUp, Qt::ShiftModifier, "<Page Up>"},
        {Qt::Key_Shift, {}, "<Shift>"}, // Qt may leave out the key's own modifier
        {Qt::Key_Control, Qt::ShiftModifier, ""},
        {Qt::Key_Alt, Qt::AltModifier, "<Alt>"},
        {Qt::Key_Space, Qt::ControlModifier, "<Space>"},
        {Qt::Key_unknown, Qt::ControlModifier, ""},
    };
    for (const Case& c : cases) {
        const QString token = TestFormLogic::KeyToken(VirtualKeyCode(c.key, c.modifiers),
                                                      ShiftState(c.key, c.modifiers));
        EXPECT_EQ(token, QString::fromLatin1(c.token)) << std::hex << c.key << " " << c.modifiers;
    }
}

// Key-down then key-press of each stroke, as the window sends them.
void stroke(TestFormLogic& test, int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    test.Text1_KeyDown(VirtualKeyCode(key, modifiers), ShiftState(key, modifiers));
    const int typed = TypedCode(key, modifiers, text);
    if (typed >= 0)
        test.Text1_KeyPress(typed);
}

TEST(TestFormKeys, TokensHideTheirCharactersAndAltXEndsTheTest)
{
    TestFormLogic test;
    test.Form_Activate();
    stroke(test, Qt::Key_Return, {}, "\r");
    stroke(test, Qt::Key_A, {}, "a");
    stroke(test, Qt::Key_Space, {}, " ");
    stroke(test, Qt::Key_5, kPad, "5");
    stroke(test, Qt::Key_C, Qt::ControlModifier, "\x03");
    stroke(test, Qt::Key_M, Qt::AltModifier, "m");
    stroke(test, Qt::Key_Exclam, Qt::ShiftModifier, "!");
    stroke(test, Qt::Key_Tab, {}, "\t");
    EXPECT_EQ(test.Text(), "<Return>a<Space><Pad5>CM!");
    EXPECT_TRUE(test.IsOpen());

    test.Text1_SetCaret(0);
    stroke(test, Qt::Key_X, Qt::AltModifier, "x");
    EXPECT_EQ(test.Text(), "X<Return>a<Space><Pad5>CM!");
    EXPECT_FALSE(test.IsOpen());
}

TEST(TestFormKeys, TheThousandthStrokeDropsTheFirst99Characters)
{
    TestFormLogic test;
    test.Form_Activate();
    for (int i = 0; i < 999; ++i)
        test.Text1_KeyDown(13, 0);
    EXPECT_EQ(test.Text().size(), 999 * 8);
    test.Text1_KeyDown(13, 0);
    // 99 = 12 * 8 + 3: the text now starts inside a token.
    EXPECT_EQ(test.KeyCount(), 100);
    EXPECT_EQ(test.Text().size(), 999 * 8 - 99 + 8);
    EXPECT_TRUE(test.Text().startsWith("turn><Return>"));
    EXPECT_TRUE(test.Text().endsWith("<Return><Return>"));
    EXPECT_EQ(test.Caret(), test.Text().size());
}

} // namespace
