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

TEST(TableText, SplitsOnWideGapsSoNamesKeepTheirSpaces)
{
    const auto rows = ReadTableRows(tableFile("# comment\n\n"
                                              "97    Pad 0    52    -      keypad  zero, Ins\n"
                                              "  38  ◄─┘  1C  Cur+Special\n"),
                                    4, 5);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].line, 3);
    EXPECT_EQ(rows[0].fields,
              (std::vector<std::string>{"97", "Pad 0", "52", "-", "keypad  zero, Ins"}));
    EXPECT_EQ(BytesField(rows[0], 1, 7), "Pad 0");
    EXPECT_EQ(BytesField(rows[1], 1, 7), "\x11\xC4\xD9") << "code page 437 pictures";
    EXPECT_EQ(HexByteField(rows[1], 2), 0x1C);
    EXPECT_EQ(MaskField(rows[1], 3), 32 + 128);
    EXPECT_EQ(MaskField(rows[0], 3), 0);
}

TEST(TableText, ReportsBadFieldsWithFileAndLine)
{
    const auto rows = ReadTableRows(tableFile("# header\n"
                                              "7  Longname  1G  Shift+Bogus  ✓\n"),
                                    5, 5);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(errorOf([&] { (void)BytesField(rows[0], 1, 7); }).rfind("table.txt:2: ", 0), 0u);
    EXPECT_NE(errorOf([&] { (void)BytesField(rows[0], 1, 7); }).find("1 to 7"), std::string::npos);
    EXPECT_NE(errorOf([&] { (void)HexByteField(rows[0], 2); }).find("hexadecimal"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { (void)MaskField(rows[0], 3); }).find("Bogus"), std::string::npos);
    EXPECT_NE(errorOf([&] { (void)BytesField(rows[0], 4, 7); }).find("Windows-1252"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { (void)DecimalField(rows[0], 0, 8, 20); }).find("from 8 to 20"),
              std::string::npos);
    EXPECT_NE(errorOf([] { (void)ReadTableRows(tableFile("1  a\n"), 3, 4); }).find("table.txt:1"),
              std::string::npos);
    EXPECT_NE(errorOf([] { (void)ReadTableRows(tableFile("1\ta  1E  -\n"), 3, 4); }).find("tabs"),
              std::string::npos);
    EXPECT_NE(errorOf([] { (void)ReadTableRows("/nonexistent/table.txt", 1, 1); }), "no error");
}

} // namespace
