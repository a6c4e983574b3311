#include "keypictures.h"
#include "keytext.h"

#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

Definition definition(const std::string& text)
{
    KeyRecord key;
    SetDef(key, 0, text);
    return key.definition(0);
}

} // namespace

TEST(ReadableDefinition, TypedCharactersJoinNamedKeysAreNamed)
{
    const std::pair<std::string, std::string> rows[] = {
        {Tokens({"L", "A", "T", "T", "E", "Spc", "2", ".", "5", "0"}), "LATTE 2.50"},
        {Tokens({"T", "E", "A", "\x11\xC4\xD9"}), "TEA<Enter>"},
        {Tokens({"^Shs", "AltF4", "#Pad 1", "Sh\x11\xCD", "Shft"}),
         "<Ctrl+Shift+s><Alt+F4><Num+Pad 1><Shift+BkSp><Shft>"},
        {"Func1", "Func1"},
        {">A", ">A"}, // not in token form: as it stands
        {"", ""},
    };
    for (const auto& [text, readable] : rows)
        EXPECT_EQ(ReadableDefinition(definition(text)), readable) << readable;

    // Only the used part counts, however long the length byte claims it is.
    Definition cut = definition(Tokens({"a", "b"}));
    cut.Len = 3;
    EXPECT_EQ(ReadableDefinition(cut), "a");
    cut.Len = 200;
    EXPECT_EQ(ReadableDefinition(cut), "ab");
}

// Each token its own chip: a "." token, a space and the mark can't be mixed up.
TEST(InputLineTokens, OneEntryPerTokenWithPictureNamesAsWords)
{
    EXPECT_EQ(InputLineTokens(definition(Tokens({".", " ", "Spc", "Sh\x18"}))),
              (std::vector<std::string>{".", " ", "Spc", "ShUp"}));
    EXPECT_EQ(InputLineTokens(definition("FnTgl")), std::vector<std::string>{"FnTgl"});
    // A leftover mark and empty tokens from elsewhere draw nothing.
    EXPECT_TRUE(InputLineTokens(definition(std::string(3, TokenMark))).empty());
}
