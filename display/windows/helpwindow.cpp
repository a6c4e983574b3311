#include "helpwindow.h"

#include "screenfit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
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
#include <utility>

namespace vornestw {

namespace {

constexpr const char* kPageFiles[] = {"vornestw.html", "vornestw_protocols.html",
                                      "vornestw_texts.html", "vornestw_connection.html"};

struct WindowPage
{
    const char* window;
    const char* page;
};

constexpr WindowPage kWindowPages[] = {
    {"MainForm", "vornestw.html"},
    {"SetModeForm", "vornestw_protocols.html#setmode"},
    {"OptionsForm", "vornestw_connection.html"},
    {"PortChooserForm", "vornestw_connection.html#ports"},
    {"DisplayTwoLinesForm", "vornestw_texts.html#twolines"},
    {"DisplayLongForm", "vornestw_texts.html#long"},
    {"SetCursorPosForm", "vornestw_texts.html#cursor"},
    {"PrefixForm", "vornestw_texts.html#prefix"},
};

} // namespace

HelpWindow::HelpWindow(QString helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_folder(std::move(helpFolder))
{
    setObjectName("HelpWindow");
    setWindowTitle("Vornest Help");
    // Help never keeps the program running on its own.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_search = new QLineEdit(this);
    m_search->setObjectName("HelpSearch");
    m_search->setPlaceholderText("Search");
    m_search->setClearButtonEnabled(true);
    m_list = new QListWidget(this);
    m_list->setObjectName("HelpPages");
    m_note = new QLabel(this);
    m_note->setObjectName("HelpSearchNote");
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    m_text = new QTextBrowser(this);
    m_text->setObjectName("HelpText");
    m_text->setSearchPaths({m_folder});

    for (const char* file : kPageFiles) {
        QFile html(QDir(m_folder).filePath(QLatin1String(file)));
        QTextDocument document;
        if (html.open(QIODevice::ReadOnly))
            document.setHtml(QString::fromUtf8(html.readAll()));
        const QString title = document.metaInformation(QTextDocument::DocumentTitle);
        m_pages.push_back({QLatin1String(file), title.isEmpty() ? QLatin1String(file) : title,
                           document.toPlainText()});
        m_list->addItem(m_pages.back().title);
    }

    auto* side = new QVBoxLayout;
    side->addWidget(m_search);
    side->addWidget(m_list, 1);
    side->addWidget(m_note);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(side, 1);
    layout->addWidget(m_text, 3);
    int titles = 0;
    for (const Page& page : m_pages)
        titles = std::max(titles, m_list->fontMetrics().horizontalAdvance(page.title));
    m_list->setMinimumWidth(titles + m_list->frameWidth() * 2 +
                            fontMetrics().averageCharWidth() * 2);
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 36);

    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this,
            &QWidget::close);
    connect(m_search, &QLineEdit::textChanged, this, &HelpWindow::Search);
    connect(m_search, &QLineEdit::returnPressed, this, &HelpWindow::FindNext);
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        ShowPage(m_pages[static_cast<std::size_t>(m_list->row(item))].file);
        m_text->find(m_search->text().trimmed());
    });
    connect(m_list, &QListWidget::itemClicked, m_list, &QListWidget::itemActivated);
    qApp->installEventFilter(this);
}

HelpWindow::~HelpWindow()
{
    qApp->removeEventFilter(this);
}

QString HelpWindow::PageFor(const QString& windowName)
{
    for (const WindowPage& entry : kWindowPages) {
        if (windowName == QLatin1String(entry.window))
            return QLatin1String(entry.page);
    }
    return QString();
}

void HelpWindow::ShowPage(const QString& page)
{
    const QString file = page.section('#', 0, 0);
    if (QFile::exists(QDir(m_folder).filePath(file)))
        m_text->setSource(QUrl(page));
    else
        m_text->setPlainText(QStringLiteral("The help page %1 is missing from %2: the "
                                            "installation is incomplete.")
                                 .arg(file, m_folder));
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i].file == file)
            m_list->setCurrentRow(static_cast<int>(i));
    }
    show();
    raise();
    activateWindow();
}

QString HelpWindow::CurrentPage() const
{
    return m_text->source().toString();
}

void HelpWindow::Search(const QString& words)
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

void HelpWindow::FindNext()
{
    const QString wanted = m_search->text().trimmed();
    if (wanted.isEmpty() || m_text->find(wanted))
        return;
    // On from the next page that holds it, round to this one's start.
    const int current = m_list->currentRow();
    const int count = static_cast<int>(m_pages.size());
    for (int step = 1; step <= count; ++step) {
        const int row = (current + step) % count;
        if (!m_list->item(row)->isHidden()) {
            ShowPage(m_pages[static_cast<std::size_t>(row)].file);
            m_text->find(wanted);
            return;
        }
    }
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
        !watched->isWidgetType())
        return false;
    // A message box over a window gets that window's page.
    for (QWidget* window = static_cast<QWidget*>(watched)->window(); window;
         window = window->parentWidget() ? window->parentWidget()->window() : nullptr) {
        const QString page = PageFor(window->objectName());
        if (!page.isEmpty()) {
            ShowPage(page);
            return true;
        }
    }
    return false;
}

void HelpWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FitIntoScreen(this);
}

} // namespace vornestw
