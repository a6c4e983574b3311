#pragma once

#include "helpadapter.h"
#include "scripteddialogs.h"

#include <QString>

#include <vector>

namespace morvaw::test {

class RecordingHelp : public HelpAdapter
{
public:
    struct Request
    {
        QString file;
        HelpCommand command;
        int context;
    };
    std::vector<Request> requests;

    void showHelp(const QString& file, HelpCommand command, int context) override
    {
        requests.push_back({file, command, context});
    }
};

} // namespace morvaw::test
