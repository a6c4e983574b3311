#include "htmlhelp.h"

#include "helpindex.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

namespace morvaw {

HtmlHelp::~HtmlHelp()
{
    delete m_window;
}

QTextBrowser* HtmlHelp::ensureWindow()
{
    if (!m_window) {
        m_window = new QTextBrowser;
        m_window->setObjectName(QStringLiteral("HelpWindow"));
        m_window->setWindowTitle(QStringLiteral("MORVAW Help"));
        // The help window never keeps the program alive on its own.
        m_window->setAttribute(Qt::WA_QuitOnClose, false);
        m_window->setOpenLinks(true);
        m_window->resize(560, 480);
    }
    return m_window;
}

void HtmlHelp::showHelp(const QString& helpFile, HelpCommand command, int context)
{
    if (command == HelpCommand::Quit) {
        if (m_window)
            m_window->close();
        return;
    }
    if (helpFile.isEmpty())
        return;

    QTextBrowser* window = ensureWindow();
    const auto index = HelpIndex::read(helpFile);
    const QString page = index ? index->pageFor(command, context) : QString();
    const QString pagePath = QFileInfo(helpFile).dir().filePath(page);
    if (page.isEmpty() || !QFileInfo(pagePath).isFile()) {
        window->setHtml(QStringLiteral("<p>The help file <b>%1</b> has no page for this "
                                       "request, or the page cannot be opened.</p>")
                            .arg(QDir::toNativeSeparators(helpFile).toHtmlEscaped()));
    } else {
        window->setSource(QUrl::fromLocalFile(pagePath));
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace morvaw
