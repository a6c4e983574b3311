#include "layoutdocument.h"

#include "filenames.h"
#include "layoutfile.h"
#include "settingsfile.h"

#include <utility>

namespace morvaw {

namespace {

std::uint8_t withBit(std::uint8_t byte, std::uint8_t bit, bool on)
{
    return static_cast<std::uint8_t>(on ? (byte | bit) : (byte & ~bit));
}

bool isKey(int key)
{
    return key >= 0 && key < kKeyCount;
}

// Bit 0 of KbdFlags: the card reader's B/F + checksum mode.
constexpr std::uint8_t kCheckSumModeBit = 1;

// A key from the key editor: every field but Spare, which stays.
void putKey(LayoutRecordArray& records, int key, const KeyRecord& record)
{
    KeyRecord& target = records.at(static_cast<std::size_t>(key + 1));
    const std::uint8_t spare = target.Spare;
    target = record;
    target.Spare = spare;
}

} // namespace

KeyContent KeyContent::Of(const KeyRecord& key)
{
    KeyContent content;
    for (int level = 0; level < 3; ++level)
        content.levels[static_cast<std::size_t>(level)] = key.definition(level);
    content.RepeatFlags = key.RepeatFlags;
    content.Label = key.Label;
    return content;
}

void KeyContent::applyTo(KeyRecord& key) const
{
    for (int level = 0; level < 3; ++level)
        key.setDefinition(level, levels[static_cast<std::size_t>(level)]);
    key.RepeatFlags = RepeatFlags;
    key.Label = Label;
}

LayoutDocument::LayoutDocument(QObject* parent) : QObject(parent) {}

const KeyRecord& LayoutDocument::key(int key) const
{
    return m_layout.records.at(static_cast<std::size_t>(key + 1));
}

std::uint8_t LayoutDocument::setting(int record) const
{
    return m_layout.records.at(static_cast<std::size_t>(record)).PosX;
}

KeyboardOptions LayoutDocument::options() const
{
    return {.KbdFlags = setting(Settings::KbdFlags),
            .MacroPlayDelay = setting(Settings::MacroPlayDelay),
            .DelayKeyTime = setting(Settings::DelayKeyTime),
            .KbdShape = setting(Settings::KbdShape),
            .KbdLanguage = m_layout.language};
}

MsrSettings LayoutDocument::msrSettings() const
{
    MsrSettings msr{.CheckSumMode = (setting(Settings::KbdFlags) & kCheckSumModeBit) != 0,
                    .MsrOption1 = setting(Settings::MsrOption1),
                    .MsrOption2 = setting(Settings::MsrOption2),
                    .MsrOption3 = setting(Settings::MsrOption3)};
    for (std::size_t k = 0; k < msr.Lines.size(); ++k)
        msr.Lines[k] = m_layout.records[static_cast<std::size_t>(kMsrLineRecords[k])].definition(0);
    return msr;
}

template <typename Edit> void LayoutDocument::change(const QString& what, Marks marks, Edit edit)
{
    Layout before = m_layout;
    edit(m_layout);
    if (m_layout == before)
        return;
    m_undo.push_back({what, std::move(before)});
    if (m_undo.size() > kUndoSteps)
        m_undo.pop_front();
    m_redo.clear();
    if (marks == Marks::Changed)
        m_changed = true;
    emit changed();
}

void LayoutDocument::storeKey(int key, const KeyRecord& record)
{
    change(QStringLiteral("Define Key"), Marks::Changed,
           [&](Layout& layout) { putKey(layout.records, key, record); });
}

QByteArray LayoutDocument::layoutBytesWithKey(int key, const KeyRecord& record) const
{
    LayoutRecordArray records = m_layout.records;
    putKey(records, key, record);
    records[Settings::KbdLanguage].PosX = m_layout.language;
    return LayoutFileBytes(records);
}

void LayoutDocument::pasteKey(int key, const KeyContent& content)
{
    if (!isKey(key))
        return;
    change(QStringLiteral("Paste Key"), Marks::Changed, [&](Layout& layout) {
        content.applyTo(layout.records.at(static_cast<std::size_t>(key + 1)));
    });
}

void LayoutDocument::swapKeys(int first, int second)
{
    if (!isKey(first) || !isKey(second))
        return;
    change(QStringLiteral("Swap Keys"), Marks::Changed, [&](Layout& layout) {
        KeyRecord& a = layout.records.at(static_cast<std::size_t>(first + 1));
        KeyRecord& b = layout.records.at(static_cast<std::size_t>(second + 1));
        const KeyContent fromA = KeyContent::Of(a);
        KeyContent::Of(b).applyTo(a);
        fromA.applyTo(b);
    });
}

void LayoutDocument::setOptions(const KeyboardOptions& options)
{
    change(QStringLiteral("Keyboard Configure"), Marks::Changed, [&](Layout& layout) {
        auto& r = layout.records;
        r[Settings::KbdFlags].PosX = options.KbdFlags;
        r[Settings::MacroPlayDelay].PosX = options.MacroPlayDelay;
        r[Settings::DelayKeyTime].PosX = options.DelayKeyTime;
        r[Settings::KbdShape].PosX = options.KbdShape;
        layout.language = options.KbdLanguage;
    });
}

void LayoutDocument::setMsrSettings(const MsrSettings& msr)
{
    change(QStringLiteral("MSR Configure"), Marks::Changed, [&](Layout& layout) {
        auto& r = layout.records;
        r[Settings::KbdFlags].PosX =
            withBit(r[Settings::KbdFlags].PosX, kCheckSumModeBit, msr.CheckSumMode);
        for (std::size_t k = 0; k < msr.Lines.size(); ++k)
            r[static_cast<std::size_t>(kMsrLineRecords[k])].setDefinition(0, msr.Lines[k]);
        r[Settings::MsrOption1].PosX = msr.MsrOption1;
        r[Settings::MsrOption2].PosX = msr.MsrOption2;
        r[Settings::MsrOption3].PosX = msr.MsrOption3;
    });
}

void LayoutDocument::setLanguage(std::uint8_t language)
{
    change(QStringLiteral("Language"), Marks::Changed,
           [&](Layout& layout) { layout.language = language; });
}

void LayoutDocument::storeKbdFlags(std::uint8_t kbdFlags)
{
    change(QStringLiteral("Program Kbd"), Marks::AsItWas,
           [&](Layout& layout) { layout.records[Settings::KbdFlags].PosX = kbdFlags; });
}

QByteArray LayoutDocument::layoutBytes() const
{
    LayoutRecordArray records = m_layout.records;
    records[Settings::KbdLanguage].PosX = m_layout.language;
    return LayoutFileBytes(records);
}

void LayoutDocument::setKeyboardType(int type)
{
    change(QStringLiteral("Program Kbd"), Marks::Changed, [&](Layout& layout) {
        std::uint8_t& flags = layout.records[Settings::KbdFlags].PosX;
        flags = WithKeyboardType(flags, type);
    });
}

void LayoutDocument::newLayout()
{
    NewLayout(m_layout.records);
    m_layout.language = 0;
    m_fileName = kUntitledName;
    m_onDisk = {};
    m_changed = true;
    startHistory();
}

FileOutcome LayoutDocument::load(const std::string& fname, LoadMode mode)
{
    const std::string name = TrimName(fname);
    QByteArray bytes;
    if (mode == LoadMode::Whole) {
        if (const FileOutcome read = ReadLayoutFile(name, m_layout.records, &bytes); !read.ok)
            return read;
    } else {
        ReadLayoutFilePartly(name, m_layout.records);
    }
    m_layout.language = m_layout.records[Settings::KbdLanguage].PosX;
    if (!name.empty() && !IsWildcardName(name)) {
        m_fileName = name;
        // A partly read file (the last layout at start) may be longer: all of it counts.
        m_onDisk = mode == LoadMode::Whole ? IdentityOf(name, bytes) : IdentityOnDisk(name);
    }
    startHistory();
    return {};
}

FileOutcome LayoutDocument::save(const std::string& fname)
{
    const std::string name = TrimName(fname);
    m_layout.records[Settings::KbdLanguage].PosX = m_layout.language;
    const FileOutcome written = WriteLayoutFile(name, m_layout.records);
    const bool named = written.ok && !name.empty() && !IsWildcardName(name);
    const std::string former = isUntitled() ? std::string() : m_fileName;
    if (named) {
        m_fileName = name;
        m_onDisk = IdentityOf(name, LayoutFileBytes(m_layout.records));
    }
    emit changed();
    if (named)
        emit saved(name, former);
    return written;
}

bool LayoutDocument::recover(const QByteArray& bytes, const std::string& name,
                             const FileIdentity& onDisk)
{
    if (!ParseLayoutFile(BytesOf(bytes), m_layout.records))
        return false;
    m_layout.language = m_layout.records[Settings::KbdLanguage].PosX;
    m_fileName = name;
    m_onDisk = onDisk;
    m_changed = true;
    startHistory();
    return true;
}

bool LayoutDocument::isUntitled() const
{
    return m_fileName.empty() || TrimName(m_fileName) == kUntitledName;
}

void LayoutDocument::markChanged()
{
    m_changed = true;
    emit changed();
}

void LayoutDocument::markUnchanged()
{
    m_changed = false;
    emit changed();
}

QString LayoutDocument::undoText() const
{
    return m_undo.empty() ? QString() : m_undo.back().what;
}

QString LayoutDocument::redoText() const
{
    return m_redo.empty() ? QString() : m_redo.back().what;
}

void LayoutDocument::restore(std::deque<Step>& from, std::deque<Step>& to)
{
    if (from.empty())
        return;
    Step step = std::move(from.back());
    from.pop_back();
    std::swap(step.layout, m_layout);
    to.push_back(std::move(step));
    m_changed = true;
    emit changed();
}

void LayoutDocument::undo()
{
    restore(m_undo, m_redo);
}

void LayoutDocument::redo()
{
    restore(m_redo, m_undo);
}

void LayoutDocument::startHistory()
{
    m_undo.clear();
    m_redo.clear();
    emit changed();
    emit replaced();
}

} // namespace morvaw
