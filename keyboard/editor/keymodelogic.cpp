#include "keymodelogic.h"

#include "definitiontext.h"
#include "displaytext.h"
#include "keypictures.h"
#include "languagetables.h"
#include "userdialogs.h"

#include <algorithm>

namespace morvaw {

namespace {

constexpr int kDefineKeyLines = 3;
constexpr int kMsrLines = 4;
// The mask without its Ctrl, Alt and Shift bits.
constexpr std::uint8_t kWithoutModifiers = 227;
constexpr std::uint8_t kModifierBits = CtrlBit | AltBit | ShiftBit;

// The function-shift word a name makes the key, if any.
std::optional<std::string> functionWord(std::string_view name)
{
    if (name.starts_with("Func") && !(name.size() > 4 && (name[4] == '1' || name[4] == '2')))
        return "Func";
    for (std::string_view word : {"Func1", "Func2", "FnTgl"}) {
        if (name.starts_with(word))
            return std::string(word);
    }
    return std::nullopt;
}

} // namespace

KeyModeLogic::KeyModeLogic(LanguageTables& tables, UserDialogs& dialogs)
    : m_tables(tables), m_dialogs(dialogs), m_table(tables, dialogs)
{
}

// --- Opening and closing ---

void KeyModeLogic::openForKey(const KeyRecord& key, std::uint8_t language)
{
    m_msrMode = false;
    m_work = key;
    open(language);
}

void KeyModeLogic::openForMsr(const MsrLines& lines, std::uint8_t language)
{
    m_msrMode = true;
    for (std::size_t k = 0; k < lines.size(); ++k)
        m_work.setDefinition(static_cast<int>(k), lines[k]);
    open(language);
}

void KeyModeLogic::open(std::uint8_t language)
{
    m_language = language;
    m_acceptedKey.reset();
    m_acceptedMsrLines.reset();
    if (!m_loaded) {
        Form_Load();
        m_loaded = true;
    }
    Form_Activate();
    m_open = true;
}

void KeyModeLogic::Form_Load()
{
    m_page = PageLines;
    m_table.SetMaskCode(0);
    m_table.Refill();
    m_table.SelectFirst();
    m_currentLine = 0;
}

// Runs when the editor is opened, not when it becomes active again after a
// message box.
void KeyModeLogic::Form_Activate()
{
    m_page = PageLines;
    m_table.Refill();
    m_table.SelectFirst();
    m_currentLine = 0;
    m_focusRequest = 0;
    m_lineFull = {};
}

std::optional<KeyRecord> KeyModeLogic::takeAcceptedKey()
{
    return std::exchange(m_acceptedKey, std::nullopt);
}

std::optional<MsrLines> KeyModeLogic::takeAcceptedMsrLines()
{
    return std::exchange(m_acceptedMsrLines, std::nullopt);
}

std::optional<KeyRecord> KeyModeLogic::unconfirmedKey() const
{
    if (!m_open || m_msrMode || m_tables.isStcChanged())
        return std::nullopt;
    return m_work;
}

std::optional<MsrLines> KeyModeLogic::unconfirmedMsrLines() const
{
    if (!m_open || !m_msrMode || m_tables.isStcChanged())
        return std::nullopt;
    return workMsrLines();
}

MsrLines KeyModeLogic::workMsrLines() const
{
    MsrLines lines;
    for (std::size_t k = 0; k < lines.size(); ++k)
        lines[k] = m_work.definition(static_cast<int>(k));
    return lines;
}

void KeyModeLogic::closeWindow()
{
    close();
}

void KeyModeLogic::close()
{
    m_open = false;
    m_focusRequest.reset();
}

void KeyModeLogic::saveTable()
{
    m_table.SaveIfChanged(m_language);
}

// --- Input lines ---

DefinitionRef KeyModeLogic::line(int k)
{
    return {m_work.def(k), m_work.len(k)};
}

void KeyModeLogic::GotFocus(int lineIndex)
{
    // The current line outlives the focus, so on-screen keys add to it.
    if (lineIndex >= 0 && lineIndex < LineCount())
        m_currentLine = lineIndex;
}

void KeyModeLogic::KeyPress(int keyAscii)
{
    m_lastKeyName = keyAscii >= 0 && keyAscii <= 255 ? std::string(1, static_cast<char>(keyAscii))
                                                     : std::string();
    if (keyAscii == 8) {
        removeLastToken();
    } else if (const auto token = TypedToken(keyAscii, MsrMode())) {
        appendToken(*token);
    }
}

void KeyModeLogic::appendToken(std::string_view token)
{
    bool& full = m_lineFull.at(static_cast<std::size_t>(m_currentLine));
    if (full || AppendToken(line(m_currentLine), token) == LineEdit::NoRoom) {
        full = true;
        m_beep = true;
    }
}

void KeyModeLogic::removeLastToken()
{
    if (RemoveLastToken(line(m_currentLine)) == LineEdit::Changed)
        m_lineFull.at(static_cast<std::size_t>(m_currentLine)) = false;
}

std::string KeyModeLogic::LengthNote(int lineIndex) const
{
    const std::string used = UsedLengthText(m_work.len(lineIndex));
    return m_lineFull.at(static_cast<std::size_t>(lineIndex)) ? "Line full: " + used : used;
}

void KeyModeLogic::AddChar(std::string_view name, std::uint8_t scanCode, std::uint8_t mask)
{
    if (const auto word = functionWord(name)) {
        for (int k = 0; k < 4; ++k) {
            m_work.def(k).assign(k == 0 ? *word : std::string());
            m_work.len(k) = k == 0 ? static_cast<std::uint8_t>(word->size()) : 0;
        }
        m_page = PageLines;
        m_lastKeyCode = 0;
        m_lastShift = 0;
        m_lineFull = {};
    } else {
        m_lastKeyName = std::string(name);
        m_lastKeyCode = scanCode;
        m_lastShift = mask;
        // A token that would read back as another key or other modifiers (a
        // name from an older table file) is refused rather than written.
        const KeyToken key = keyToken();
        if (const std::string why = TokenReadBackProblem(key.modifiers, key.name); why.empty()) {
            appendToken(ComposeKeyToken(key.modifiers, key.name));
        } else {
            m_dialogs.warn(QStringLiteral("The key \"%1\" cannot be inserted: %2.")
                               .arg(ToDisplayText(key.name), ToDisplayText(why)),
                           QString::fromLatin1(kApplicationTitle));
        }
    }
    m_focusRequest = m_currentLine;
}

std::string KeyModeLogic::PrintInpLine(int lineIndex) const
{
    return InputLineText(m_work.def(lineIndex), m_work.len(lineIndex));
}

bool KeyModeLogic::shiftInEffect(bool shiftSet) const
{
    return !m_digitRowShifted && shiftSet != m_capsLock;
}

std::string KeyModeLogic::fnSpecial() const
{
    const KeyToken key = keyToken();
    return ComposeKeyToken(key.modifiers, key.name);
}

KeyModeLogic::KeyToken KeyModeLogic::keyToken() const
{
    FixedText<7> name;
    name.assign(m_lastKeyName);
    const auto scan = static_cast<std::uint8_t>(m_lastKeyCode);
    const auto mask = static_cast<std::uint8_t>(m_lastShift);
    const ScanTableArray& table = m_tables.tables().ScanTable;
    const auto find = [&](auto matches) -> const ScanRecord* {
        for (int r = 1; r <= kScanRecords; ++r) {
            const ScanRecord& rec = table[static_cast<std::size_t>(r)];
            if (rec.Name == name && rec.Seq1 == scan && matches(rec.Seq2))
                return &rec;
        }
        return nullptr;
    };
    const auto fromMask = [&](std::uint8_t bits) {
        return TokenModifiers{.ctrl = (bits & CtrlBit) != 0,
                              .shift = shiftInEffect((bits & ShiftBit) != 0),
                              .alt = (bits & AltBit) != 0};
    };

    // The record itself: its modifiers are the selected option's.
    if (const ScanRecord* rec = find([&](std::uint8_t seq2) { return seq2 == mask; })) {
        const TokenModifiers m{.ctrl = m_modifier == ModCtrl,
                               .shift = shiftInEffect(m_modifier == ModShift),
                               .alt = m_modifier == ModAlt};
        return {m, Trim(rec->Name.view())};
    }
    // The record with a modifier bit added to its plain mask.
    if (const ScanRecord* rec =
            find([&](std::uint8_t seq2) { return seq2 == (mask & kWithoutModifiers); }))
        return {fromMask(mask), Trim(rec->Name.view())};
    // A record that needs a modifier of its own ("!" is Shift + 1) with
    // another one added: the added one must not be lost.
    if (const ScanRecord* rec = find([&](std::uint8_t seq2) {
            return (seq2 & ~mask) == 0 && ((mask & ~seq2) & ~kModifierBits) == 0;
        }))
        return {fromMask(mask & ~rec->Seq2), Trim(rec->Name.view())};
    return {{}, Trim(name.view())};
}

// --- Buttons ---

void KeyModeLogic::insertRecord(int record)
{
    const ScanRecord& rec = m_tables.tables().ScanTable[static_cast<std::size_t>(record)];
    std::uint8_t mask = rec.Seq2;
    if (m_modifier != ModNone)
        mask |= static_cast<std::uint8_t>(1 << (m_modifier + 2));
    AddChar(rec.Name.view(), rec.Seq1, mask);
    m_page = PageLines;
}

void KeyModeLogic::accept()
{
    if (m_msrMode)
        m_acceptedMsrLines = workMsrLines();
    else
        m_acceptedKey = m_work;
    close();
    saveTable();
}

void KeyModeLogic::cancel()
{
    close();
    saveTable();
}

void KeyModeLogic::showScanTable()
{
    m_page = PageTable;
    saveTable();
}

void KeyModeLogic::deleteLastToken()
{
    removeLastToken();
    m_focusRequest = m_currentLine;
    saveTable();
}

void KeyModeLogic::insertSelectedKey()
{
    if (const int r = m_table.SelectedRecord())
        insertRecord(r);
    saveTable();
}

void KeyModeLogic::showDefinitionLines()
{
    m_page = PageLines;
    saveTable();
}

void KeyModeLogic::editScanRecord()
{
    if (m_table.SelectedRecord() != 0) {
        m_table.Edit();
        m_page = PageEditScan;
    }
    saveTable();
}

void KeyModeLogic::clearScanRecord()
{
    m_table.Clear();
    saveTable();
}

void KeyModeLogic::storeScanRecord()
{
    // A refused name stays on the edit page to be corrected.
    if (m_table.Store())
        m_page = PageTable;
    saveTable();
}

void KeyModeLogic::cancelScanEdit()
{
    m_page = PageTable;
    saveTable();
}

void KeyModeLogic::makeFunctionShiftKey(FunctionButton button)
{
    const ScanRecord& rec = m_tables.tables().ScanTable[static_cast<std::size_t>(
        kFunctionRecords.at(static_cast<std::size_t>(button)))];
    AddChar(rec.Name.view(), rec.Seq1, rec.Seq2);
    m_page = PageLines;
    saveTable();
}

void KeyModeLogic::pickOnScreenKey(int n)
{
    if (!OnScreen::IsButton(n) || (n == OnScreen::kLessKey && !OnScreen::HasLessKey(m_language)))
        return;
    const int entry = OnScreen::AssocEntry(n, shifts());
    if (entry < 1 || entry > kByteTableEntries)
        return;
    const int record = m_tables.tables().AssocTable[static_cast<std::size_t>(entry)];
    if (record < 1 || record > kScanRecords)
        return;
    m_table.ListTable_Click(record - 1);
    m_digitRowShifted = OnScreen::IsDigitRowKey(n) && m_modifier == ModShift;
    insertRecord(record);
    m_digitRowShifted = false;
}

void KeyModeLogic::pressPictureKey(OnScreen::Picture picture, Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        return;
    switch (picture) {
    case OnScreen::LeftShift:
    case OnScreen::RightShift:
        toggleModifier(ModShift);
        break;
    case OnScreen::LeftCtrl:
    case OnScreen::RightCtrl:
        toggleModifier(ModCtrl);
        break;
    case OnScreen::LeftAlt:
    case OnScreen::RightAlt:
        toggleModifier(ModAlt);
        break;
    case OnScreen::CapsLock:
        m_capsLock = !m_capsLock;
        break;
    case OnScreen::NumLock:
        m_numLock = !m_numLock;
        break;
    default:
        break;
    }
}

void KeyModeLogic::toggleModifier(Modifier modifier)
{
    if (modifier < ModCtrl || modifier > ModShift)
        return;
    // A second click on the selected modifier switches it off.
    m_modifier = m_modifier == modifier ? ModNone : modifier;
}

void KeyModeLogic::setRepeat(int lineIndex, bool on)
{
    if (lineIndex < 0 || lineIndex >= kDefineKeyLines)
        return;
    const auto bit = static_cast<std::uint8_t>(1 << lineIndex);
    std::uint8_t& flags = m_work.RepeatFlags;
    flags = on ? (flags | bit) : (flags & ~bit);
}

// --- What the window shows ---

bool KeyModeLogic::MsrMode() const
{
    return m_msrMode;
}

QString KeyModeLogic::Caption() const
{
    return MsrMode() ? QStringLiteral("MSR Parameters") : QStringLiteral("Define Key");
}

int KeyModeLogic::LineCount() const
{
    return MsrMode() ? kMsrLines : kDefineKeyLines;
}

bool KeyModeLogic::Rpt(int i) const
{
    return (m_work.RepeatFlags >> i) & 1;
}

OnScreen::ShiftState KeyModeLogic::shifts() const
{
    return {.shift = m_modifier == ModShift,
            .ctrl = m_modifier == ModCtrl,
            .alt = m_modifier == ModAlt,
            .capsLock = m_capsLock,
            .numLock = m_numLock};
}

ShiftDisplay KeyModeLogic::DispShifts() const
{
    ShiftDisplay d;
    const OnScreen::ShiftState s = shifts();
    const int language = m_language;
    for (int i = 0; i < OnScreen::kPictureCount; ++i)
        d.pictures[static_cast<std::size_t>(i)] = OnScreen::PictureFile(i, language, s);
    for (int n = OnScreen::kFirstButton; n <= OnScreen::kLastButton; ++n)
        d.captions[static_cast<std::size_t>(n - OnScreen::kFirstButton)] =
            OnScreen::Caption(n, m_tables.tables(), s);
    d.lessKeyShown = OnScreen::HasLessKey(language);
    // In the order of OnScreen::Picture.
    d.switchedOn = {s.shift, s.shift, s.ctrl, s.ctrl, s.alt, s.alt, s.capsLock, s.numLock};
    return d;
}

std::optional<int> KeyModeLogic::TakeFocusRequest()
{
    return std::exchange(m_focusRequest, std::nullopt);
}

} // namespace morvaw
