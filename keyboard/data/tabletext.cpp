#include "tabletext.h"

#include "displaytext.h"

#include <QString>

#include <array>
#include <charconv>
#include <fstream>
#include <string_view>

namespace morvaw {

namespace {

struct MaskBit
{
    std::string_view word;
    std::uint8_t value;
};

constexpr std::array<MaskBit, 8> kMaskBits{{
    {"Repeat", 1},
    {"Reserved", 2},
    {"Ctrl", 4},
    {"Alt", 8},
    {"Shift", 16},
    {"Cur", 32},
    {"ForceNum", 64},
    {"Special", 128},
}};

std::vector<std::string> splitFields(std::string_view line, std::size_t maxFields)
{
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && line[pos] == ' ')
            ++pos;
        if (pos >= line.size())
            break;
        if (fields.size() + 1 == maxFields) {
            std::string_view rest = line.substr(pos);
            while (!rest.empty() && rest.back() == ' ')
                rest.remove_suffix(1);
            fields.emplace_back(rest);
            break;
        }
        const std::size_t end = line.find("  ", pos);
        const std::size_t stop = end == std::string_view::npos ? line.size() : end;
        std::string_view field = line.substr(pos, stop - pos);
        while (!field.empty() && field.back() == ' ')
            field.remove_suffix(1);
        fields.emplace_back(field);
        pos = stop;
    }
    return fields;
}

} // namespace

void TableRow::fail(const std::string& what) const
{
    throw DataSourceError(file + ":" + std::to_string(line) + ": " + what);
}

std::vector<TableRow> ReadTableRows(const std::filesystem::path& file, std::size_t minFields,
                                    std::size_t maxFields)
{
    std::ifstream in(file);
    if (!in)
        throw DataSourceError(file.string() + ": cannot be read");
    std::vector<TableRow> rows;
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text.find('\t') != std::string::npos)
            throw DataSourceError(file.string() + ":" + std::to_string(line) +
                                  ": tabs are not allowed; separate fields with spaces");
        const auto first = text.find_first_not_of(' ');
        if (first == std::string::npos || text[first] == '#')
            continue;
        TableRow row{file.filename().string(), line, splitFields(text, maxFields)};
        if (row.fields.size() < minFields)
            row.fail("expected at least " + std::to_string(minFields) + " fields, found " +
                     std::to_string(row.fields.size()));
        rows.push_back(std::move(row));
    }
    return rows;
}

int DecimalField(const TableRow& row, std::size_t field, int low, int high)
{
    const std::string& text = row.fields.at(field);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high)
        row.fail("\"" + text + "\" is not a number from " + std::to_string(low) + " to " +
                 std::to_string(high));
    return value;
}

std::uint8_t HexByteField(const TableRow& row, std::size_t field)
{
    std::string_view text = row.fields.at(field);
    if (text.substr(0, 2) == "0x")
        text.remove_prefix(2);
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || text.size() > 2 || error != std::errc{} || end != text.data() + text.size())
        row.fail("\"" + row.fields.at(field) + "\" is not a hexadecimal byte");
    return static_cast<std::uint8_t>(value);
}

std::uint8_t MaskField(const TableRow& row, std::size_t field)
{
    const std::string& text = row.fields.at(field);
    if (text == "-")
        return 0;
    if (text.substr(0, 2) == "0x")
        return HexByteField(row, field);
    std::uint8_t mask = 0;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t plus = rest.find('+');
        const std::string_view word = rest.substr(0, plus);
        bool known = false;
        for (const MaskBit& bit : kMaskBits) {
            if (bit.word == word) {
                mask |= bit.value;
                known = true;
            }
        }
        if (!known)
            row.fail("unknown mask bit \"" + std::string(word) + "\"");
        rest = plus == std::string_view::npos ? std::string_view{} : rest.substr(plus + 1);
    }
    return mask;
}

std::string BytesField(const TableRow& row, std::size_t field, std::size_t maxLength)
{
    const std::string& text = row.fields.at(field);
    const QString chars = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    std::string bytes;
    for (const QChar ch : chars) {
        const int b = DisplayCharToByte(ch);
        if (b < 0)
            row.fail("\"" + text + "\" holds a character that has no Windows-1252 byte");
        bytes.push_back(static_cast<char>(b));
    }
    if (bytes.empty() || bytes.size() > maxLength)
        row.fail("\"" + text + "\" must be 1 to " + std::to_string(maxLength) + " characters");
    return bytes;
}

} // namespace morvaw
