// morvaw's command line run as a technician runs it, with no display at all:
// what it prints, its exit codes and its log.
#include "keyboardrig.h"
#include "layoutfile.h"
#include "pseudoterminal.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

struct Finished
{
    int code = -1;
    QString out;
    QString err;
};

class CommandLine : public ::testing::Test
{
protected:
    // The layout in a .KBD file.
    QString saved(const TestLayout& layout, const char* name = "shop.KBD")
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(WriteLayoutFile(path.toStdString(), layout.LayoutRecords).ok);
        return path;
    }
    // The output is read, or goes to a reader that is gone ("| true"), or to a full disk.
    enum class Output { Read, Unread, Full };
    Finished run(const QStringList& arguments, Output output = Output::Read)
    {
        QProcess morvaw;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(display);
        environment.insert("XDG_STATE_HOME", dir.filePath("state"));
        morvaw.setProcessEnvironment(environment);
        QProcess reader;
        if (output == Output::Unread) {
            morvaw.setStandardOutputProcess(&reader);
            reader.start("true");
        } else if (output == Output::Full) {
            morvaw.setStandardOutputFile("/dev/full");
        }
        morvaw.start(MORVAW_PROGRAM, arguments);
        morvaw.closeWriteChannel();
        EXPECT_TRUE(morvaw.waitForFinished(60000));
        return {morvaw.exitStatus() == QProcess::NormalExit ? morvaw.exitCode() : -1,
                morvaw.readAllStandardOutput(), morvaw.readAllStandardError()};
    }
    QStringList logLines() const
    {
        QFile log(dir.filePath("state/morvaw/programming.log"));
        return log.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts)
                   : QStringList();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(CommandLine, BadArgumentsAndUnreadableLayoutsEndWithTwo)
{
    const QString layout = saved(*MakeState(2));
    for (const QStringList& arguments : {QStringList{"--program", layout},
                                         {"--program", layout, "--port", "COM9"},
                                         {"--program", layout, "--port", "COM1", "--units", "0"},
                                         {"--units", "2"},
                                         {"--check", layout, "--type", "5"}}) {
        const Finished bad = run(arguments);
        EXPECT_EQ(bad.code, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(bad.err.contains("usage: morvaw")) << bad.err.toStdString();
    }
    const Finished missing = run({"--program", dir.filePath("none.KBD"), "--port", "COM1"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_TRUE(missing.err.startsWith("morvaw: " + dir.filePath("none.KBD") + ": "))
        << missing.err.toStdString();
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(CommandLine, ASilentKeyboardEndsWithThreeTheMessageAndALogLine)
{
    PseudoTerminal silent;
    ASSERT_TRUE(silent.isValid());
    const QString layout = saved(*MakeState(2));
    const Finished failed =
        run({"--program", layout, "--port", silent.terminalPath(), "--units", "3", "--fast"});
    EXPECT_EQ(failed.code, 3);
    EXPECT_TRUE(failed.err.contains(
        "morvaw: Unit 1 not programmed: Check connection, port number, macro mode"))
        << failed.err.toStdString();
    EXPECT_TRUE(failed.out.endsWith(
        "0 of 3 units programmed. Log: " + dir.filePath("state/morvaw/programming.log") + "\n"))
        << failed.out.toStdString();
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("\tport=" + silent.terminalPath() + "\t"));
    EXPECT_TRUE(lines[0].contains("\tresult=not acknowledged\t"));
    // A reader that goes away must not end a transfer half way and unlogged.
    EXPECT_EQ(run({"--program", layout, "--port", silent.terminalPath()}, Output::Unread).code, 3);
    EXPECT_EQ(logLines().size(), 2);
}

TEST_F(CommandLine, CheckTellsTheMemoryAndTheTokensWithoutAScanCode)
{
    auto layout = MakeState(2);
    AddSomeKeys(*layout);
    SetDef(layout->LayoutRecords[4], 1, Tokens({"c", "No\x1B[2Jkey"})); // no name, an escape
    const Finished fits = run({"--check", saved(*layout)});
    EXPECT_EQ(fits.code, 0) << fits.err.toStdString();
    EXPECT_TRUE(fits.out.contains("\nKeyboard type: 2 Enhanced\nMacro memory: 229 of 2047 bytes\n"
                                  "Tokens without a scan code (sent as code 0):\n"
                                  "  Key 4, Func1: \"No␛[2Jkey\"\n"))
        << fits.out.toStdString();

    auto full = MakeState(1);
    FillMemory(*full);
    const Finished tooFull = run({"--check", saved(*full, "full.KBD")});
    EXPECT_EQ(tooFull.code, 1);
    EXPECT_TRUE(tooFull.out.contains("Macro memory: more than 254 words, too full to program"))
        << tooFull.out.toStdString();
    EXPECT_EQ(run({"--check", saved(*full, "full.KBD"), "--type", "2"}).code, 0);
    // What cannot reach the disk is no success ("--export a.KBD > a.json").
    for (const QStringList& command : {QStringList{"--check"}, {"--export"}})
        EXPECT_EQ(run(command + QStringList{saved(*full, "full.KBD")}, Output::Full).code, 2);
}
