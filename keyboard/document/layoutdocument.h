#pragma once

#include "fileidentity.h"
#include "fileoutcome.h"
#include "layoutmodel.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <deque>
#include <string>

namespace morvaw {

// What copy and paste carry from one key to another: the three definitions,
// the repeat flags and the label. Where a key stands (PosY, PosX, KeyWord,
// Matrix) and the fields only carried stay with the key.
struct KeyContent
{
    std::array<Definition, 3> levels{};
    std::uint8_t RepeatFlags = 0;
    FixedText<4> Label;

    [[nodiscard]] static KeyContent Of(const KeyRecord& key);
    void applyTo(KeyRecord& key) const;
};

// The one layout that is open: its 101 records (LayoutRecords), the working
// copy of its language (CurrentLanguage, saved into record 96), its file name
// (LayoutFileName) and whether it may differ from that file (LayoutChanged).
// Nothing else changes a layout: every change is one of the operations below,
// each emits changed(), and those that change what a layout holds are steps
// of the undo history.
//
// The history keeps snapshots of the records and the language (some 27 KB a
// step, kUndoSteps at most) rather than a QUndoStack, which would bring Qt
// Gui into this library; a snapshot also restores every field as it was,
// whatever the operation touched.
class LayoutDocument : public QObject
{
    Q_OBJECT
public:
    static constexpr int kUndoSteps = 100;

    // How much of a file a load takes.
    enum class LoadMode {
        Whole, // only a file that is exactly one layout; on failure nothing changes
        Partly // as many whole records as the file holds, silently (the last layout at start)
    };

    explicit LayoutDocument(QObject* parent = nullptr);

    [[nodiscard]] const LayoutRecordArray& records() const { return m_layout.records; }
    // The record of key button `key` (0..83), which is record key + 1.
    [[nodiscard]] const KeyRecord& key(int key) const;
    // A byte setting (PosX of a settings record).
    [[nodiscard]] std::uint8_t setting(int record) const;
    [[nodiscard]] std::uint8_t language() const { return m_layout.language; }
    [[nodiscard]] const std::string& fileName() const { return m_fileName; }
    [[nodiscard]] bool isChanged() const { return m_changed; }
    // Named as New names a layout: it has never been saved under a name of its own.
    [[nodiscard]] bool isUntitled() const;
    [[nodiscard]] KeyboardOptions options() const;
    [[nodiscard]] MsrSettings msrSettings() const;
    // The file as it was when loaded or last saved; no path after New.
    [[nodiscard]] const FileIdentity& fileOnDisk() const { return m_onDisk; }
    // The 27,400 bytes Save would write now.
    [[nodiscard]] QByteArray layoutBytes() const;
    // Those it would write once storeKey(key, record) had run; the layout stays as it is.
    [[nodiscard]] QByteArray layoutBytesWithKey(int key, const KeyRecord& record) const;

    // A key's definitions from the key editor: every field but Spare, which stays.
    void storeKey(int key, const KeyRecord& record);
    // A copied key pasted over key `key`, and two keys swapped by dragging one
    // onto the other; each is one step of the history.
    void pasteKey(int key, const KeyContent& content);
    void swapKeys(int first, int second);
    // "Keyboard Configure": type, buzzer and the other flag bits, the delays,
    // the keypad shape and the language.
    void setOptions(const KeyboardOptions& options);
    // "MSR Configure": of KbdFlags only its bit 0.
    void setMsrSettings(const MsrSettings& settings);
    void setLanguage(std::uint8_t language);
    // KbdFlags after a transfer (a detected keyboard type, bit 7 for an
    // enhanced one). It leaves LayoutChanged as it is, as a transfer always did.
    void storeKbdFlags(std::uint8_t kbdFlags);
    // The type of the keyboard a port test found, chosen by the user for the
    // layout: a change like one made in Keyboard > Configure.
    void setKeyboardType(int type);

    // File > New: the defaults, language 0, "UNTITLED.KBD", changed.
    void newLayout();
    // Reads a layout file. The language follows record 96; a name that is
    // neither empty nor the dialog's wildcard becomes the file name. A new
    // layout starts a new history.
    FileOutcome load(const std::string& name, LoadMode mode);
    // Writes the language into record 96 and the 100 records to the file; on
    // success the name becomes the file name.
    FileOutcome save(const std::string& name);
    // A layout kept for recovery: its bytes, file name and that file as it
    // was, back as unsaved changes with a new history. False, changing
    // nothing, unless the bytes are one layout.
    bool recover(const QByteArray& bytes, const std::string& name, const FileIdentity& onDisk);
    // LayoutChanged, where the commands set and clear it.
    void markChanged();
    void markUnchanged();

    [[nodiscard]] bool canUndo() const { return !m_undo.empty(); }
    [[nodiscard]] bool canRedo() const { return !m_redo.empty(); }
    // What the next undo or redo changes back ("Define Key"); empty when none.
    [[nodiscard]] QString undoText() const;
    [[nodiscard]] QString redoText() const;
    // Both leave the layout changed.
    void undo();
    void redo();

signals:
    void changed();
    // Another layout took the document's place: New, a load, a recovery.
    void replaced();
    // The layout was written to fileName, which is now its name; formerName
    // is the one it had, empty when it had none yet.
    void saved(const std::string& fileName, const std::string& formerName);

private:
    struct Layout
    {
        LayoutRecordArray records{};
        std::uint8_t language = 0;
        friend bool operator==(const Layout&, const Layout&) = default;
    };
    struct Step
    {
        QString what;
        Layout layout;
    };
    enum class Marks { Changed, AsItWas };

    // Runs edit on the layout; when that changed anything, it is a step.
    template <typename Edit> void change(const QString& what, Marks marks, Edit edit);
    void restore(std::deque<Step>& from, std::deque<Step>& to);
    void startHistory();

    Layout m_layout;
    std::string m_fileName;
    FileIdentity m_onDisk;
    bool m_changed = false;
    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
};

} // namespace morvaw
