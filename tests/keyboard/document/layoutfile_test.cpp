#include "layoutfile.h"
#include "testlayouts.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

class LayoutFile : public ::testing::Test
{
protected:
    [[nodiscard]] QString path(const QString& name) const
    {
        return QDir(m_dir.path()).filePath(name);
    }
    [[nodiscard]] std::filesystem::path file(const QString& name) const
    {
        return Native(path(name));
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(LayoutFile, SavedLayoutComesBackByteForByte)
{
    LayoutRecordArray saved{};
    FillVaried(saved, 1);
    ASSERT_TRUE(WriteBytes(path("a.KBD"), QByteArray(40000, 'z'))); // a longer old file
    ASSERT_TRUE(WriteLayoutFile(file("a.KBD"), saved).ok);

    const QByteArray bytes = ReadBytes(path("a.KBD"));
    ASSERT_EQ(bytes.size(), 27400);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[26031]), saved[96].PosX); // language
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[23839]), saved[88].PosX); // shape
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[27399]), saved[100].Tail[18]);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.KBD"});

    LayoutRecordArray loaded{};
    FillVaried(loaded, 99);
    const KeyRecord record0 = loaded[0];
    ASSERT_TRUE(ReadLayoutFile(file("a.KBD"), loaded).ok);
    for (int n = 1; n <= 100; ++n)
        EXPECT_EQ(loaded[static_cast<std::size_t>(n)], saved[static_cast<std::size_t>(n)]) << n;
    EXPECT_EQ(loaded[0], record0); // record 0 is neither written nor read
}

TEST_F(LayoutFile, StartUpReadKeepsTheRecordsTheFileDoesNotReach)
{
    LayoutRecordArray source{};
    FillVaried(source, 3);
    // Ten whole records and half of the eleventh.
    ASSERT_TRUE(WriteBytes(path("part.KBD"), LayoutFileBytes(source).left(274 * 10 + 137)));
    LayoutRecordArray records{};
    ReadLayoutFilePartly(file("part.KBD"), records);
    EXPECT_EQ(records[10], source[10]);
    EXPECT_EQ(records[11], KeyRecord{});
}

TEST_F(LayoutFile, FailedWriteSaysWhyAndLeavesNothingBehind)
{
    LayoutRecordArray records{};
    ASSERT_TRUE(WriteBytes(path("plain"), "x"));
    for (const QString& bad : {path("no/folder/x.KBD"), path("plain/x.KBD"), m_dir.path()}) {
        const FileOutcome outcome = WriteLayoutFile(Native(bad), records);
        EXPECT_FALSE(outcome.ok) << bad.toStdString();
        EXPECT_FALSE(outcome.reason.isEmpty()) << bad.toStdString();
    }
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plain"});
}
