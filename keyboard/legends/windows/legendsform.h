#pragma once

#include "keylegends.h"

#include <QWidget>

#include <filesystem>
#include <memory>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace morvaw {

class UserDialogs;

// "Print legends": the legend of each key in a table, in the order the
// picture shows the keys, where it can be edited; the insert size; and the
// sheet printed on one of the system's printers (or into a PDF) through the
// print dialog, or saved as a PDF. Edited legends go into the legends file
// beside the layout before the sheet is printed or saved; the layout itself
// is only read.
class LegendsForm : public QWidget
{
    Q_OBJECT
public:
    explicit LegendsForm(UserDialogs& dialogs, QWidget* parent = nullptr);
    ~LegendsForm() override;

    // The layout's records and file name, for its legends file. A layout with
    // no name yet (an empty one) has no place for a legends file: its edited
    // legends stay in this window until it is saved or replaced.
    void open(const LayoutRecordArray& records, const std::string& layoutName);
    // The layout was saved as layoutName: legends edited while it had no name
    // (formerName empty) go beside it, and so do those of its former name.
    void followSavedLayout(const std::string& layoutName, const std::string& formerName);
    // Another layout took its place: legends edited while it had no name are dropped.
    void forgetUnnamedLegends();
    // Holds legends for a layout with no name yet (those back from its
    // recovery copy, say), as a legends file's text.
    void holdUnnamedLegends(const QByteArray& text);

signals:
    void closed();
    // The legends held for a layout with no name yet changed (as a legends
    // file's text; empty when there are none): its recovery copy keeps them.
    void unnamedLegendsChanged(const QByteArray& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Gives the cell being edited what was typed into it.
    void commitTypedLegend();
    void fillTable();
    void legendEdited(int row, int column);
    void resetSelectedLegends();
    void printSheet();
    void saveSheetAsPdf();
    // Keeps the edited legends beside the layout (or here, while it has no
    // name); keepLegends says why not and returns false.
    FileOutcome storeLegends();
    bool keepLegends();
    [[nodiscard]] QString title() const;
    // "shop-legends" for shop.KBD.
    [[nodiscard]] QString legendsPdfName() const;

    UserDialogs& m_dialogs;
    std::unique_ptr<KeyLegends> m_legends;
    std::filesystem::path m_layout;
    bool m_unnamed = false;
    // The legends file could not be read: it stays as it is (the user may
    // mend it) until a legend or the size is changed here.
    bool m_leaveFile = false;
    QByteArray m_unnamedLegends; // as a legends file's text
    QLabel* m_note = nullptr;
    QTableWidget* m_table = nullptr;
    QDoubleSpinBox* m_size = nullptr;
    QPushButton* m_print = nullptr; // the default button
    bool m_filling = false;
    bool m_keptOnClose = false; // the hide that follows a close has nothing to keep
};

} // namespace morvaw
