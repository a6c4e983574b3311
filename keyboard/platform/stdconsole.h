#pragma once

#include "commandlinetransfer.h"

#include <string>

namespace morvaw {

class Waiter;

// The command line's console: standard output and error, and Enter read
// from standard input in rounds of the waiter, so that the event loop (and
// with it a termination request) goes on while it waits.
class StdConsole : public Console
{
public:
    explicit StdConsole(Waiter& waiter) : m_waiter(waiter) {}

    void print(const QString& text) override;
    void error(const QString& text) override;
    [[nodiscard]] bool isTerminal() const override;
    [[nodiscard]] bool waitForEnter(const std::function<bool()>& stopped) override;

private:
    Waiter& m_waiter;
    std::string m_typed; // read from standard input, not taken yet
};

} // namespace morvaw
