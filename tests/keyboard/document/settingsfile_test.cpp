#include "configuratorstate.h"
#include "recentfiles.h"
#include "settingsfile.h"
#include "testlayouts.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace morvaw;
using namespace morvaw::test;

namespace {

class SettingsFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_state->AppPath = m_dir.path().toStdString();
    }
    [[nodiscard]] QString iniPath() const { return QDir(m_dir.path()).filePath("PALIX.INI"); }

    QTemporaryDir m_dir;
    std::unique_ptr<ConfiguratorState> m_state = std::make_unique<ConfiguratorState>();
};

std::string padded(const std::string& s)
{
    return s + std::string(128 - s.size(), ' ');
}

} // namespace

TEST_F(SettingsFile, FirstStartGivesUntitledAndPortOne)
{
    EXPECT_EQ(LoadIni(*m_state), "UNTITLED.KBD");
    EXPECT_EQ(m_state->ComPortIndex, 1);
    for (const auto& recent : m_state->RecentFiles)
        EXPECT_TRUE(recent.empty());

    ASSERT_TRUE(SaveIni(*m_state).ok);
    const QByteArray bytes = ReadBytes(iniPath());
    ASSERT_EQ(bytes.size(), 10000);
    EXPECT_EQ(bytes.left(128).toStdString(), padded("UNTITLED.KBD"));
    EXPECT_EQ(bytes.mid(128, 2), QByteArray("\x01\x00", 2));
    EXPECT_EQ(bytes.mid(130, 384), QByteArray(384, ' ')); // empty recent entries are spaces
    EXPECT_EQ(bytes.mid(514), QByteArray(9486, '\0'));    // never read: zero
}

TEST_F(SettingsFile, RecordRoundTripsAndKeepsTheReservedPart)
{
    QByteArray record;
    record += QByteArray::fromStdString(padded("/shop/counter.KBD"));
    record += QByteArray("\x03\x01", 2); // port 259, little-endian
    record += QByteArray::fromStdString(padded("/shop/a.KBD") + padded("") + padded("/shop/c.KBD"));
    for (int i = 0; i < 9486; ++i)
        record += static_cast<char>(i * 7 + 1);
    ASSERT_TRUE(WriteBytes(iniPath(), record));

    EXPECT_EQ(LoadIni(*m_state), "/shop/counter.KBD");
    EXPECT_EQ(m_state->ComPortIndex, 259);
    EXPECT_EQ(m_state->RecentFiles[0], "/shop/a.KBD");
    EXPECT_EQ(m_state->RecentFiles[1], "");
    EXPECT_EQ(m_state->RecentFiles[2], "/shop/c.KBD");

    ASSERT_TRUE(SaveIni(*m_state).ok);
    EXPECT_EQ(ReadBytes(iniPath()), record);
}

TEST_F(SettingsFile, ShortFileGivesWhatItHolds)
{
    ASSERT_TRUE(WriteBytes(iniPath(), QByteArray::fromStdString(padded("/a.KBD")) +
                                          QByteArray("\x02\x00/b.K", 6)));
    EXPECT_EQ(LoadIni(*m_state), "/a.KBD");
    EXPECT_EQ(m_state->ComPortIndex, 2);
    EXPECT_EQ(m_state->RecentFiles[0], "/b.K");
    EXPECT_EQ(m_state->RecentFiles[1], "");

    ASSERT_TRUE(WriteBytes(iniPath(), QByteArray(60, ' ')));
    EXPECT_EQ(LoadIni(*m_state), "UNTITLED.KBD"); // a blank name is no layout
    EXPECT_EQ(m_state->ComPortIndex, 1);
}

TEST_F(SettingsFile, LongNamesAreCutTo128BytesBetweenCharacters)
{
    // 127 ASCII bytes and a two-byte character: the character does not fit.
    m_state->LayoutFileName = std::string(127, 'a') + "\xC3\xA9.KBD";
    m_state->RecentFiles[0] = std::string(200, 'b');
    ASSERT_TRUE(SaveIni(*m_state).ok);
    const QByteArray bytes = ReadBytes(iniPath());
    ASSERT_EQ(bytes.size(), 10000);
    EXPECT_EQ(bytes.left(128).toStdString(), std::string(127, 'a') + " ");
    EXPECT_EQ(bytes.mid(130, 128).toStdString(), std::string(128, 'b'));
    EXPECT_EQ(bytes.mid(258, 128).toStdString(), std::string(128, ' '));
}

// --- The recent-file list ---

struct RecentCase
{
    const char* what;
    RecentCaptions before;
    const char* current;
    RecentCaptions after;
};

void PrintTo(const RecentCase& c, std::ostream* os)
{
    *os << c.what;
}

class RecentList : public ::testing::TestWithParam<RecentCase>
{
};

TEST_P(RecentList, PutsTheLeftLayoutOnTop)
{
    const RecentCase& c = GetParam();
    auto state = std::make_unique<ConfiguratorState>();
    state->RecentFiles = c.before;
    state->LayoutFileName = c.current;
    AftUpdateFileName(*state);
    EXPECT_EQ(state->RecentFiles, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    AftUpdateFileName, RecentList,
    ::testing::Values(
        RecentCase{"empty list", {"", "", ""}, "A", {"A", "", ""}},
        RecentCase{"second", {"A", "", ""}, "B", {"B", "A", ""}},
        RecentCase{"third", {"A", "B", ""}, "C", {"C", "A", "B"}},
        RecentCase{"new name drops the last", {"A", "B", "C"}, "D", {"D", "A", "B"}},
        RecentCase{"middle moves up", {"A", "B", "C"}, "B", {"B", "A", "C"}},
        RecentCase{"last moves up", {"A", "B", "C"}, "C", {"C", "A", "B"}},
        RecentCase{"top stays", {"A", "B", "C"}, "A", {"A", "B", "C"}},
        RecentCase{"second of two moves up", {"A", "B", ""}, "B", {"B", "A", ""}},
        RecentCase{"untitled is never listed", {"A", "B", ""}, "UNTITLED.KBD", {"A", "B", ""}},
        RecentCase{"trailing spaces do not count", {"A", "B", "C"}, "B   ", {"B", "A", "C"}},
        RecentCase{"case matters", {"A", "B", "C"}, "b", {"b", "A", "B"}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST(DisplayLastFiles, ShowsNamedItemsAndNeverHides)
{
    RecentVisibility visible{false, false, true};
    DisplayLastFiles({"  A  ", "   ", ""}, visible);
    EXPECT_EQ(visible, (RecentVisibility{true, false, true}));
}
