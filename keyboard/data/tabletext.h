#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace morvaw {

// A fault in a data source, reported as "file:line: what" so that the build
// points at the line to mend.
class DataSourceError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One line of a source table: its fields, where it came from.
struct TableRow
{
    std::string file;
    int line = 0;
    std::vector<std::string> fields;

    [[noreturn]] void fail(const std::string& what) const;
};

// Reads a text table: lines starting with '#' and blank lines are skipped;
// fields are separated by two or more spaces (names may hold single spaces);
// the last of maxFields fields takes the rest of the line, comment included.
// A row with fewer than minFields fields is an error.
[[nodiscard]] std::vector<TableRow> ReadTableRows(const std::filesystem::path& file,
                                                  std::size_t minFields, std::size_t maxFields);

// Field readers; each reports a bad field as an error of its row.
[[nodiscard]] int DecimalField(const TableRow& row, std::size_t field, int low, int high);
[[nodiscard]] std::uint8_t HexByteField(const TableRow& row, std::size_t field);
// Mask bits written as "-", "Shift", "Ctrl+Alt", "0xAB".
[[nodiscard]] std::uint8_t MaskField(const TableRow& row, std::size_t field);
// Text written in UTF-8, as the configurator's bytes: Windows-1252, and the
// code page 437 pictures for the arrows and line pieces.
[[nodiscard]] std::string BytesField(const TableRow& row, std::size_t field, std::size_t maxLength);

} // namespace morvaw
