#include "displayrig.h"
#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

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

    QTemporaryDir dir;
    QString programFolder = dir.path() + "/DISPLAY";
    QString path = SettingsFile::PathFor(programFolder);
};

TEST_F(SettingsFileTest, PathIsTheFolderWithIniAppended)
{
    EXPECT_EQ(path, dir.path() + "/DISPLAY.INI");
    EXPECT_EQ(SettingsFile::PathFor("/opt/vornest/"), "/opt/vornest.INI");
}

TEST_F(SettingsFileTest, FirstStartWritesTheDefaults)
{
    DisplayState state;
    state.Mode = 5;
    ReadSettings(state, SettingsFile(path));
    const QByteArray bytes = contents();
    ASSERT_EQ(bytes.size(), 100);
    EXPECT_EQ(bytes.mid(0, 8), QByteArray("\0\0\1\0\1\0\1\0", 8));
    EXPECT_EQ(bytes.mid(8, 20), QByteArray("Line1 test 12356    "));
    EXPECT_EQ(bytes.mid(28, 20), QByteArray("Line2 test abcde    "));
    EXPECT_EQ(bytes.mid(48, 40), QByteArray("Long string test 1234567890abcdefgh     "));
    EXPECT_EQ(bytes.mid(88, 2), QByteArray("!#"));

    EXPECT_EQ(state.Mode, 0);
    EXPECT_EQ(state.Port, 1);
    EXPECT_EQ(state.Line1, "Line1 test 12356");
    EXPECT_EQ(state.LongText, "Long string test 1234567890abcdefgh");
    EXPECT_EQ(state.ChannelCaption, "Send to Com 2");
}

TEST_F(SettingsFileTest, OnlyExactly100BytesAreTrusted)
{
    SettingsRecord stored;
    stored.Mode = 6;
    stored.Line1 = "kept";
    const auto good = stored.toBytes();
    const QByteArray record(reinterpret_cast<const char*>(good.data()), 100);

    for (int length : {0, 99, 100, 101}) {
        QByteArray bytes = record.left(std::min(length, 100));
        bytes.append(QByteArray(std::max(0, length - 100), 'x'));
        write(bytes);
        DisplayState state;
        ReadSettings(state, SettingsFile(path));
        if (length == 100) {
            EXPECT_EQ(state.Mode, 6);
            EXPECT_EQ(state.Line1, "kept");
        } else {
            EXPECT_EQ(state.Mode, 0) << length;
            EXPECT_EQ(state.Line1, "Line1 test 12356") << length;
        }
        EXPECT_EQ(contents().size(), 100) << length;
    }
}

TEST_F(SettingsFileTest, SavedValuesComeBackWithTextsTrimmedOfSpacesOnly)
{
    DisplayState state;
    state.Mode = 7;
    state.Port = 4;
    state.XPos = 20;
    state.LineNo = 2;
    state.Line1 = "  abc  ";
    state.Line2 = "\tx\t";
    state.LongText = std::string(45, 'L'); // cut to 40
    state.Prefix1 = '\xFE';
    state.Prefix2 = ' ';
    SaveSettings(state, SettingsFile(path));

    DisplayState back;
    ReadSettings(back, SettingsFile(path));
    EXPECT_EQ(back.Mode, 7);
    EXPECT_EQ(back.Port, 4);
    EXPECT_EQ(back.XPos, 20);
    EXPECT_EQ(back.LineNo, 2);
    EXPECT_EQ(back.Line1, "abc");
    EXPECT_EQ(back.Line2, "\tx\t");
    EXPECT_EQ(back.LongText, std::string(40, 'L'));
    EXPECT_EQ(back.Prefix1, '\xFE');
    EXPECT_EQ(back.Prefix2, ' ');
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
    DisplayState state;
    ReadSettings(state, SettingsFile(path));
    EXPECT_EQ(state.Mode, 99); // only leaves the menu empty
    EXPECT_EQ(state.Port, 1);
    EXPECT_EQ(state.XPos, 1);
    EXPECT_EQ(state.LineNo, 1);
}

TEST_F(SettingsFileTest, RecordRoundTripKeepsEveryByte)
{
    std::array<std::uint8_t, 100> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    EXPECT_EQ(SettingsRecord::fromBytes(bytes).toBytes(), bytes);
    // Negative numbers are two's complement, little-endian.
    SettingsRecord r;
    r.Mode = -2;
    EXPECT_EQ(r.toBytes()[0], 0xFE);
    EXPECT_EQ(r.toBytes()[1], 0xFF);
}

TEST_F(SettingsFileTest, UnwritablePlaceIsIgnoredAndDefaultsServe)
{
    const QString blocked = dir.path() + "/missing/folder/x";
    DisplayState state;
    ReadSettings(state, SettingsFile(SettingsFile::PathFor(blocked)));
    EXPECT_EQ(state.Line1, "Line1 test 12356");
    SaveSettings(state, SettingsFile(SettingsFile::PathFor(blocked)));
    EXPECT_FALSE(QFile::exists(SettingsFile::PathFor(blocked)));
}

TEST_F(SettingsFileTest, SavingLeavesNoTemporaryFilesBehind)
{
    DisplayState state;
    SaveSettings(state, SettingsFile(path));
    SaveSettings(state, SettingsFile(path));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"DISPLAY.INI"});
}

} // namespace
