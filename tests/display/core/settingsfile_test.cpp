#include "displaystate.h"
#include "displayutility.h"
#include "settingsfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vornestw;

namespace {

class SettingsFileTest : public ::testing::Test
{
protected:
    QByteArray contents() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QByteArray& bytes) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    DisplayState read() const
    {
        DisplayState state;
        ReadSettings(state, SettingsFile(path));
        return state;
    }

    QTemporaryDir dir;
    QString path = SettingsFile::PathFor(dir.path() + "/DISPLAY");
};

TEST_F(SettingsFileTest, PathIsTheFolderWithIniAppended)
{
    EXPECT_EQ(path, dir.path() + "/DISPLAY.INI");
    EXPECT_EQ(SettingsFile::PathFor("/opt/vornest/"), "/opt/vornest.INI");
}

TEST_F(SettingsFileTest, OnlyExactly100BytesAreTrustedElseTheFirstRunDefaultsAreWritten)
{
    const QByteArray defaults =
        QByteArray("\0\0\1\0\1\0\1\0", 8) + "Line1 test 12356    " + "Line2 test abcde    " +
        "Long string test 1234567890abcdefgh     " + "!#" + QByteArray(10, '\0');
    SettingsRecord stored;
    stored.Line1 = "kept";
    const auto good = stored.toBytes();
    const QByteArray record(reinterpret_cast<const char*>(good.data()), 100);
    for (int length : {-1, 0, 99, 100, 101}) {
        if (length >= 0)
            write(record.left(length) + QByteArray(std::max(0, length - 100), 'x'));
        const DisplayState state = read();
        EXPECT_EQ(contents(), length == 100 ? record : defaults) << length;
        EXPECT_EQ(state.Line1, length == 100 ? "kept" : "Line1 test 12356") << length;
        EXPECT_EQ(state.ChannelCaption, "Send to Com 2");
    }
}

TEST_F(SettingsFileTest, SavedValuesComeBackWithTextsTrimmedOfSpacesOnly)
{
    DisplayState state;
    state.Mode = 7, state.Port = 4, state.XPos = 20, state.LineNo = 2;
    state.Line1 = "  abc  ", state.Line2 = "\tx\t", state.LongText = std::string(45, 'L');
    state.Prefix1 = '\xFE', state.Prefix2 = ' ';
    SaveSettings(state, SettingsFile(path));
    const DisplayState back = read();
    EXPECT_EQ(std::tie(back.Mode, back.Port, back.XPos, back.LineNo, back.Prefix1, back.Prefix2),
              std::make_tuple(7, 4, 20, 2, '\xFE', ' '));
    EXPECT_EQ(back.Line1, "abc");
    EXPECT_EQ(back.Line2, "\tx\t");
    EXPECT_EQ(back.LongText, std::string(40, 'L')); // cut to its width
    EXPECT_EQ(back.ChannelCaption, "Send to default printer");
}

TEST_F(SettingsFileTest, NumbersThatCannotBeUsedFallBackToDefaults)
{
    SettingsRecord stored;
    stored.Mode = 99;
    stored.Port = -3;
    stored.XPos = 300;
    stored.LineNo = 0;
    SettingsFile(path).Save(stored);
    const DisplayState state = read();
    EXPECT_EQ(std::tie(state.Mode, state.Port, state.XPos, state.LineNo),
              std::make_tuple(99, 1, 1, 1)); // the mode only leaves the menu empty
}

TEST_F(SettingsFileTest, RecordRoundTripKeepsEveryByte)
{
    std::array<std::uint8_t, 100> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    EXPECT_EQ(SettingsRecord::fromBytes(bytes).toBytes(), bytes);
}

TEST_F(SettingsFileTest, UnwritablePlaceIsIgnoredAndDefaultsServe)
{
    const SettingsFile blocked(SettingsFile::PathFor(dir.path() + "/missing/folder/x"));
    DisplayState state;
    ReadSettings(state, blocked);
    EXPECT_EQ(state.Line1, "Line1 test 12356");
    SaveSettings(state, blocked);
    EXPECT_FALSE(QFile::exists(blocked.path()));
}

} // namespace
