#include "htmlhelp.h"

#include "helpindex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace morvaw {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("MORVAW Help"));
    // The help window never keeps the program alive on its own.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("HelpSearch"));
    m_search->setPlaceholderText(QStringLiteral("Search"));
    m_search->setClearButtonEnabled(true);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("HelpPages"));
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("HelpSearchNote"));
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    m_text = new QTextBrowser(this);
    m_text->setObjectName(QStringLiteral("HelpText"));
    m_text->setOpenLinks(true);

    auto* side = new QVBoxLayout;
    side->addWidget(m_search);
    side->addWidget(m_list, 1);
    side->addWidget(m_note);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(side, 1);
    layout->addWidget(m_text, 3);
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 36);

    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this,
            &QWidget::close);
    connect(m_search, &QLineEdit::textChanged, this, &HelpWindow::search);
    connect(m_search, &QLineEdit::returnPressed, this, &HelpWindow::findNext);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && static_cast<std::size_t>(row) < m_pages.size() &&
            m_text->source().fileName() != m_pages[static_cast<std::size_t>(row)].file)
            showPage(m_pages[static_cast<std::size_t>(row)].file);
    });
    // A link followed inside the page selects that page in the list.
    connect(m_text, &QTextBrowser::sourceChanged, this, [this](const QUrl& source) {
        for (std::size_t i = 0; i < m_pages.size(); ++i) {
            if (m_pages[i].file == source.fileName())
                m_list->setCurrentRow(static_cast<int>(i));
        }
    });
}

void HelpWindow::setPages(const QString& helpFile, const std::vector<QString>& pages)
{
    const QString folder = QFileInfo(helpFile).absolutePath();
    if (folder == m_folder && m_pages.size() == pages.size())
        return;
    m_folder = folder;
    m_pages.clear();
    m_list->clear();
    m_text->setSearchPaths({m_folder});
    for (const QString& file : pages) {
        QFile html(QDir(m_folder).filePath(file));
        QTextDocument document;
        if (html.open(QIODevice::ReadOnly))
            document.setHtml(QString::fromUtf8(html.readAll()));
        const QString title = document.metaInformation(QTextDocument::DocumentTitle);
        m_pages.push_back({file, title.isEmpty() ? file : title, document.toPlainText()});
        m_list->addItem(m_pages.back().title);
    }
    int titles = 0;
    for (const Page& page : m_pages)
        titles = std::max(titles, m_list->fontMetrics().horizontalAdvance(page.title));
    m_list->setMinimumWidth(titles + m_list->frameWidth() * 2 +
                            fontMetrics().averageCharWidth() * 3);
    search(m_search->text());
}

void HelpWindow::showPage(const QString& page)
{
    m_text->setSource(QUrl::fromLocalFile(QDir(m_folder).filePath(page)));
}

void HelpWindow::showText(const QString& html)
{
    m_text->setHtml(html);
}

void HelpWindow::search(const QString& words)
{
    const QString wanted = words.trimmed();
    int holding = 0;
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        const bool holds =
            wanted.isEmpty() || m_pages[i].text.contains(wanted, Qt::CaseInsensitive);
        m_list->item(static_cast<int>(i))->setHidden(!holds);
        holding += holds ? 1 : 0;
    }
    m_note->setText(holding == 0 ? QStringLiteral("No page holds \"%1\".").arg(wanted) : QString());
}

void HelpWindow::findNext()
{
    const QString wanted = m_search->text().trimmed();
    if (wanted.isEmpty() || m_text->find(wanted))
        return;
    // On from the next page that holds it, round to this one's start.
    const int count = static_cast<int>(m_pages.size());
    const int current = std::max(0, m_list->currentRow());
    for (int step = 1; step <= count; ++step) {
        const int row = (current + step) % count;
        if (!m_list->item(row)->isHidden()) {
            showPage(m_pages[static_cast<std::size_t>(row)].file);
            m_text->find(wanted);
            return;
        }
    }
}

void HelpWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && !m_helpOnHelp.isEmpty()) {
        showPage(m_helpOnHelp);
        return;
    }
    QWidget::keyPressEvent(event);
}

HtmlHelp::~HtmlHelp()
{
    delete m_window;
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
    if (!m_window)
        m_window = new HelpWindow;
    const auto index = HelpIndex::read(helpFile);
    const QString page = index ? index->pageFor(command, context) : QString();
    if (index) {
        m_window->setPages(helpFile, index->pages());
        m_window->setHelpOnHelpPage(index->pageFor(HelpCommand::HelpOnHelp, 0));
    }
    if (page.isEmpty() || !QFileInfo(QFileInfo(helpFile).dir().filePath(page)).isFile()) {
        m_window->showText(QStringLiteral("<p>The help file <b>%1</b> has no page for this "
                                          "request, or the page cannot be opened.</p>")
                               .arg(QDir::toNativeSeparators(helpFile).toHtmlEscaped()));
    } else {
        m_window->showPage(page);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace morvaw
