#include "tabletext.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

using namespace morvaw;

namespace {

std::filesystem::path tableFile(const std::string& text)
{
    const auto file = std::filesystem::path(::testing::TempDir()) / "table.txt";
    std::ofstream(file, std::ios::trunc) << text;
    return file;
}

std::string errorOf(const std::function<void()>& read)
{
    try {
        read();
    } catch (const DataSourceError& e) {
        return e.what();
    }
    return "no error";
}

// Reading the real tables (names with single spaces such as "Pad 0", the
// pictures, mask words) runs on every build and the shipped data tests check
// the result; here: every mistake stops the build with file, line and cause.
TEST(TableText, ReportsBadFieldsWithFileAndLine)
{
    const auto rows = ReadTableRows(tableFile("# header\n"
                                              "7  Longname  1G  Shift+Bogus  ✓\n"),
                                    5, 5);
    ASSERT_EQ(rows.size(), 1u);
    const TableRow& row = rows[0];
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { (void)BytesField(row, 1, 7); }, "table.txt:2: "},
        {[&] { (void)BytesField(row, 1, 7); }, "1 to 7"},
        {[&] { (void)HexByteField(row, 2); }, "hexadecimal"},
        {[&] { (void)MaskField(row, 3); }, "Bogus"},
        {[&] { (void)BytesField(row, 4, 7); }, "Windows-1252"},
        {[&] { (void)DecimalField(row, 0, 8, 20); }, "from 8 to 20"},
        {[] { (void)ReadTableRows(tableFile("1  a\n"), 3, 4); }, "table.txt:1"},
        {[] { (void)ReadTableRows(tableFile("1\ta  1E  -\n"), 3, 4); }, "tabs"},
        {[] { (void)ReadTableRows("/nonexistent/table.txt", 1, 1); }, "table.txt"},
    };
    for (const auto& [read, message] : cases)
        EXPECT_NE(errorOf(read).find(message), std::string::npos) << message;
}

} // namespace
