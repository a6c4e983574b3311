#pragma once

#include <QString>

namespace morvaw {

// The help requests the configurator makes: a help file, a command and, for
// Context, the number of the topic.
enum class HelpCommand : int { Context = 1, Contents = 3, HelpOnHelp = 4, Quit = 6 };

class HelpAdapter
{
public:
    virtual ~HelpAdapter() = default;

    virtual void showHelp(const QString& helpFile, HelpCommand command, int context) = 0;
};

} // namespace morvaw
