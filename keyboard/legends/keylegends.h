#pragma once

#include "fileoutcome.h"
#include "layoutmodel.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace morvaw {

// The texts printed on the paper inserts that go under the clear keycaps.
// A key's legend starts as what its plain level types and may be edited; its
// Func1 and Func2 texts are printed small beneath. Edited legends and the
// insert size are kept in NAME.KBD.legends beside the layout, never in it.
// Keys are numbered 1 to 84, as their records.
class KeyLegends
{
public:
    static constexpr double kDefaultSizeMm = 14;
    static constexpr double kMinSizeMm = 10;
    static constexpr double kMaxSizeMm = 20;

    explicit KeyLegends(const LayoutRecordArray& records);

    [[nodiscard]] QString legend(int key) const;
    // What the key's level types, in words: the plain level is the legend's start.
    [[nodiscard]] QString levelText(int key, int level) const;
    [[nodiscard]] bool isEdited(int key) const;
    // A legend equal to the key's own text is no longer an edited one.
    void setLegend(int key, const QString& legend);
    void resetLegend(int key);

    [[nodiscard]] double sizeMm() const { return m_sizeMm; }
    // False, keeping the size, outside 10 to 20 mm.
    bool setSizeMm(double sizeMm);
    // The picture the sheet follows: KbdShape 0 is 12 x 7, any other 14 x 6.
    [[nodiscard]] std::uint8_t shape() const { return m_shape; }

    // NAME.KBD.legends for NAME.KBD.
    [[nodiscard]] static std::filesystem::path FileFor(const std::filesystem::path& layout);
    // The legends file of formerLayout, if it has one, becomes layout's too:
    // a layout saved under another name takes its legends along.
    [[nodiscard]] static FileOutcome CarryOver(const std::filesystem::path& formerLayout,
                                               const std::filesystem::path& layout);
    [[nodiscard]] QByteArray toText() const;
    // Takes the edited legends and the size of a legends file's text; on a
    // fault nothing changes and the reason (with the line) is returned.
    [[nodiscard]] FileOutcome readText(const QByteArray& text);
    // A missing file is no fault: nothing was edited yet.
    [[nodiscard]] FileOutcome load(const std::filesystem::path& path);
    // Writes the file when a legend or the size was changed, or the file is
    // there already (so that legends set back are set back there too).
    [[nodiscard]] FileOutcome save(const std::filesystem::path& path) const;

private:
    [[nodiscard]] static bool isKey(int key) { return key >= 1 && key <= kKeyCount; }

    std::array<std::array<QString, 3>, kKeyCount + 1> m_levels;
    std::array<std::optional<QString>, kKeyCount + 1> m_edited;
    double m_sizeMm = kDefaultSizeMm;
    std::uint8_t m_shape = 0;
};

} // namespace morvaw
