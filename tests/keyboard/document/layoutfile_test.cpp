#include "layoutfile.h"
#include "testlayouts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

class LayoutFile : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(LayoutFile, SavedLayoutComesBackByteForByte)
{
    LayoutRecordArray saved{};
    FillVaried(saved, 1);
    ASSERT_TRUE(WriteLayoutFile(path("a.KBD"), saved).ok);

    const QByteArray bytes = ReadBytes(path("a.KBD"));
    ASSERT_EQ(bytes.size(), 27400);
    // Record k at (k - 1) * 274; the language byte of record 96 at 26031.
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[26031]), saved[96].PosX);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[23839]), saved[88].PosX);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[27399]), saved[100].Tail[18]);

    LayoutRecordArray loaded{};
    FillVaried(loaded, 99);
    const KeyRecord record0 = loaded[0];
    ASSERT_TRUE(ReadLayoutFile(path("a.KBD"), loaded).ok);
    for (int n = 1; n <= 100; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(loaded[static_cast<std::size_t>(n)], saved[static_cast<std::size_t>(n)]);
    }
    EXPECT_EQ(loaded[0], record0); // record 0 is neither written nor read
}

TEST_F(LayoutFile, TokenMarksAndPictureBytesSurvive)
{
    LayoutRecordArray saved{};
    SetDef0(saved[2], Tokens({"\x11\xCD", "a"}));
    ASSERT_TRUE(WriteLayoutFile(path("b.KBD"), saved).ok);
    LayoutRecordArray loaded{};
    ASSERT_TRUE(ReadLayoutFile(path("b.KBD"), loaded).ok);
    EXPECT_EQ(loaded[2].Def0, saved[2].Def0);
    EXPECT_EQ(static_cast<std::uint8_t>(ReadBytes(path("b.KBD"))[274 + 11]), 249);
}

TEST_F(LayoutFile, WholeReadRefusesWhatIsNotOneLayout)
{
    LayoutRecordArray source{};
    FillVaried(source, 3);
    const QByteArray layout = LayoutFileBytes(source);
    ASSERT_TRUE(WriteBytes(path("short.KBD"), layout.left(27399)));
    ASSERT_TRUE(WriteBytes(path("long.KBD"), layout + "x"));
    ASSERT_TRUE(WriteBytes(path("empty.KBD"), {}));

    LayoutRecordArray records{};
    FillVaried(records, 5);
    const LayoutRecordArray before = records;
    for (const char* name : {"short.KBD", "long.KBD", "empty.KBD", "missing.KBD"}) {
        SCOPED_TRACE(name);
        const FileOutcome outcome = ReadLayoutFile(path(name), records);
        EXPECT_FALSE(outcome.ok);
        EXPECT_FALSE(outcome.reason.isEmpty());
        EXPECT_EQ(records, before);
    }
    EXPECT_TRUE(ReadLayoutFile(path("short.KBD"), records).reason.contains("27399"));
}

TEST_F(LayoutFile, PartialReadKeepsTheRecordsTheFileDoesNotReach)
{
    LayoutRecordArray source{};
    FillVaried(source, 3);
    // Ten whole records and half of the eleventh.
    ASSERT_TRUE(WriteBytes(path("part.KBD"), LayoutFileBytes(source).left(274 * 10 + 137)));

    LayoutRecordArray records{};
    ReadLayoutFilePartly(path("part.KBD"), records);
    EXPECT_EQ(records[10], source[10]);
    EXPECT_EQ(records[11], KeyRecord{});
    EXPECT_EQ(records[100], KeyRecord{});

    ReadLayoutFilePartly(path("missing.KBD"), records);
    EXPECT_EQ(records[10], source[10]);
}

TEST_F(LayoutFile, FailedWriteSaysWhyAndLeavesNothingBehind)
{
    LayoutRecordArray records{};
    const FileOutcome noFolder = WriteLayoutFile(path("no/such/folder/x.KBD"), records);
    EXPECT_FALSE(noFolder.ok);
    EXPECT_FALSE(noFolder.reason.isEmpty());

    ASSERT_TRUE(WriteBytes(path("plain"), "x"));
    EXPECT_FALSE(WriteLayoutFile(path("plain/x.KBD"), records).ok);
    EXPECT_FALSE(WriteLayoutFile(m_dir.path(), records).ok); // a folder is no layout

    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plain"});
}

TEST_F(LayoutFile, ReadOnlyLayoutIsNotReplaced)
{
    LayoutRecordArray old{};
    FillVaried(old, 1);
    ASSERT_TRUE(WriteLayoutFile(path("ro.KBD"), old).ok);
    ASSERT_TRUE(QFile::setPermissions(path("ro.KBD"), QFile::ReadOwner | QFile::ReadGroup));
    if (::access(path("ro.KBD").toLocal8Bit().constData(), W_OK) == 0)
        GTEST_SKIP() << "running with rights that ignore read-only files";

    LayoutRecordArray changed{};
    FillVaried(changed, 2);
    const FileOutcome outcome = WriteLayoutFile(path("ro.KBD"), changed);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(ReadBytes(path("ro.KBD")), LayoutFileBytes(old));
}

TEST_F(LayoutFile, ReplacingKeepsNoTemporaryFile)
{
    LayoutRecordArray records{};
    FillVaried(records, 1);
    ASSERT_TRUE(WriteBytes(path("c.KBD"), QByteArray(40000, 'z')));
    ASSERT_TRUE(WriteLayoutFile(path("c.KBD"), records).ok);
    EXPECT_EQ(ReadBytes(path("c.KBD")), LayoutFileBytes(records)); // a longer old file is not kept
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"c.KBD"});
}
