#pragma once

#include "definitionline.h"
#include "keytoken.h"
#include "layoutmodel.h"
#include "onscreenkeyboard.h"
#include "scantableeditor.h"

#include <QString>
#include <Qt>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace morvaw {

class LanguageTables;
class UserDialogs;

// What the key editor shows of the modifier state: the picture keys' bitmaps,
// the on-screen buttons' captions, and whether the "<" key stands beside a
// narrow left Shift.
struct ShiftDisplay
{
    std::array<std::string, OnScreen::kPictureCount> pictures;
    std::array<std::string, OnScreen::kLastButton - OnScreen::kFirstButton + 1> captions;
    // Whether each modifier picture's switch is on (for screen readers).
    std::array<bool, OnScreen::kPictureCount> switchedOn{};
    bool lessKeyShown = false;

    [[nodiscard]] const std::string& caption(int n) const
    {
        return captions.at(static_cast<std::size_t>(n - OnScreen::kFirstButton));
    }
};

// KeyModeForm without its widgets: the work copy of one key (or of the four
// MSR lines), the input lines' token rules, the pages, the modifier
// selection, the on-screen keyboard and the scan table pages. It is opened
// with a copy and hands the edited value back on Ok, nothing on Cancel; the
// window forwards its events here and shows what these functions report.
class KeyModeLogic
{
public:
    enum Page { PageLines = 0, PageTable = 1, PageEditScan = 2 };
    // OpShft: at most one modifier is selected.
    enum Modifier { ModCtrl = 0, ModAlt = 1, ModShift = 2, ModNone = 3 };
    // The function-shift buttons of the table page and their scan records.
    enum FunctionButton { Func1Button = 0, Func2Button = 1, FuncToggleButton = 2 };
    static constexpr std::array<int, 3> kFunctionRecords = {126, 127, 133};

    KeyModeLogic(LanguageTables& tables, UserDialogs& dialogs);

    // "Define Key" for a copy of one key; the language picks the on-screen
    // keyboard and the STC file. The first opening loads the form, every
    // opening activates it.
    void openForKey(const KeyRecord& key, std::uint8_t language);
    // "MSR Parameters" for the four MSR lines, held in definitions 0..3.
    void openForMsr(const MsrLines& lines, std::uint8_t language);
    // The window's close box: hides without handing anything back.
    void closeWindow();
    [[nodiscard]] bool IsOpen() const { return m_open; }
    // What Ok handed back, once: the edited key, with its own fourth
    // definition and every carried field, or the four MSR lines.
    [[nodiscard]] std::optional<KeyRecord> takeAcceptedKey();
    [[nodiscard]] std::optional<MsrLines> takeAcceptedMsrLines();
    // What Ok would hand back now, while it would take it without a word:
    // not while a changed scan table waits for Ok to write it (which warns
    // when it cannot). The key in Define Key, the four lines in MSR mode;
    // nothing in the other mode or when closed.
    [[nodiscard]] std::optional<KeyRecord> unconfirmedKey() const;
    [[nodiscard]] std::optional<MsrLines> unconfirmedMsrLines() const;
    // The copy being edited.
    [[nodiscard]] const KeyRecord& workKey() const { return m_work; }

    // Input lines (index = line number).
    void GotFocus(int line);
    void KeyPress(int keyAscii);
    void AddChar(std::string_view name, std::uint8_t scanCode, std::uint8_t mask);
    [[nodiscard]] std::string PrintInpLine(int line) const;
    // The definition a line edits, for the window to draw its tokens.
    [[nodiscard]] Definition LineDefinition(int line) const { return m_work.definition(line); }
    // Token text for the key last given to AddChar, with its modifier prefixes.
    [[nodiscard]] std::string fnSpecial() const;
    // A line's used length beside it: "57 of 60", or "Line full: 57 of 60" once
    // it refused a token for lack of room.
    [[nodiscard]] std::string LengthNote(int line) const;
    // Whether a keystroke or a key was just refused, once: the window beeps.
    [[nodiscard]] bool TakeBeep() { return std::exchange(m_beep, false); }

    // The buttons of the definition and MSR pages: Ok, Cancel, Special, Del.
    void accept();
    void cancel();
    void showScanTable();
    void deleteLastToken();
    // The table page: Ok (or a double click), Cancel, Edit, Clear, the
    // function-shift buttons and the list.
    void insertSelectedKey();
    void showDefinitionLines();
    void editScanRecord();
    void clearScanRecord();
    void makeFunctionShiftKey(FunctionButton button);
    void selectListRow(int row) { m_table.ListTable_Click(row); }
    // The edit page: Ok and Cancel.
    void storeScanRecord();
    void cancelScanEdit();
    // The on-screen keyboard: key n (Btn 301..400), the picture keys, the
    // modifier options, and the repeat boxes beside the definition lines.
    void pickOnScreenKey(int n);
    void pressPictureKey(OnScreen::Picture picture, Qt::MouseButton button);
    void toggleModifier(Modifier modifier);
    void setRepeat(int line, bool on);

    // What the window shows.
    [[nodiscard]] bool MsrMode() const;
    [[nodiscard]] QString Caption() const;
    [[nodiscard]] Page CurrentPage() const { return m_page; }
    [[nodiscard]] int LineCount() const;
    [[nodiscard]] int CurrentLine() const { return m_currentLine; }
    [[nodiscard]] Modifier SelectedModifier() const { return m_modifier; }
    [[nodiscard]] bool CapsLock() const { return m_capsLock; }
    [[nodiscard]] bool NumLock() const { return m_numLock; }
    [[nodiscard]] bool Rpt(int i) const;
    [[nodiscard]] ShiftDisplay DispShifts() const;
    // The line that should take the keyboard focus now, once.
    [[nodiscard]] std::optional<int> TakeFocusRequest();

    [[nodiscard]] ScanTableEditor& Table() { return m_table; }
    [[nodiscard]] const ScanTableEditor& Table() const { return m_table; }

private:
    void open(std::uint8_t language);
    // The four MSR lines of the work copy (its definitions 0..3).
    [[nodiscard]] MsrLines workMsrLines() const;
    void Form_Load();
    void Form_Activate();
    // The key last given to AddChar as a name and the modifiers its token gets.
    struct KeyToken
    {
        TokenModifiers modifiers;
        std::string name;
    };
    [[nodiscard]] KeyToken keyToken() const;
    void appendToken(std::string_view token);
    void removeLastToken();
    void insertRecord(int record);
    void close();
    // After every button: the STC file, when the table changed.
    void saveTable();
    [[nodiscard]] DefinitionRef line(int k);
    [[nodiscard]] OnScreen::ShiftState shifts() const;
    [[nodiscard]] bool shiftInEffect(bool shiftSet) const;

    LanguageTables& m_tables;
    UserDialogs& m_dialogs;
    ScanTableEditor m_table;
    KeyRecord m_work;
    bool m_msrMode = false;
    std::uint8_t m_language = 0;
    std::optional<KeyRecord> m_acceptedKey;
    std::optional<MsrLines> m_acceptedMsrLines;
    bool m_loaded = false;
    bool m_open = false;
    Page m_page = PageLines;
    int m_currentLine = 0;
    std::optional<int> m_focusRequest;
    int m_lastKeyCode = 0;
    int m_lastShift = 0;
    std::string m_lastKeyName;
    Modifier m_modifier = ModNone;
    bool m_capsLock = false;
    bool m_numLock = false;
    // Set while a digit-row key picked with Shift is inserted: it already
    // stands for its shifted character, so no "Sh" goes in front.
    bool m_digitRowShifted = false;
    // A line that refused a token for lack of room takes no other until one
    // is removed, so that a shorter token cannot slip in after the gap.
    std::array<bool, 4> m_lineFull{};
    bool m_beep = false;
};

} // namespace morvaw
