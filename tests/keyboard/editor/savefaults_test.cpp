// The files the user changes (a layout, PALIX.INI, the key editor's STC file)
// saved onto a full disk or into a folder made read-only after they were
// read: a message naming each file and why, the old files intact byte for
// byte, nothing left beside them, and the edits kept.
#include "editorfolder.h"
#include "fakes.h"
#include "filerig.h"
#include "languagetables.h"
#include "layoutdocument.h"
#include "scantableeditor.h"

#include <QFile>

#include <csignal>
#include <fstream>
#include <map>

#include <sys/mount.h>
#include <sys/resource.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

enum class Trouble { FullDisk, ReadOnlyFolder };

// The user's folder on a small disk of its own where one can be mounted (as
// root); elsewhere a full disk is a file size limit and a read-only folder
// cannot be made.
class UserDisk
{
public:
    UserDisk() { m_mounted = ::mount("tmpfs", path().c_str(), "tmpfs", 0, "size=64k") == 0; }
    ~UserDisk()
    {
        if (m_mounted)
            ::umount2(path().c_str(), MNT_DETACH);
    }
    [[nodiscard]] std::filesystem::path path() const { return m_dir.path().toStdString(); }
    [[nodiscard]] bool mounted() const { return m_mounted; }

    // Fills the disk, or makes it read-only; false where this cannot be done.
    bool cause(Trouble trouble)
    {
        if (trouble == Trouble::ReadOnlyFolder)
            return m_mounted &&
                   ::mount(nullptr, path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        if (m_mounted) {
            std::ofstream filler(path() / "filler", std::ios::binary);
            const std::string block(4096, 'f');
            while (filler.write(block.data(), block.size()) && filler.flush()) {
            }
            return true;
        }
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = 1024;
        return m_limited = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    void lift()
    {
        if (m_limited)
            ::setrlimit(RLIMIT_FSIZE, &m_saved);
        m_limited = false;
    }

    // Every file of the folder and its bytes.
    [[nodiscard]] std::map<std::string, QByteArray> files() const
    {
        std::map<std::string, QByteArray> all;
        for (const auto& entry : std::filesystem::directory_iterator(path()))
            all[entry.path().filename()] = ReadBytes(QString::fromStdString(entry.path()));
        return all;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    bool m_limited = false;
    rlimit m_saved{};
};

class SaveFaults : public ::testing::TestWithParam<Trouble>
{
};

} // namespace

TEST_P(SaveFaults, SayWhyKeepTheOldFilesAndTheEdits)
{
    EditorFolder program;
    UserDisk disk;
    const QString layout = QString::fromStdString(disk.path() / "a.KBD");
    ASSERT_TRUE(QFile::copy(program.layout(), layout));
    ASSERT_TRUE(QFile::copy(program.file("STCUSA.TBL"),
                            QString::fromStdString(disk.path() / "STCUSA.TBL")));
    SettingsRecord settings;
    settings.LayoutFileName = layout.toStdString();
    ASSERT_TRUE(SaveIni(SettingsFilePath(disk.path()), settings).ok);
    const FileFolders folders{program.path(), disk.path()};
    LanguageTables tables(folders);
    LayoutDocument document;
    ScriptedDialogs dialogs;
    RecordingHelp help;
    MainFormLogic main(document, tables, folders, dialogs, help);
    main.load(1000, 700);
    ASSERT_EQ(document.fileName(), layout.toStdString());

    if (!disk.cause(GetParam()))
        GTEST_SKIP() << "no disk of its own to make read-only (needs root)";
    const auto before = disk.files();
    KeyRecord key = document.key(0);
    SetDef(key, 0, Tokens({"z"}));
    document.storeKey(0, key);
    main.setComPortIndex(2);
    main.saveLayout();
    ScanRecord mine;
    mine.Name.assign("Mine");
    tables.storeScanRecord(141, mine);
    ScanTableEditor(tables, dialogs).SaveIfChanged(Language::USA);
    disk.lift();

    const QString why = GetParam() == Trouble::ReadOnlyFolder ? "The disk is read-only."
                        : disk.mounted() ? "There is not enough space on the disk."
                                         : "File too large";
    ASSERT_EQ(dialogs.messages.size(), 3u);
    // The layout's own says where the changes can still go.
    const QString elsewhere =
        "\n\nThe layout stays in the window: save it elsewhere with File > Save As.";
    for (const auto& [message, file, end] :
         {std::tuple{dialogs.messages[0], "a.KBD", why + elsewhere},
          {dialogs.messages[1], "PALIX.INI", why},
          {dialogs.messages[2], "STCUSA.TBL", why}}) {
        EXPECT_TRUE(message.warning);
        EXPECT_TRUE(message.text.contains(QString::fromStdString(disk.path() / file)))
            << message.text.toStdString();
        EXPECT_TRUE(message.text.endsWith("\n\n" + end)) << message.text.toStdString();
    }
    EXPECT_EQ(disk.files(), before);
    EXPECT_TRUE(document.isChanged());
    EXPECT_EQ(document.key(0).Def0.str().substr(0, 3), Tokens({"z"}));
}

INSTANTIATE_TEST_SUITE_P(UsersFiles, SaveFaults,
                         ::testing::Values(Trouble::FullDisk, Trouble::ReadOnlyFolder));

// A folder that takes no new file has its file rewritten in place: on a full
// disk, a longer file must not be half written over the old one.
TEST(SaveFaultsInPlace, ALongerFileOnAFullDiskLeavesTheOldOne)
{
    UserDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "no disk of its own (needs root)";
    const std::filesystem::path file = disk.path() / "a.KBD";
    ASSERT_TRUE(WriteBytes(QString::fromStdString(file), "an old, shorter file"));
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(disk.path().c_str(), 0555), 0);
    ASSERT_TRUE(disk.cause(Trouble::FullDisk));
    const auto before = disk.files();
    const LayoutRecordArray records{};
    EXPECT_TRUE(AsUnprivileged([&] {
        return WriteLayoutFile(file, records).reason == "There is not enough space on the disk.";
    }));
    EXPECT_EQ(disk.files(), before);
}
