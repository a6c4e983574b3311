#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvaw {

class LanguageTables;
class UserDialogs;

// True when a and b agree over the shorter one's length and the longer one
// goes on with spaces only.
[[nodiscard]] bool StrCompare(std::string_view a, std::string_view b);

// A byte as the scan table pages show it: two upper-case hexadecimal digits.
[[nodiscard]] QString HexByteText(std::uint8_t value);

// The "Scan code" and "Mask code" boxes' rule for what was typed: upper case,
// two digits ("a" is "0A", "ABC" is "AB"), and "00" for anything that is not
// hexadecimal.
[[nodiscard]] QString NormalisedHexEntry(const QString& text);

// The "Table of scan codes" and "Edit scan code:" pages: the list of named
// keys, the record being edited with its mask controls, and the changes to the
// scan table, which the language tables make in both copies and write to the
// language's STC file.
class ScanTableEditor
{
public:
    static constexpr const char* kOutOfSpace =
        "Out of space in the Scan Table. Remove some existed additional Records";
    static constexpr const char* kCannotClear =
        "Unable to remove default key. Use changeable values - indexes after 133.";

    // The edit page's boxes (Text1).
    enum Box { KeyNameBox = 0, ScanCodeBox = 1, MaskCodeBox = 2 };
    // The mask controls: check boxes for bits 0, 1, 5, 6, 7 (Check2 of that
    // index); option buttons for bits 2..4 (Option1 0..2), and a hidden one
    // for none of them.
    enum MaskOption { MaskCtrl = 0, MaskAlt = 1, MaskShift = 2, NoMaskOption = 3 };

    ScanTableEditor(LanguageTables& tables, UserDialogs& dialogs);

    // Listing: records 1 up to the last named one, blank ones included.
    void Refill();
    void SelectFirst();
    // A click on the list; -1 (nothing selected) keeps the last selection.
    void ListTable_Click(int row);

    [[nodiscard]] const std::vector<std::string>& Names() const { return m_names; }
    [[nodiscard]] int ListIndex() const { return m_listIndex; }
    // The selected record's number, 0 when the list is empty.
    [[nodiscard]] int SelectedRecord() const;
    // "Name:  ", "Seq1:  ", "Seq2:  ", "Index: " and the selected record's values.
    [[nodiscard]] std::array<std::string, 4> InfoLabels() const;

    // Opens the selected record on the edit page.
    void Edit();
    void Text1_Change(Box box, const QString& text);
    // Enter in the scan or mask code box.
    void Text1_Enter(Box box);
    [[nodiscard]] const QString& Text1(Box box) const;

    void Check2_Click(int bit);
    // A click on a mask option; a second click on the selected one clears it.
    void toggleMaskOption(MaskOption option);
    [[nodiscard]] bool MaskCheck(int bit) const { return (m_maskChecks >> bit) & 1; }
    [[nodiscard]] MaskOption SelectedMaskOption() const { return m_maskOption; }
    [[nodiscard]] std::uint8_t EditMask() const { return m_editMask; }
    void SetMaskCode(std::uint8_t maskCode);

    // The edit page's Ok: the record of that name, else the first free one.
    // A new name that a definition could not hold as itself is refused with
    // the reason; false then, and the edit page stays.
    [[nodiscard]] bool Store();
    // Clears the selected record unless it is one of the protected ones.
    void Clear();

    // Writes the STC table to the language's file when it changed; a failure
    // is reported.
    void SaveIfChanged(int language);

private:
    void SetMaskBit();
    // Why a name no record has yet cannot be a new record; empty when it can.
    [[nodiscard]] QString newNameProblem(std::string_view name) const;

    LanguageTables& m_tables;
    UserDialogs& m_dialogs;
    std::vector<std::string> m_names;
    int m_listIndex = -1;
    std::array<QString, 3> m_text;
    std::uint8_t m_editMask = 0;
    std::uint8_t m_maskChecks = 0; // bits 0, 1, 5, 6, 7
    MaskOption m_maskOption = NoMaskOption;
};

} // namespace morvaw
