#include "scantableeditor.h"

#include "definitiontext.h"
#include "displaytext.h"
#include "keytoken.h"
#include "languagetables.h"
#include "regularfile.h"
#include "userdialogs.h"

#include <QByteArray>
#include <QStringList>

#include <algorithm>

namespace morvaw {

namespace {

constexpr std::uint8_t kCheckBits = 0x01 | 0x02 | 0x20 | 0x40 | 0x80;

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Free records are all spaces, or all NULs as a short STC file leaves them.
bool isFree(const ScanRecord& r)
{
    return std::all_of(r.Name.bytes.begin(), r.Name.bytes.end(),
                       [](std::uint8_t c) { return c == ' ' || c == 0; });
}

std::uint8_t boxValue(const QString& text)
{
    return HexToByte(NormalisedHexEntry(text).toStdString());
}

QString appTitle()
{
    return QString::fromLatin1(kApplicationTitle);
}

} // namespace

bool StrCompare(std::string_view a, std::string_view b)
{
    const std::string_view shorter = a.size() <= b.size() ? a : b;
    const std::string_view longer = a.size() <= b.size() ? b : a;
    return longer.substr(0, shorter.size()) == shorter &&
           longer.find_first_not_of(' ', shorter.size()) == std::string_view::npos;
}

QString HexByteText(std::uint8_t value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

QString NormalisedHexEntry(const QString& text)
{
    std::string s = AsciiUpper(FromDisplayText(text));
    if (s.size() == 1)
        s.insert(s.begin(), '0');
    if (s.size() > 2)
        s.resize(2);
    // Beyond "F" or not a digit at all: a byte can only be read from hex digits.
    if (!std::all_of(s.begin(), s.end(), isHexDigit))
        s = "00";
    return QString::fromLatin1(s.c_str());
}

ScanTableEditor::ScanTableEditor(LanguageTables& tables, UserDialogs& dialogs)
    : m_tables(tables), m_dialogs(dialogs)
{
}

void ScanTableEditor::Refill()
{
    const ScanTableArray& table = m_tables.tables().ScanTable;
    int count = kScanRecords;
    while (count > 0 && SignificantLength(table[static_cast<std::size_t>(count)].Name.view()) == 0)
        --count;
    m_names.clear();
    for (int r = 1; r <= count; ++r) {
        std::string name = table[static_cast<std::size_t>(r)].Name.str();
        std::replace(name.begin(), name.end(), '\0', ' ');
        m_names.push_back(std::move(name));
    }
    m_listIndex = m_names.empty() ? -1 : std::clamp(m_listIndex, 0, static_cast<int>(count) - 1);
}

void ScanTableEditor::SelectFirst()
{
    m_listIndex = m_names.empty() ? -1 : 0;
}

void ScanTableEditor::ListTable_Click(int row)
{
    if (row >= 0 && row < static_cast<int>(m_names.size()))
        m_listIndex = row;
}

int ScanTableEditor::SelectedRecord() const
{
    return m_listIndex < 0 ? 0 : m_listIndex + 1;
}

std::array<std::string, 4> ScanTableEditor::InfoLabels() const
{
    const int r = SelectedRecord();
    if (r == 0)
        return {};
    const ScanRecord& rec = m_tables.tables().ScanTable[static_cast<std::size_t>(r)];
    return {"Name:  " + m_names[static_cast<std::size_t>(m_listIndex)],
            "Seq1:  " + HexByteText(rec.Seq1).toStdString() + "H        ",
            "Seq2:  " + HexByteText(rec.Seq2).toStdString() + "H        ",
            "Index: " + std::to_string(r)};
}

void ScanTableEditor::Edit()
{
    const int r = SelectedRecord();
    if (r == 0)
        return;
    m_tables.markStcChanged();
    const ScanRecord& rec = m_tables.tables().ScanTable[static_cast<std::size_t>(r)];
    std::string name = m_names[static_cast<std::size_t>(m_listIndex)];
    name.resize(static_cast<std::size_t>(SignificantLength(name)));
    m_text[0] = ToDisplayText(name);
    m_text[1] = HexByteText(rec.Seq1);
    SetMaskCode(rec.Seq2);
}

void ScanTableEditor::Text1_Change(Box box, const QString& text)
{
    m_text.at(static_cast<std::size_t>(box)) = text;
}

void ScanTableEditor::Text1_Enter(Box box)
{
    if (box != ScanCodeBox && box != MaskCodeBox)
        return;
    QString& text = m_text[static_cast<std::size_t>(box)];
    text = NormalisedHexEntry(text);
    if (box == MaskCodeBox)
        SetMaskCode(boxValue(text));
}

const QString& ScanTableEditor::Text1(Box box) const
{
    return m_text.at(static_cast<std::size_t>(box));
}

void ScanTableEditor::SetMaskCode(std::uint8_t maskCode)
{
    m_editMask = maskCode;
    m_maskChecks = maskCode & kCheckBits;
    // Option buttons are set in bit order, so the highest of bits 2..4 stays selected.
    m_maskOption = NoMaskOption;
    for (MaskOption option : {MaskCtrl, MaskAlt, MaskShift}) {
        if (maskCode & (1 << (option + 2)))
            m_maskOption = option;
    }
    m_text[2] = HexByteText(maskCode);
}

void ScanTableEditor::SetMaskBit()
{
    int mask = m_maskChecks;
    if (m_maskOption != NoMaskOption)
        mask |= 1 << (m_maskOption + 2);
    m_editMask = static_cast<std::uint8_t>(mask);
    m_text[2] = HexByteText(m_editMask);
}

void ScanTableEditor::Check2_Click(int bit)
{
    if (bit < 0 || bit > 7 || !((kCheckBits >> bit) & 1))
        return;
    m_maskChecks ^= static_cast<std::uint8_t>(1 << bit);
    SetMaskBit();
}

void ScanTableEditor::toggleMaskOption(MaskOption option)
{
    if (option < MaskCtrl || option >= NoMaskOption)
        return;
    m_maskOption = option == m_maskOption ? NoMaskOption : option;
    SetMaskBit();
}

QString ScanTableEditor::newNameProblem(std::string_view name) const
{
    if (name.find(TokenMark) != std::string_view::npos)
        return QStringLiteral("A key name cannot hold \"\u00F9\" or \"\u2219\": that character "
                              "(byte 249) marks the end of every token in a definition.");
    // A name beginning like a prefix would lose its first letters to it.
    struct Prefix
    {
        const char* text;
        const char* meaning;
    };
    for (const Prefix& p : {Prefix{"^", "Ctrl"}, Prefix{"#", "Force Num"}, Prefix{"Sh", "Shift"},
                            Prefix{"Alt", "Alt"}}) {
        if (name.starts_with(p.text))
            return QStringLiteral("A new key name cannot begin with \"%1\": in a definition "
                                  "\"%1\" before a key name means %2.")
                .arg(QString::fromLatin1(p.text), QString::fromLatin1(p.meaning));
    }
    if (IsFunctionShiftWord(name))
        return QStringLiteral("A new key name cannot begin with \"Func\" or \"FnT\": such a name "
                              "makes the key a function-shift key.");
    const QString shown = ToDisplayText(name);
    for (int bits = 0; bits < 8; ++bits) {
        const TokenModifiers m{
            .ctrl = (bits & 1) != 0, .shift = (bits & 2) != 0, .alt = (bits & 4) != 0};
        const std::string why = TokenReadBackProblem(m, name);
        if (why.empty())
            continue;
        if (bits == 0)
            return QStringLiteral("The name \"%1\" cannot be used: %2.")
                .arg(shown, ToDisplayText(why));
        QStringList words;
        for (auto [set, word] : {std::pair{m.ctrl, "Ctrl"}, {m.shift, "Shift"}, {m.alt, "Alt"}}) {
            if (set)
                words << QString::fromLatin1(word);
        }
        return QStringLiteral("The name \"%1\" cannot be used: written with %2 as \"%3\", %4.")
            .arg(shown, words.join(QStringLiteral(" + ")), ToDisplayText(ComposeKeyToken(m, name)),
                 ToDisplayText(why));
    }
    // Programming looks names up with case ignored and takes the first it finds.
    const std::string lower = AsciiLower(name);
    const ScanTableArray& table = m_tables.tables().ScanTable;
    for (int r = 1; r <= kScanRecords; ++r) {
        const std::string_view other = table[static_cast<std::size_t>(r)].Name.view();
        if (SignificantLength(other) > 0 && AsciiLower(Trim(other)) == lower)
            return QStringLiteral("The name \"%1\" cannot be used: programming would not tell it "
                                  "from record %2, \"%3\", as it ignores case.")
                .arg(shown)
                .arg(r)
                .arg(ToDisplayText(Trim(other)));
    }
    return {};
}

bool ScanTableEditor::Store()
{
    FixedText<7> name;
    name.assign(Trim(FromDisplayText(m_text[0])));
    const std::string_view wanted =
        name.view().substr(0, static_cast<std::size_t>(SignificantLength(name.view())));
    const std::uint8_t scan = boxValue(m_text[1]);
    const std::uint8_t mask = boxValue(m_text[2]);
    const ScanTableArray& table = m_tables.tables().ScanTable;

    int record = 0;
    for (int r = 1; r <= kScanRecords && record == 0; ++r) {
        if (StrCompare(wanted, table[static_cast<std::size_t>(r)].Name.view()))
            record = r;
    }
    // A record that has the name already keeps it as it is; a new one must
    // read back as itself from every token the editor writes for it.
    if (record == 0) {
        if (const QString why = newNameProblem(wanted); !why.isEmpty()) {
            m_dialogs.warn(why, appTitle());
            return false;
        }
    }
    const int searched = std::min<int>(m_tables.tables().ScanCount, kScanRecords);
    for (int r = 1; r <= searched && record == 0; ++r) {
        if (isFree(table[static_cast<std::size_t>(r)]))
            record = r;
    }
    if (record != 0)
        m_tables.storeScanRecord(record, {.Name = name, .Seq1 = scan, .Seq2 = mask});
    else
        m_dialogs.warn(QString::fromLatin1(kOutOfSpace), appTitle());

    m_tables.markStcChanged();
    Refill();
    return true;
}

void ScanTableEditor::Clear()
{
    const int r = SelectedRecord();
    if (r == 0)
        return;
    m_tables.markStcChanged();
    if (r <= LanguageTables::kProtectedRecords) {
        m_dialogs.warn(QString::fromLatin1(kCannotClear), appTitle());
        return;
    }
    m_tables.clearScanRecord(r);
    Refill();
}

void ScanTableEditor::SaveIfChanged(int language)
{
    const FileOutcome written = m_tables.saveStc(language);
    if (!written.ok)
        m_dialogs.warn(QStringLiteral("The scan table could not be saved to\n%1\n\n%2")
                           .arg(ToQtPath(m_tables.stcPath(language).string()), written.reason),
                       appTitle());
}

} // namespace morvaw
