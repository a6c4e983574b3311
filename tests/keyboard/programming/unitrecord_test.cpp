// What the programming window shows and keeps of each unit: its number, the
// progress with the time left, and one line of the log a pass.
#include "keyboardrig.h"
#include "layoutfile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

TEST(UnitRecord, EveryPassIsALineOfTheLogAndTheWindowCountsTheUnits)
{
    QTemporaryDir dir;
    KeyboardRig rig(2);
    AddSomeKeys(*rig.state);
    const std::filesystem::path saved = dir.filePath("shop.KBD").toStdString();
    ASSERT_TRUE(WriteLayoutFile(saved, rig.state->LayoutRecords).ok);
    rig.log = ProgrammingLog(dir.filePath("state/morvaw/programming.log"));
    // Two keyboards take the layout; the third goes quiet after ten bytes.
    rig.device.faults.stopAfterWrites = 2 * 223 + 10;
    rig.dialogs.answers = {Answer::Yes, Answer::Yes, Answer::No};

    QStringList units;
    double leftAtHalf = -1; // seconds, as the window said half-way through the first unit
    long long halfAt = -1;
    long long firstEndedAt = -1;
    QObject::connect(&rig.window, &Send2ComLogic::changed, [&] {
        const ProgrammingView& view = rig.window.view();
        if (!view.transferRunning)
            return;
        if (units.isEmpty() || units.last() != view.UnitText)
            units << view.UnitText;
        const long long now = rig.clock.now().count();
        if (halfAt < 0 && view.progressTotal == 223 && view.progressDone == 111) {
            const auto left = QRegularExpression(QStringLiteral("about (\\d+):(\\d\\d) left"))
                                  .match(view.ProgressText);
            ASSERT_TRUE(left.hasMatch()) << view.ProgressText.toStdString();
            leftAtHalf = left.captured(1).toInt() * 60 + left.captured(2).toInt();
            halfAt = now;
        }
        if (firstEndedAt < 0 && view.progressDone == 223)
            firstEndedAt = now;
    });
    rig.program();

    EXPECT_EQ(units, (QStringList{"Unit 1 of this session", "Unit 2 of this session",
                                  "Unit 3 of this session"}));
    EXPECT_FALSE(rig.window.view().transferRunning);
    // The estimate half-way is the time the second half took, give or take a second.
    EXPECT_NEAR(leftAtHalf, (firstEndedAt - halfAt) / 1000.0, 1.0);

    QFile file(QString::fromStdString(saved.string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString sha256 =
        QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
    const QStringList lines = rig.log.tail().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    for (const QString& line : lines) {
        const QStringList fields = line.split(u'\t');
        ASSERT_EQ(fields.size(), 11) << line.toStdString();
        EXPECT_EQ(fields.mid(2, 4),
                  (QStringList{"sha256=" + sha256, "port=COM1", "device=", "type=2 Enhanced"}));
        EXPECT_EQ(fields[6], "version=2");
    }
    EXPECT_TRUE(lines[1].contains("\twrites=223/223\t"));
    EXPECT_TRUE(lines[1].endsWith("\tresult=programmed\tmessage="));
    EXPECT_TRUE(lines[2].contains("\twrites=10/223\t"));
    EXPECT_TRUE(lines[2].endsWith("\tresult=not acknowledged\tmessage=Check connection, port "
                                  "number, macro mode (the keyboard is only partly programmed)"));
}

// A log that cannot be written is said once, with the reason, and the units
// are programmed all the same.
TEST(UnitRecord, ALogThatCannotBeWrittenIsSaidOnce)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("state"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder would be
    KeyboardRig rig(2);
    rig.log = ProgrammingLog(dir.filePath("state/morvaw/programming.log"));
    rig.dialogs.answers = {Answer::Yes, Answer::No};
    rig.program();
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_TRUE(rig.dialogs.messages[0].text.startsWith(
        "The programming log could not be written to\n" + rig.log.path() + "\n\nNot a directory"))
        << rig.dialogs.messages[0].text.toStdString();
    EXPECT_EQ(rig.window.view().UnitText, "Unit 2 of this session");
    EXPECT_TRUE(rig.device.complete());
}

// A keyboard that does not answer is not logged with the version the one
// before it gave, nor as detected when only the first one was asked its type.
TEST(UnitRecord, EachUnitKeepsOnlyWhatItsOwnKeyboardAnswered)
{
    TransferMeter meter;
    TransferProgress connecting;
    connecting.phase = TransferPhase::Connecting;
    connecting.versionAnswered = 2;
    meter.startUnit({}, true);
    meter.update(connecting, {});
    const UnitContext detecting{{}, {}, "COM1", WithKeyboardType(0, 3)};
    TransferOutcome enhanced;
    enhanced.kbdFlags = WithKeyboardType(0, 2);
    EXPECT_TRUE(LogEntryFor(detecting, meter, enhanced, {}, {}).typeDetected);
    meter.startUnit({}, true);
    EXPECT_FALSE(meter.versionAnswered());
    EXPECT_FALSE(LogEntryFor(detecting, meter, enhanced, {}, {}).typeDetected);
}
