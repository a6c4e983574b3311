#pragma once

#include "definitionline.h"
#include "keytoken.h"
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

struct ConfiguratorState;
class UserDialogs;

// What the key editor shows of the modifier state: the picture keys' bitmaps,
// the on-screen buttons' captions, and whether the "<" key stands beside a
// narrow left Shift.
struct ShiftDisplay
{
    std::array<std::string, OnScreen::kPictureCount> pictures;
    std::array<std::string, OnScreen::kLastButton - OnScreen::kFirstButton + 1> captions;
    bool lessKeyShown = false;

    [[nodiscard]] const std::string& caption(int n) const
    {
        return captions.at(static_cast<std::size_t>(n - OnScreen::kFirstButton));
    }
};

// KeyModeForm without its widgets: the work copy of one key (or of the four
// MSR keys), the input lines' token rules, the pages, the modifier selection,
// the on-screen keyboard and the scan table pages. The window forwards its
// events here and shows what these functions report.
class KeyModeLogic
{
public:
    enum Page { PageLines = 0, PageTable = 1, PageEditScan = 2 };
    enum FillOutResult { CancelKey = 0, AcceptKey = 1, CancelMsr = 3, AcceptMsr = 4 };
    // The contr buttons by index.
    enum Control {
        TableOk = 0,
        TableCancel = 1,
        EditOk = 2,
        EditCancel = 3,
        TableEdit = 4,
        TableClear = 5,
        KeyOk = 6,
        KeyCancel = 7,
        KeySpecial = 8,
        KeyDel = 9,
        MsrDel = 10,
        MsrSpecial = 11,
        MsrCancel = 12,
        MsrOk = 13,
        ControlCount
    };
    // OpShft: at most one modifier is selected.
    enum Modifier { ModCtrl = 0, ModAlt = 1, ModShift = 2, ModNone = 3 };
    // The function-shift buttons of the table page and their scan records.
    enum FunctionButton { Func1Button = 0, Func2Button = 1, FuncToggleButton = 2 };
    static constexpr std::array<int, 3> kFunctionRecords = {126, 127, 133};
    static constexpr std::uint8_t kMsrAccepted = 2;
    static constexpr std::uint8_t kMsrCancelled = 3;

    KeyModeLogic(ConfiguratorState& state, UserDialogs& dialogs);

    // Shows the editor for WorkKey (or, in MSR mode, for MsrKeys): the first
    // opening loads the form, every opening activates it.
    void Open();
    // The window's close box: hides without committing anything.
    void Form_Unload();
    void FillOutRec(int result);
    [[nodiscard]] bool IsOpen() const { return m_open; }

    // Input lines (index = line number).
    void GotFocus(int line);
    void KeyPress(int keyAscii);
    void AddChar(std::string_view name, std::uint8_t scanCode, std::uint8_t mask);
    [[nodiscard]] std::string PrintInpLine(int line) const;
    // Token text for the key last given to AddChar, with its modifier prefixes.
    [[nodiscard]] std::string fnSpecial() const;
    // A line's used length beside it: "57 of 60", or "Line full: 57 of 60" once
    // it refused a token for lack of room.
    [[nodiscard]] std::string LengthNote(int line) const;
    // Whether a keystroke or a key was just refused, once: the window beeps.
    [[nodiscard]] bool TakeBeep() { return std::exchange(m_beep, false); }

    // Buttons and other controls.
    void contr_Click(int index);
    void Function_Click(int button);
    void Btn_Click(int n);
    void BtnPict_MouseDown(int i, Qt::MouseButton button);
    void OpShft_Click(int i);
    void Check1_Click(int i, bool checked);
    void ListTable_Click(int row) { m_table.ListTable_Click(row); }
    void ListTable_DblClick() { contr_Click(TableOk); }

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
    [[nodiscard]] DefinitionRef line(int k);
    [[nodiscard]] OnScreen::ShiftState shifts() const;
    [[nodiscard]] bool shiftInEffect(bool shiftSet) const;

    ConfiguratorState& m_state;
    UserDialogs& m_dialogs;
    ScanTableEditor m_table;
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
