#pragma once

#include "helpadapter.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace morvaw {

// The help window: the pages the help file names in a list, one of them
// shown, and a search field that keeps the pages holding what is typed and
// finds it, place after place, on Return. F1 in it shows how to use help.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The pages of this help file, in the index's order.
    void setPages(const QString& helpFile, const std::vector<QString>& pages);
    void showPage(const QString& page);
    void showText(const QString& html);
    [[nodiscard]] QTextBrowser* browser() const { return m_text; }
    [[nodiscard]] QString helpOnHelpPage() const { return m_helpOnHelp; }
    void setHelpOnHelpPage(const QString& page) { m_helpOnHelp = page; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Page
    {
        QString file;
        QString title;
        QString text; // for the search
    };

    void search(const QString& words);
    void findNext();

    QString m_folder;
    QString m_helpOnHelp;
    std::vector<Page> m_pages;
    QLineEdit* m_search = nullptr; // HelpSearch
    QListWidget* m_list = nullptr; // HelpPages
    QTextBrowser* m_text = nullptr;
    QLabel* m_note = nullptr;
};

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
    [[nodiscard]] HelpWindow* window() const { return m_window; }

private:
    QPointer<HelpWindow> m_window;
};

} // namespace morvaw
