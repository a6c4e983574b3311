#pragma once

#include "helpadapter.h"

#include <QPointer>
#include <QTextBrowser>

namespace morvaw {

// Shows the help pages named by the help file in the program's own help window.
class HtmlHelp : public HelpAdapter
{
public:
    HtmlHelp() = default;
    ~HtmlHelp() override;
    HtmlHelp(const HtmlHelp&) = delete;
    HtmlHelp& operator=(const HtmlHelp&) = delete;

    void showHelp(const QString& helpFile, HelpCommand command, int context) override;

    // The window, once a page was shown (for tests and the main window's shutdown).
    [[nodiscard]] QTextBrowser* window() const { return m_window; }

private:
    QTextBrowser* ensureWindow();

    QPointer<QTextBrowser> m_window;
};

} // namespace morvaw
