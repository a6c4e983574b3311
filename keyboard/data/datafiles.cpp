#include "datafiles.h"

#include "datasource.h"
#include "definitiontext.h"
#include "keyboardtables.h"
#include "layoutmodel.h"
#include "tabletext.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <vector>

namespace morvaw {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kButtonBase = 300;
constexpr int kProtectedRecords = 140;

// Names compare as the programming code compares them: case and trailing blanks ignored.
std::string nameKey(std::string_view name)
{
    std::string key = AsciiLower(name);
    while (!key.empty() && key.back() == ' ')
        key.pop_back();
    return key;
}

// A language's scan table as the sources describe it, with added records kept apart.
struct NamedTable
{
    ScanTableArray records{};
    std::vector<SourceScanRecord> added;
};

NamedTable usTable(const DataSource& source)
{
    NamedTable t;
    for (const SourceScanRecord& r : source.scanTable)
        t.records[static_cast<std::size_t>(r.record)] = r.scan;
    return t;
}

NamedTable patchedTable(const DataSource& source, const SourcePatchTable& patches)
{
    NamedTable t = usTable(source);
    std::map<int, std::string> patched;
    for (const SourceScanRecord& p : patches.patches) {
        if (p.record == 0) {
            t.added.push_back(p);
            continue;
        }
        if (const auto [it, fresh] = patched.emplace(p.record, p.where); !fresh)
            throw DataSourceError(p.where + ": record " + std::to_string(p.record) +
                                  " is already patched at " + it->second);
        t.records[static_cast<std::size_t>(p.record)] = p.scan;
    }
    return t;
}

void checkUniqueNames(const NamedTable& t, const std::string& label)
{
    std::map<std::string, std::string> seen;
    const auto note = [&](const ScanRecord& r, const std::string& where) {
        if (IsBlankText(r.Name.view()))
            return;
        // Byte 249 frames definition tokens: a name holding it would split its token.
        if (r.Name.view().find(TokenMark) != std::string_view::npos)
            throw DataSourceError(label + ": the name of " + where +
                                  " holds byte 249, the token mark");
        if (const auto [it, fresh] = seen.emplace(nameKey(r.Name.view()), where); !fresh)
            throw DataSourceError(label + ": the name \"" + it->first + "\" of " + where +
                                  " is already used by " + it->second);
    };
    for (std::size_t i = 1; i <= kProtectedRecords; ++i)
        note(t.records[i], "record " + std::to_string(i));
    for (const SourceScanRecord& a : t.added)
        note(a.scan, a.where);
}

int recordOf(const ScanTableArray& table, std::string_view name, const std::string& where)
{
    for (std::size_t i = 1; i <= kProtectedRecords; ++i) {
        if (nameKey(table[i].Name.view()) == nameKey(name))
            return static_cast<int>(i);
    }
    throw DataSourceError(where + ": no record is named \"" + std::string(name) + "\"");
}

Bytes scanBytes(const ScanRecord* first, std::size_t count)
{
    Bytes out;
    for (std::size_t i = 0; i < count; ++i) {
        const auto b = ScanRecordBytes(first[i]);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

Bytes byteTableBytes(const ByteTable& table)
{
    return Bytes(table.begin() + 1, table.end());
}

void put16(Bytes& out, int value)
{
    const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

Bytes captionPatchBytes(const std::vector<SourceCaptionPatch>& patches, const ScanTableArray& table)
{
    Bytes out;
    for (const SourceCaptionPatch& p : patches) {
        out.push_back(p.cap);
        out.push_back(p.shiftCap);
        put16(out, p.button - kButtonBase);
        put16(out, p.index2);
        put16(out, p.assoc1.empty() ? 0 : recordOf(table, p.assoc1, p.where));
        put16(out, p.assoc2.empty() ? 0 : recordOf(table, p.assoc2, p.where));
    }
    return out;
}

struct ButtonTables
{
    ByteTable assoc{};
    ByteTable caps{}; // caption with Caps Lock on
    ByteTable cap{};
    ByteTable shiftCap{};
};

bool isAsciiLetter(std::uint8_t c)
{
    return c >= 'a' && c <= 'z';
}

std::uint8_t singleCharacter(const ScanRecord& r, const std::string& where)
{
    if (SignificantLength(r.Name.view()) != 1)
        throw DataSourceError(where + ": a key captioned from the tables needs a record "
                                      "named by one character");
    return r.Name[0];
}

ButtonTables buttonTables(const DataSource& source, const ScanTableArray& us)
{
    ButtonTables t;
    std::map<int, std::string> used;
    const auto assign = [&](int entry, std::string_view name, const std::string& where) {
        if (const auto [it, fresh] = used.emplace(entry, where); !fresh)
            throw DataSourceError(where + ": ASSOC1.BIN entry " + std::to_string(entry) +
                                  " is already used by " + it->second);
        t.assoc[static_cast<std::size_t>(entry)] =
            static_cast<std::uint8_t>(recordOf(us, name, where));
    };
    for (const SourceKey& key : source.keys) {
        const int entry = key.button - kButtonBase;
        assign(entry, key.record, key.where);
        if (key.shiftEntry != 0)
            assign(key.shiftEntry, key.shiftRecord, key.where);
        if (key.numLockEntry != 0)
            assign(key.numLockEntry, key.numLockRecord, key.where);
        if (!key.tableCaption)
            continue;
        const auto e = static_cast<std::size_t>(entry);
        const std::uint8_t c = singleCharacter(us[t.assoc[e]], key.where);
        t.cap[e] = c;
        if (key.shiftEntry != 0)
            t.shiftCap[e] =
                singleCharacter(us[t.assoc[static_cast<std::size_t>(key.shiftEntry)]], key.where);
        else if (isAsciiLetter(c))
            t.shiftCap[e] = static_cast<std::uint8_t>(c - 'a' + 'A');
        else
            throw DataSourceError(key.where + ": a captioned key that is not a letter needs a "
                                              "shifted record");
        t.caps[e] = isAsciiLetter(c) ? t.shiftCap[e] : c;
    }
    return t;
}

void writeFile(const std::filesystem::path& file, const Bytes& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw DataSourceError(file.string() + ": cannot be written");
}

const SourcePatchTable& patchTableOf(const DataSource& source, int language)
{
    for (const SourcePatchTable& t : source.patchTables) {
        if (t.language == language)
            return t;
    }
    throw DataSourceError("no scan patches for language " + std::to_string(language));
}

// The STC file starts as the language's own table, as the configurator builds
// it from the files just written, plus the protected records 139 and 140.
void writeStcFiles(const DataSource& source, const std::filesystem::path& dir)
{
    constexpr std::array<int, 3> languages{Language::USA, Language::UK, Language::Spain};
    for (int language : languages)
        std::filesystem::remove(dir / LanguageStcFile(language));
    for (int language : languages) {
        KeyboardTables tables;
        LoadStartupTables(tables, dir);
        LoadLanguageTables(tables, dir, language);
        if (language != Language::USA) {
            for (const SourceScanRecord& p : patchTableOf(source, language).patches) {
                if (tables.ScanTable[static_cast<std::size_t>(p.record)] != p.scan)
                    throw DataSourceError(p.where +
                                          ": the configurator does not put this "
                                          "patch on record " +
                                          std::to_string(p.record));
            }
        }
        ScanTableArray stc = tables.ScanTable;
        for (std::size_t i = kReloadScanRecords + 1; i < stc.size(); ++i)
            stc[i] = i <= kProtectedRecords ? source.scanTable[i - 1].scan : ScanRecord{};
        writeFile(dir / LanguageStcFile(language), scanBytes(&stc[1], kScanRecords));
    }
}

} // namespace

void WriteDataFiles(const DataSource& source, const std::filesystem::path& dir)
{
    const NamedTable us = usTable(source);
    checkUniqueNames(us, "scantable.txt");
    std::map<int, NamedTable> languageTables;
    for (const SourcePatchTable& patches : source.patchTables) {
        languageTables[patches.language] = patchedTable(source, patches);
        checkUniqueNames(languageTables[patches.language], patches.dataFile);
    }

    const ButtonTables buttons = buttonTables(source, us.records);
    std::filesystem::create_directories(dir);
    writeFile(dir / "ASSOC1.BIN", byteTableBytes(buttons.assoc));
    writeFile(dir / "SCNTBL.BIN", scanBytes(&us.records[1], kReloadScanRecords));
    writeFile(dir / "KCCCAPS.BIN", byteTableBytes(buttons.caps));
    writeFile(dir / "KCCAPT.BIN", byteTableBytes(buttons.cap));
    writeFile(dir / "KCSCAPS.BIN", byteTableBytes(buttons.shiftCap));
    writeFile(dir / "UKCAPT.BIN",
              captionPatchBytes(source.ukCaptions, languageTables[Language::UK].records));
    writeFile(dir / "SPCAPT.BIN",
              captionPatchBytes(source.spanishCaptions, languageTables[Language::Spain].records));
    for (const SourcePatchTable& patches : source.patchTables) {
        Bytes bytes;
        for (const SourceScanRecord& p : patches.patches) {
            const auto b = ScanRecordBytes(p.scan);
            bytes.insert(bytes.end(), b.begin(), b.end());
        }
        writeFile(dir / patches.dataFile, bytes);
    }
    writeStcFiles(source, dir);
}

} // namespace morvaw
