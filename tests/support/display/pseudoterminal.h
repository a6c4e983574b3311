#pragma once

#include "displayline.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

namespace vornestw::test {

// The simulator's display line, as the Qt tests use it.
class PseudoTerminal : public displaysim::DisplayLine
{
public:
    [[nodiscard]] QString terminalPath() const { return QString::fromLocal8Bit(path()); }

    // Everything that arrives until at least `expected` bytes are in (or 5 s
    // passed), running the event loop meanwhile so that the sender can write.
    [[nodiscard]] std::vector<std::uint8_t> receiveAtLeast(std::size_t expected)
    {
        std::vector<std::uint8_t> got;
        QElapsedTimer clock;
        clock.start();
        do {
            QCoreApplication::processEvents();
            const auto more = takeReceived();
            got.insert(got.end(), more.begin(), more.end());
        } while (got.size() < expected && clock.elapsed() < 5000);
        return got;
    }
};

} // namespace vornestw::test
