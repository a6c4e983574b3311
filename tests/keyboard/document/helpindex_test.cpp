#include "helpindex.h"
#include "qtuserdialogs.h"

#include <gtest/gtest.h>

using namespace morvaw;

TEST(HelpIndex, NamesAPageForEachRequest)
{
    const HelpIndex index = HelpIndex::parse("# pages\n"
                                             "contents   start.html\n"
                                             "HelpOnHelp help.html   # how to read help\n"
                                             "1020 file.html\n"
                                             "\n"
                                             "1080\n"
                                             "garbage words here\n");
    EXPECT_EQ(index.pageFor(HelpCommand::Contents, 0), "start.html");
    EXPECT_EQ(index.pageFor(HelpCommand::HelpOnHelp, 0), "help.html");
    EXPECT_EQ(index.pageFor(HelpCommand::Context, 1020), "file.html");
    EXPECT_EQ(index.pageFor(HelpCommand::Context, 1080), "start.html"); // unknown: the contents
    EXPECT_EQ(index.pageFor(HelpCommand::Quit, 0), "");
    EXPECT_FALSE(HelpIndex::read("/nonexistent/MORVA.HLP").has_value());
}

TEST(QtUserDialogs, LayoutFilterBecomesQtNameFilters)
{
    EXPECT_EQ(QtUserDialogs::QtNameFilters("KBD layout files (*.KBD)|*.kbd|All files (*.*)|*.*"),
              (QStringList{"KBD layout files (*.kbd)", "All files (*)"}));
}
