#include "memoryusage.h"

#include "configuratorstate.h"
#include "deviceimagebuilder.h"
#include "keystablebuilder.h"

namespace morvaw {

namespace {

const QString kPrefix = QStringLiteral("Macro memory: ");

QString usage(bool overflow, int nextSlot, int end, const QString& unit)
{
    if (overflow)
        return QStringLiteral("more than %1 %2, too full to program").arg(end).arg(unit);
    return QStringLiteral("%1 of %2 %3").arg(nextSlot).arg(end).arg(unit);
}

QString imageUsage(const DeviceImageBuilder& image)
{
    return usage(image.overflow(), image.NextSlot(), DeviceImageBuilder::kEndByte,
                 QStringLiteral("bytes"));
}

QString tableUsage(const KeysTableBuilder& table)
{
    return usage(table.overflow(), table.NextSlot(), KeysTableBuilder::kMacroLimit - 1,
                 QStringLiteral("words"));
}

} // namespace

QString MacroMemoryText(const DeviceImageBuilder& image)
{
    return kPrefix + imageUsage(image);
}

QString MacroMemoryText(const KeysTableBuilder& table)
{
    return kPrefix + tableUsage(table);
}

QString MacroMemoryText(const ConfiguratorState& state)
{
    const LayoutSource source = LayoutSource::Of(state);
    int type = KeyboardType(state.LayoutRecords[Settings::KbdFlags].PosX);
    if (type > 3)
        type = 2;
    if (type == 2)
        return MacroMemoryText(DeviceImageBuilder::Build(source));
    if (type != 3)
        return MacroMemoryText(KeysTableBuilder::Build(source));
    return kPrefix + imageUsage(DeviceImageBuilder::Build(source)) +
           QStringLiteral(" (Enhanced); ") + tableUsage(KeysTableBuilder::Build(source)) +
           QStringLiteral(" (older keyboards)");
}

} // namespace morvaw
