#include "printqueue.h"

#include <algorithm>

namespace vornestw {

bool IsPrintQueueName(const QString& name)
{
    constexpr qsizetype kLongestName = 127;
    if (name.isEmpty() || name.toUtf8().size() > kLongestName)
        return false;
    return std::ranges::all_of(name, [](QChar c) {
        return c.isPrint() && !c.isSpace() && !QStringLiteral("/\\#?'\"").contains(c);
    });
}

} // namespace vornestw
