#pragma once

#include <QString>
#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace vornestw {

// The utility's help: its HTML pages from the program folder, a list of them
// and a search field that keeps the pages holding what is typed and finds
// it, place after place, on Return. F1 anywhere opens the page of the window
// that has the focus.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QString helpFolder, QWidget* parent = nullptr);
    ~HelpWindow() override;

    // "vornestw_texts.html#cursor": a page, and a place on it.
    void ShowPage(const QString& page);
    // The page of a window, by the window's object name; empty for none.
    [[nodiscard]] static QString PageFor(const QString& windowName);
    // The page shown, with its place ("vornestw.html").
    [[nodiscard]] QString CurrentPage() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Page
    {
        QString file;
        QString title;
        QString text; // for the search
    };

    void Search(const QString& words);
    void FindNext();

    QString m_folder;
    std::vector<Page> m_pages;
    QLineEdit* m_search = nullptr; // HelpSearch
    QListWidget* m_list = nullptr; // HelpPages
    QTextBrowser* m_text = nullptr;
    QLabel* m_note = nullptr;
};

} // namespace vornestw
