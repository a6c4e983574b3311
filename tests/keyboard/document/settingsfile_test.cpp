#include "recentfiles.h"
#include "settingsfile.h"
#include "testlayouts.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

QByteArray field(const std::string& s)
{
    return QByteArray::fromStdString(s + std::string(128 - s.size(), ' '));
}

} // namespace

// A first start gives "UNTITLED.KBD" on COM1; a record keeps its reserved
// part; a short file gives what it holds; long names are cut between
// characters.
TEST(SettingsFile, RecordRoundTripsWithItsReservedPart)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("PALIX.INI");
    const std::filesystem::path file = Native(ini);
    SettingsRecord settings = LoadIni(file);
    ASSERT_TRUE(SaveIni(file, settings).ok);
    EXPECT_EQ(ReadBytes(ini), field("UNTITLED.KBD") + QByteArray("\x01\x00", 2) +
                                  QByteArray(384, ' ') + QByteArray(9486, '\0'));

    QByteArray record = field("/shop/counter.KBD") + QByteArray("\x03\x01", 2) +
                        field("/shop/a.KBD") + field("") + field("/shop/c.KBD");
    for (int i = 0; i < 9486; ++i)
        record += static_cast<char>(i * 7 + 1);
    ASSERT_TRUE(WriteBytes(ini, record));
    settings = LoadIni(file);
    EXPECT_EQ(settings.LayoutFileName, "/shop/counter.KBD");
    EXPECT_EQ(settings.ComPortIndex, 259);
    EXPECT_EQ(settings.RecentFiles, (RecentCaptions{"/shop/a.KBD", "", "/shop/c.KBD"}));
    ASSERT_TRUE(SaveIni(file, settings).ok);
    EXPECT_EQ(ReadBytes(ini), record);

    // A short file gives what it holds; a blank name is no layout.
    ASSERT_TRUE(WriteBytes(ini, field("/a.KBD") + QByteArray("\x02\x00/b", 4)));
    settings = LoadIni(file);
    EXPECT_EQ(settings.LayoutFileName, "/a.KBD");
    EXPECT_EQ(settings.RecentFiles, (RecentCaptions{"/b", "", ""}));
    ASSERT_TRUE(WriteBytes(ini, QByteArray(60, ' ')));
    EXPECT_EQ(LoadIni(file).LayoutFileName, "UNTITLED.KBD");

    // 127 ASCII bytes and a two-byte character: the character does not fit.
    settings.LayoutFileName = std::string(127, 'a') + "\xC3\xA9.KBD";
    settings.RecentFiles[0] = std::string(200, 'b');
    ASSERT_TRUE(SaveIni(file, settings).ok);
    const QByteArray bytes = ReadBytes(ini);
    ASSERT_EQ(bytes.size(), 10000);
    EXPECT_EQ(bytes.left(128), field(std::string(127, 'a')));
    EXPECT_EQ(bytes.mid(130, 128).toStdString(), std::string(128, 'b'));
}

// The layout left goes on top of the recent list.
TEST(RecentList, AftUpdateFileNamePutsTheLeftLayoutOnTop)
{
    struct Row
    {
        RecentCaptions before;
        const char* current;
        RecentCaptions after;
    };
    // clang-format off
    const Row rows[] = {
        {{"", "", ""},    "A",            {"A", "", ""}},
        {{"A", "", ""},   "B",            {"B", "A", ""}},
        {{"A", "B", ""},  "C",            {"C", "A", "B"}},
        {{"A", "B", "C"}, "D",            {"D", "A", "B"}}, // a new one drops the last
        {{"A", "B", "C"}, "B",            {"B", "A", "C"}},
        {{"A", "B", "C"}, "C",            {"C", "A", "B"}},
        {{"A", "B", "C"}, "A",            {"A", "B", "C"}},
        {{"A", "B", ""},  "B",            {"B", "A", ""}},
        {{"A", "B", ""},  "UNTITLED.KBD", {"A", "B", ""}},
        {{"A", "B", "C"}, "B  ",          {"B", "A", "C"}}, // trailing blanks
        {{"A", "B", "C"}, "b",            {"b", "A", "B"}}, // case matters
    };
    // clang-format on
    for (const Row& row : rows) {
        RecentCaptions list = row.before;
        AftUpdateFileName(list, row.current);
        EXPECT_EQ(list, row.after) << row.before[0] << row.before[1] << row.current;
    }
}
