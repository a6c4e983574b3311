#include "displaystate.h"
#include "displayutility.h"
#include "settingsfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

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

TEST_F(SettingsFileTest, NumbersThatCannotBeUsedFallBackAndTheUnusedEndIsKept)
{
    SettingsRecord stored;
    stored.Mode = 99;
    stored.Port = -3;
    stored.XPos = 300;
    stored.LineNo = 0;
    stored.Rest = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    SettingsFile(path).Save(stored);
    const DisplayState state = read();
    EXPECT_EQ(std::tie(state.Mode, state.Port, state.XPos, state.LineNo),
              std::make_tuple(0, 1, 1, 1));
    SaveSettings(state, SettingsFile(path));
    EXPECT_EQ(contents().right(10), QByteArray("\1\2\3\4\5\6\7\10\11\12"));
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

// A link to a regular file is followed; a link to anything else is left alone,
// and a FIFO is never opened (it would hang the start).
TEST_F(SettingsFileTest, OnlyARegularFileIsReadOrReplaced)
{
    const QString target = dir.filePath("real.INI");
    const QString fifo = dir.filePath("fifo");
    ASSERT_TRUE(QFile::link(target, path));
    QFile(target).open(QIODevice::WriteOnly); // 0 bytes: replaced by the defaults
    EXPECT_FALSE(ReadSettings(*std::make_unique<DisplayState>(), SettingsFile(path)));
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(QFileInfo(target).size(), 100);

    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile::remove(path);
    ASSERT_TRUE(QFile::link(fifo, path));
    for (const QString& place : {fifo, path}) {
        DisplayState state;
        EXPECT_EQ(ReadSettings(state, SettingsFile(place)),
                  place + " is not a regular file; it is left alone and the default settings are "
                          "used.");
        EXPECT_EQ(state.Line1, "Line1 test 12356");
        EXPECT_TRUE(SaveSettings(state, SettingsFile(place)));
        EXPECT_FALSE(QFileInfo(fifo).isFile());
    }
}

// The file may grow to 50 bytes only, as on a nearly full disk.
TEST_F(SettingsFileTest, AShortWriteGivesItsCauseAndKeepsTheOldFile)
{
    SettingsRecord old;
    old.Line1 = "old";
    ASSERT_FALSE(SettingsFile(path).Save(old));
    const QByteArray before = contents();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 50;
    setrlimit(RLIMIT_FSIZE, &small);
    DisplayState state;
    const auto error = SaveSettings(state, SettingsFile(path));
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(error, "The settings could not be saved to " + path + ": File too large");
    EXPECT_EQ(contents(), before);
}

} // namespace
