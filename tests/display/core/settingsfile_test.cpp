#include "displaystate.h"
#include "displayutility.h"
#include "settingsfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <QDir>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vornestw;

namespace {

// What `run` returns, run in a child process; what it prints when it cannot run.
std::string inChild(const std::function<std::string()>& run)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        const std::string said = run();
        [[maybe_unused]] const auto n = ::write(pipe[1], said.data(), said.size());
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string said;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return said;
}

// Runs `run` as a user without privileges: as nobody in a child process when
// the tests run as root, directly otherwise.
std::string asUnprivileged(const std::function<std::string()>& run)
{
    if (::geteuid() != 0)
        return run();
    return inChild([&] {
        return ::setgid(65534) == 0 && ::setuid(65534) == 0 ? run() : "cannot become nobody";
    });
}

bool writeText(const char* file, const std::string& text)
{
    const int fd = ::open(file, O_WRONLY);
    const bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// Runs `run` in a child process with a tmpfs of 16 KiB mounted on `folder`,
// in a mount namespace of its own (and a user namespace without root), so
// that nothing outside sees it. Begins with "skip: " when that is not allowed.
std::string onSmallDisk(const QString& folder, const std::function<std::string()>& run)
{
    return inChild([&]() -> std::string {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWNS | (uid == 0 ? 0 : CLONE_NEWUSER)) != 0)
            return "skip: no mount namespace";
        if (uid != 0 && !(writeText("/proc/self/setgroups", "deny") &&
                          writeText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
                          writeText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")))
            return "skip: no user namespace";
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=16k") != 0)
            return "skip: tmpfs cannot be mounted";
        return run();
    });
}

ino_t inodeOf(const QString& file)
{
    struct stat status
    {
    };
    return ::stat(QFile::encodeName(file).constData(), &status) == 0 ? status.st_ino : 0;
}

QString entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(' ');
}

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

TEST_F(SettingsFileTest, ParseTakesOneWholeRecordAndKeepsEveryByte)
{
    std::array<std::uint8_t, 101> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    for (std::size_t length : {0, 99, 101})
        EXPECT_FALSE(SettingsFile::Parse(std::span(bytes).first(length))) << length;
    const std::uint8_t numbers[] = {0x07, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0x34, 0x12};
    std::copy(std::begin(numbers), std::end(numbers), bytes.begin());
    const auto record = SettingsFile::Parse(std::span(bytes).first(100));
    ASSERT_TRUE(record);
    EXPECT_EQ(std::tie(record->Mode, record->Port, record->XPos, record->LineNo),
              std::make_tuple(7, -1, -32768, 0x1234));
    const auto back = record->toBytes();
    EXPECT_TRUE(std::equal(back.begin(), back.end(), bytes.begin()));
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

// Root included: a read-only file is refused and left as it was (at the
// start too, where a file of another length would be replaced), and a
// replaced file keeps its mode and owner.
TEST_F(SettingsFileTest, ReadOnlyFileIsRefusedAndAReplacedOneKeepsModeAndOwner)
{
    const bool root = ::geteuid() == 0;
    const QByteArray path8 = QFile::encodeName(path);
    for (const int length : {100, 50}) {
        write(QByteArray(length, 'x'));
        ASSERT_EQ(::chmod(path8.constData(), 0444), 0);
        DisplayState state = read();
        EXPECT_EQ(state.Line1, length == 100 ? std::string(20, 'x') : "Line1 test 12356");
        EXPECT_EQ(SaveSettings(state, SettingsFile(path)),
                  "The settings could not be saved to " + path + ": the file is read-only");
        EXPECT_EQ(contents(), QByteArray(length, 'x'));
        ASSERT_EQ(::chmod(path8.constData(), 0644), 0);
    }

    ASSERT_EQ(::chmod(path8.constData(), 0640), 0);
    if (root) {
        ASSERT_EQ(::chown(path8.constData(), 65534, 65534), 0);
    }
    struct stat before
    {
    }, after{};
    ASSERT_EQ(::stat(path8.constData(), &before), 0);
    DisplayState state;
    state.Line1 = "new";
    EXPECT_FALSE(SaveSettings(state, SettingsFile(path)));
    ASSERT_EQ(::stat(path8.constData(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(std::tie(after.st_uid, after.st_gid), std::tie(before.st_uid, before.st_gid));
    EXPECT_EQ(read().Line1, "new");
    EXPECT_EQ(entriesOf(dir.path()), "DISPLAY.INI");
}

// The folder that holds the settings file became read-only: a writable file
// is rewritten where it is; otherwise the cause is named and nothing changes.
TEST_F(SettingsFileTest, ReadOnlyFolderRewritesAWritableFileInPlace)
{
    const QString shelf = dir.filePath("shelf");
    const QString file = SettingsFile::PathFor(shelf + "/prog");
    ASSERT_TRUE(QDir().mkpath(shelf));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    struct Case
    {
        int mode; // of the file; 0 for none
        std::string outcome;
        QByteArray after;
    };
    SettingsRecord saved;
    saved.Line1 = "saved";
    const auto savedBytes = saved.toBytes();
    const QByteArray old(100, 'o'), fresh(reinterpret_cast<const char*>(savedBytes.data()), 100);
    const Case cases[] = {
        {0644, "saved", fresh},
        {0444, "the file is read-only", old},
        {0, "Permission denied", QByteArray()},
    };
    for (const Case& c : cases) {
        QFile::remove(file);
        ino_t inode = 0;
        if (c.mode != 0) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(old);
            f.close();
            const QByteArray file8 = QFile::encodeName(file);
            ASSERT_EQ(::chmod(file8.constData(), c.mode), 0);
            if (::geteuid() == 0) {
                ASSERT_EQ(::chown(file8.constData(), 65534, 65534), 0);
            }
            inode = inodeOf(file);
        }
        ASSERT_EQ(::chmod(QFile::encodeName(shelf).constData(), 0555), 0);
        const std::string outcome = asUnprivileged([&] {
            const auto error = SettingsFile(file).Save(saved);
            return error ? error->toStdString() : std::string("saved");
        });
        ASSERT_EQ(::chmod(QFile::encodeName(shelf).constData(), 0755), 0);
        EXPECT_EQ(outcome, c.outcome) << c.mode;
        QFile f(file);
        EXPECT_EQ(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(), c.after) << c.mode;
        if (c.mode != 0) {
            EXPECT_EQ(inodeOf(file), inode) << "written in place";
        }
        EXPECT_EQ(entriesOf(shelf), c.mode != 0 ? "prog.INI" : "");
    }
}

// A really full disk: the save says so and leaves the old file and nothing
// else; a file of the wrong length met at the start stays as it was too.
TEST_F(SettingsFileTest, FullDiskSaysNotEnoughSpaceAndLeavesTheOldFile)
{
    const QString disk = dir.filePath("disk");
    ASSERT_TRUE(QDir().mkpath(disk));
    const std::string report = onSmallDisk(disk, [&] {
        const SettingsFile file(SettingsFile::PathFor(disk + "/prog"));
        SettingsRecord old;
        old.Line1 = "old";
        if (file.Save(old))
            return std::string("cannot save at all");
        QFile(disk + "/short.INI").open(QIODevice::WriteOnly);
        QFile filler(disk + "/filler");
        filler.open(QIODevice::WriteOnly);
        while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
        }
        filler.close();

        DisplayState state;
        const auto error = SaveSettings(state, file);
        DisplayState atStart;
        ReadSettings(atStart, SettingsFile(disk + "/short.INI"));
        QFile kept(file.path());
        kept.open(QIODevice::ReadOnly);
        const bool same =
            kept.readAll() ==
            QByteArray::fromRawData(reinterpret_cast<const char*>(old.toBytes().data()), 100);
        return error.value_or("saved").toStdString() + " | " + (same ? "kept" : "changed") + " | " +
               atStart.Line1 + " | " + std::to_string(QFileInfo(disk + "/short.INI").size()) +
               " | " + entriesOf(disk).toStdString();
    });
    if (report.starts_with("skip: ")) {
        GTEST_SKIP() << report;
    }
    EXPECT_EQ(report, "The settings could not be saved to " + disk.toStdString() +
                          "/prog.INI: not enough space | kept | Line1 test 12356 | 0 | filler "
                          "prog.INI short.INI");
}

} // namespace
