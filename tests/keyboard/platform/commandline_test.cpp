#include "commandline.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

using namespace morvaw;

namespace {

CommandLineOptions Read(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "morvaw");
    return ReadCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

} // namespace

// The modes that work on files take their files and options in any order;
// what does not fit together is refused with a reason, never half done.
TEST(CommandLine, LayoutModesTakeTheirFilesAndRefuseWhatDoesNotFit)
{
    const CommandLineOptions legends =
        Read({"--size", "16.5", "--legends", "a.KBD", "--output", "a.pdf"});
    EXPECT_TRUE(legends.error.isEmpty()) << legends.error.toStdString();
    EXPECT_EQ(legends.layoutMode, CommandLineOptions::LayoutMode::Legends);
    EXPECT_EQ(legends.layoutFiles, QStringList{"a.KBD"});
    EXPECT_EQ(legends.output, "a.pdf");
    EXPECT_EQ(legends.legendSize, 16.5);

    EXPECT_EQ(Read({"--export=a.KBD", "--output=a.json"}).output, "a.json"); // as --port=COM2
    const CommandLineOptions diff = Read({"--diff", "a.KBD", "b.KBD"});
    EXPECT_TRUE(diff.error.isEmpty());
    EXPECT_EQ(diff.layoutFiles, (QStringList{"a.KBD", "b.KBD"}));

    const std::pair<std::vector<const char*>, const char*> refused[] = {
        {{"--legends", "a.KBD"}, "--legends needs --output"},
        {{"--import", "a.json"}, "--import needs --output"},
        {{"--diff", "a.KBD"}, "--diff needs the names of two files"},
        {{"--export", "a.KBD", "--diff", "a.KBD", "b.KBD"}, "only one of"},
        {{"--legends", "a.KBD", "--output", "a.pdf", "--size", "big"}, "not \"big\""},
        {{"--export", "a.KBD", "--size", "12"}, "--size goes with --legends"},
        {{"--diff", "a.KBD", "b.KBD", "--output", "c"}, "--diff writes no file"},
        {{"--output", "a.KBD"}, "--output and --size go with"},
        {{"--export", "a.KBD", "--output", ""}, "--output needs the name of a file"},
        // A misspelt option or a second mode is never skipped ("--unit 5").
        {{"--program", "a.KBD", "--port", "COM2", "--unit", "5"}, "unknown option \"--unit\""},
        {{"--chek", "a.KBD"}, "unknown option"},
        {{"--export", "a.KBD", "b.KBD"}, "\"b.KBD\" is not an option here"},
        {{"--list-ports", "--check", "a.KBD"}, "only one of"},
        {{"--keyboard-device", ""}, "--keyboard-device needs the path"},
        {{"--keyboard-device="}, "--keyboard-device needs the path"},
        {{"--program", "a.KBD", "--port", "COM1", "--keyboard-device", "k"}, "goes with the"},
    };
    for (const auto& [arguments, reason] : refused)
        EXPECT_TRUE(Read(arguments).error.contains(QLatin1String(reason)))
            << reason << ": " << Read(arguments).error.toStdString();
    // Qt's own options and the window's stay the window's.
    EXPECT_EQ(Read({"-platform", "offscreen"}).layoutMode, CommandLineOptions::LayoutMode::None);
    EXPECT_TRUE(Read({"-platform", "offscreen", "--style=fusion"}).error.isEmpty());
    EXPECT_TRUE(Read({"--help"}).help && Read({"--help"}).error.isEmpty());
    // The device given for the keyboard port is no layout to open.
    EXPECT_EQ(LayoutsNamedForTheWindow({"morvaw", "--keyboard-device", "/dev/input/event3",
                                        "--keyboard-device=/dev/x", "shop.KBD"}),
              QStringList{"shop.KBD"});
}

// "--export shop.KBD --output shop.KBD" would replace the layout: refused
// under any name or link; a new output is fine.
TEST(CommandLine, AnOutputThatIsTheFileReadIsRefused)
{
    QTemporaryDir folder;
    const QByteArray layout = QFile::encodeName(folder.filePath("shop.KBD"));
    const QByteArray link = layout + ".link", fresh = layout + ".json";
    ASSERT_TRUE(QFile(layout).open(QIODevice::WriteOnly) && QFile::link(layout, link));
    for (const QByteArray& output : {layout, link, folder.path().toUtf8() + "/./shop.KBD"})
        EXPECT_TRUE(OutputReplacesInput(Read({"--export", layout, "--output", output}))
                        .contains("names the file that is read"));
    EXPECT_EQ(OutputReplacesInput(Read({"--legends", layout, "--output", fresh})), "");
}
