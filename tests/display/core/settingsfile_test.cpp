#include "displaystate.h"
#include "displayutility.h"
#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vornestw;

namespace {

const std::string kDefaultLine1 = "Line1 test 12356";

QByteArray bytesOf(const SettingsRecord& record)
{
    const auto bytes = record.toBytes();
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(' ');
}

struct stat statusOf(const QString& path)
{
    struct stat status = {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status;
}

class SettingsFileTest : public ::testing::Test
{
protected:
    void write(const QByteArray& bytes, const QString& to = {}) const
    {
        QFile f(to.isEmpty() ? path : to);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    DisplayState read(const QString& from = {}) const
    {
        DisplayState state;
        ReadSettings(state, SettingsFile(from.isEmpty() ? path : from));
        return state;
    }

    QTemporaryDir dir;
    QString path = SettingsFile::PathFor(dir.path() + "/DISPLAY");
};

TEST_F(SettingsFileTest, OnlyExactly100BytesAreTrustedElseTheFirstRunDefaultsAreWritten)
{
    EXPECT_EQ(SettingsFile::PathFor("/opt/vornest/"), "/opt/vornest.INI");
    const QByteArray defaults =
        QByteArray("\0\0\1\0\1\0\1\0", 8) + "Line1 test 12356    " + "Line2 test abcde    " +
        "Long string test 1234567890abcdefgh     " + "!#" + QByteArray(10, '\0');
    SettingsRecord stored;
    stored.Line1 = "kept";
    const QByteArray record = bytesOf(stored);
    for (int length : {-1, 0, 99, 100, 101}) {
        if (length >= 0)
            write(record.left(length) + QByteArray(std::max(0, length - 100), 'x'));
        const DisplayState state = read();
        EXPECT_EQ(contentsOf(path), length == 100 ? record : defaults) << length;
        EXPECT_EQ(state.Line1, length == 100 ? "kept" : kDefaultLine1) << length;
    }
}

TEST_F(SettingsFileTest, SavedValuesComeBackTrimmedAndUnusableNumbersFallBack)
{
    DisplayState state;
    state.Mode = 7, state.Port = 4, state.XPos = 20, state.LineNo = 2;
    state.Line1 = "  abc  ", state.Line2 = "\tx\t", state.LongText = std::string(45, 'L');
    state.Prefix1 = '\xFE', state.Prefix2 = ' ';
    SaveSettings(state, SettingsFile(path));
    const DisplayState back = read();
    EXPECT_EQ(std::tie(back.Mode, back.Port, back.XPos, back.LineNo, back.Prefix1, back.Prefix2),
              std::make_tuple(7, 4, 20, 2, '\xFE', ' '));
    EXPECT_EQ(back.Line1 + "|" + back.Line2, "abc|\tx\t"); // spaces only
    EXPECT_EQ(back.LongText, std::string(40, 'L'));        // cut to its width

    SettingsRecord stored;
    stored.Mode = 99, stored.Port = -3, stored.XPos = 300, stored.LineNo = 0;
    stored.Rest = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    SettingsFile(path).Save(stored);
    const DisplayState fallback = read();
    EXPECT_EQ(std::tie(fallback.Mode, fallback.Port, fallback.XPos, fallback.LineNo),
              std::make_tuple(0, 1, 1, 1));
    SaveSettings(fallback, SettingsFile(path));
    EXPECT_EQ(contentsOf(path).right(10), QByteArray("\1\2\3\4\5\6\7\10\11\12"));
}

// The printer queue lives beside the record, which keeps its 100 bytes; the
// default printer needs no file, and a name no print server could give a
// queue is no choice.
TEST_F(SettingsFileTest, PrinterQueueIsKeptInASideFileOfItsOwn)
{
    const QString side = dir.filePath("DISPLAY.printer");
    DisplayState state;
    SaveSettings(state, SettingsFile(path));
    EXPECT_FALSE(QFileInfo::exists(side));
    state.Port = kPrinterPort, state.PrinterQueue = "receipt-1";
    SaveSettings(state, SettingsFile(path));
    EXPECT_EQ(contentsOf(path), bytesOf(RecordOf(state)));
    EXPECT_EQ(read().ChannelCaption, "Send to printer receipt-1");
    write(QByteArray(128, 'q'), side);
    EXPECT_EQ(read().PrinterQueue, "");
    write("two words", side);
    EXPECT_EQ(read().ChannelCaption, "Send to default printer");
}

// A link to a regular file is followed; a link to anything else is left alone,
// and a FIFO is never opened (it would hang the start).
TEST_F(SettingsFileTest, OnlyARegularFileIsReadOrReplaced)
{
    const QString target = dir.filePath("real.INI"), fifo = dir.filePath("fifo");
    ASSERT_TRUE(QFile::link(target, path));
    write(QByteArray()); // through the link: replaced by the defaults
    EXPECT_EQ(read().Line1, kDefaultLine1);
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
        EXPECT_EQ(state.Line1, kDefaultLine1);
        EXPECT_TRUE(SaveSettings(state, SettingsFile(place)));
        EXPECT_FALSE(QFileInfo(fifo).isFile());
    }
}

// Root included: a read-only file is refused and left as it was (at the start
// too, where a file of another length would be replaced); a replaced file
// keeps its mode and owner, and nothing else is left in the folder.
TEST_F(SettingsFileTest, ReadOnlyFileIsRefusedAndAReplacedOneKeepsModeAndOwner)
{
    const QByteArray path8 = QFile::encodeName(path);
    for (const int length : {100, 50}) {
        write(QByteArray(length, 'x'));
        ASSERT_EQ(::chmod(path8.constData(), 0444), 0);
        DisplayState state = read();
        EXPECT_EQ(state.Line1, length == 100 ? std::string(20, 'x') : kDefaultLine1);
        EXPECT_EQ(SaveSettings(state, SettingsFile(path)),
                  "The settings could not be saved to " + path + ": the file is read-only");
        EXPECT_EQ(contentsOf(path), QByteArray(length, 'x'));
    }
    ASSERT_EQ(::chmod(path8.constData(), 0640), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path8.constData(), 65534, 65534), 0);
    }
    const struct stat before = statusOf(path);
    DisplayState state;
    state.Line1 = "new";
    EXPECT_FALSE(SaveSettings(state, SettingsFile(path)));
    const struct stat after = statusOf(path);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(std::tie(after.st_uid, after.st_gid), std::tie(before.st_uid, before.st_gid));
    EXPECT_EQ(read().Line1, "new");
    EXPECT_EQ(entriesOf(dir.path()), "DISPLAY.INI");
}

// The folder became read-only: a file its user may write is rewritten where it
// is; otherwise the cause is named and nothing changes. Root passes every
// permission check, so as root the save runs with nobody's effective ids.
TEST_F(SettingsFileTest, ReadOnlyFolderRewritesAWritableFileInPlace)
{
    const QString shelf = dir.filePath("shelf"), file = shelf + "/prog.INI";
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(QDir().mkpath(shelf));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    SettingsRecord saved;
    saved.Line1 = "saved";
    const QByteArray old(100, 'o');
    const std::tuple<int, QString, QByteArray> cases[] = {{0644, "", bytesOf(saved)},
                                                          {0444, "the file is read-only", old},
                                                          {0, "Permission denied", {}}};
    for (const auto& [mode, outcome, after] : cases) {
        QFile::remove(file);
        if (mode != 0) {
            write(old, file);
            ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), mode), 0);
            ASSERT_EQ(::chown(QFile::encodeName(file).constData(), root ? 65534 : -1, -1), 0);
        }
        const ino_t inode = statusOf(file).st_ino;
        ASSERT_EQ(::chmod(QFile::encodeName(shelf).constData(), 0555), 0);
        ASSERT_TRUE(!root || (::setegid(65534) == 0 && ::seteuid(65534) == 0));
        const auto error = SettingsFile(file).Save(saved);
        ASSERT_TRUE(!root || (::seteuid(0) == 0 && ::setegid(0) == 0));
        ASSERT_EQ(::chmod(QFile::encodeName(shelf).constData(), 0755), 0);
        EXPECT_EQ(error.value_or(""), outcome) << mode;
        EXPECT_EQ(contentsOf(file), after) << mode;
        EXPECT_EQ(statusOf(file).st_ino, inode) << "written in place";
        EXPECT_EQ(entriesOf(shelf), mode != 0 ? "prog.INI" : "");
    }
}

// The file may grow to 50 bytes only, as on a nearly full disk: the save gives
// the real cause and leaves the old file and nothing else; a file of another
// length met at the start stays as it was too.
TEST_F(SettingsFileTest, AShortWriteGivesItsCauseAndKeepsTheOldFile)
{
    SettingsRecord old;
    old.Line1 = "old";
    ASSERT_FALSE(SettingsFile(path).Save(old));
    const QString start = dir.filePath("start.INI");
    write({}, start);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 50;
    setrlimit(RLIMIT_FSIZE, &small);
    const auto error = SaveSettings(DisplayState{}, SettingsFile(path));
    const std::string atStart = read(start).Line1;
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(error, "The settings could not be saved to " + path + ": File too large");
    EXPECT_EQ(contentsOf(path), bytesOf(old));
    EXPECT_EQ(atStart, kDefaultLine1);
    EXPECT_EQ(contentsOf(start), "");
    EXPECT_EQ(entriesOf(dir.path()), "DISPLAY.INI start.INI");
}

} // namespace
