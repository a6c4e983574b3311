#include "memoryusage.h"

#include "deviceimagebuilder.h"
#include "keystablebuilder.h"

namespace morvaw {

namespace {

const QString kPrefix = QStringLiteral("Macro memory: ");

QString usageText(const MemoryUsage& usage)
{
    const QString unit = usage.generation == KeyboardGeneration::Enhanced ? QStringLiteral("bytes")
                                                                          : QStringLiteral("words");
    if (usage.overflow)
        return QStringLiteral("more than %1 %2, too full to program").arg(usage.limit).arg(unit);
    return QStringLiteral("%1 of %2 %3").arg(usage.used).arg(usage.limit).arg(unit);
}

} // namespace

MemoryUsage UsageOf(const DeviceImageBuilder& image)
{
    return {KeyboardGeneration::Enhanced, image.NextSlot(), DeviceImageBuilder::kEndByte,
            image.overflow()};
}

MemoryUsage UsageOf(const KeysTableBuilder& table)
{
    return {KeyboardGeneration::Older, table.NextSlot(), KeysTableBuilder::kMacroLimit - 1,
            table.overflow()};
}

QString MacroMemoryText(const MemoryUsage& usage)
{
    return kPrefix + usageText(usage);
}

QString MacroMemoryText(const DeviceImageBuilder& image)
{
    return MacroMemoryText(UsageOf(image));
}

QString MacroMemoryText(const KeysTableBuilder& table)
{
    return MacroMemoryText(UsageOf(table));
}

QString MacroMemoryText(const LayoutSource& layout)
{
    int type = KeyboardType(layout.setting(Settings::KbdFlags));
    if (type > 3)
        type = 2;
    if (type == 2)
        return MacroMemoryText(DeviceImageBuilder::Build(layout));
    if (type != 3)
        return MacroMemoryText(KeysTableBuilder::Build(layout));
    return kPrefix + usageText(UsageOf(DeviceImageBuilder::Build(layout))) +
           QStringLiteral(" (Enhanced); ") + usageText(UsageOf(KeysTableBuilder::Build(layout))) +
           QStringLiteral(" (older keyboards)");
}

} // namespace morvaw
