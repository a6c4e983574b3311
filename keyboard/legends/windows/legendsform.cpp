#include "legendsform.h"

#include "keyboardpicture.h"
#include "legendscommand.h"
#include "legendsheet.h"
#include "regularfile.h"
#include "settingsfile.h"
#include "userdialogs.h"

#include <QAbstractItemDelegate>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace morvaw {

namespace {

enum Column { KeyColumn = 0, LegendColumn = 1, Func1Column = 2, Func2Column = 3 };
const char* const kKeyNumber = "keyNumber";

// The keys the picture shows, by rows from the top left.
std::vector<int> keysInPictureOrder(std::uint8_t shape)
{
    std::vector<InsertPlace> places = PlanLegendSheet(shape, 10, QSizeF(1000, 1000)).inserts;
    std::stable_sort(places.begin(), places.end(), [](const InsertPlace& a, const InsertPlace& b) {
        return std::pair(a.mm.top(), a.mm.left()) < std::pair(b.mm.top(), b.mm.left());
    });
    std::vector<int> keys;
    for (const InsertPlace& p : places)
        keys.push_back(p.key);
    return keys;
}

QPushButton* button(const QString& name, const QString& text)
{
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    return b;
}

} // namespace

LegendsForm::LegendsForm(UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("LegendsForm"));
    setWindowTitle(QStringLiteral("Print legends"));
    auto* layout = new QVBoxLayout(this);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    layout->addWidget(m_note);

    m_table = new QTableWidget(0, 4, this);
    m_table->setObjectName(QStringLiteral("LegendTable"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Key"), QStringLiteral("Legend"),
                                        QStringLiteral("Func1"), QStringLiteral("Func2")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(LegendColumn, QHeaderView::Stretch);
    m_table->setColumnWidth(KeyColumn, 50);
    m_table->setColumnWidth(Func1Column, 160);
    m_table->setColumnWidth(Func2Column, 160);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(m_table, &QTableWidget::cellChanged, this, &LegendsForm::legendEdited);
    layout->addWidget(m_table);

    auto* size = new QHBoxLayout;
    auto* sizeLabel = new QLabel(QStringLiteral("Insert &size:"), this);
    m_size = new QDoubleSpinBox(this);
    m_size->setObjectName(QStringLiteral("InsertSize"));
    m_size->setRange(KeyLegends::kMinSizeMm, KeyLegends::kMaxSizeMm);
    m_size->setDecimals(1);
    m_size->setSingleStep(0.5);
    m_size->setSuffix(QStringLiteral(" mm"));
    sizeLabel->setBuddy(m_size);
    connect(m_size, &QDoubleSpinBox::valueChanged, this, [this](double mm) {
        if (m_legends)
            m_legends->setSizeMm(mm);
        if (!m_filling)
            m_leaveFile = false;
        if (m_unnamed && !m_filling)
            (void)storeLegends();
    });
    size->addWidget(sizeLabel);
    size->addWidget(m_size);
    size->addStretch();
    QPushButton* reset = button(QStringLiteral("ResetLegend"), QStringLiteral("&Reset legend"));
    QPushButton* print = m_print =
        button(QStringLiteral("PrintLegends"), QStringLiteral("&Print\u2026"));
    QPushButton* pdf = button(QStringLiteral("SavePdf"), QStringLiteral("Save as P&DF\u2026"));
    QPushButton* close = button(QStringLiteral("CloseLegends"), QStringLiteral("&Close"));
    print->setDefault(true);
    connect(reset, &QPushButton::clicked, this, &LegendsForm::resetSelectedLegends);
    connect(print, &QPushButton::clicked, this, &LegendsForm::printSheet);
    connect(pdf, &QPushButton::clicked, this, &LegendsForm::saveSheetAsPdf);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    for (QPushButton* b : {reset, print, pdf, close})
        size->addWidget(b);
    layout->addLayout(size);
    resize(640, 560);
}

LegendsForm::~LegendsForm()
{
    // A cell editor still open commits as it goes with the table, after this
    // object's own part is gone.
    disconnect(m_table, nullptr, this, nullptr);
}

void LegendsForm::open(const LayoutRecordArray& records, const std::string& layoutName)
{
    m_unnamed = layoutName.empty();
    m_layout = m_unnamed ? std::string(kUntitledName) : layoutName;
    m_legends = std::make_unique<KeyLegends>(records);
    m_leaveFile = false;
    const std::filesystem::path file = KeyLegends::FileFor(m_layout);
    if (m_unnamed) {
        (void)m_legends->readText(m_unnamedLegends); // this window's own text
        m_note->setText(QStringLiteral(
            "Each key's legend is what it types until you change it here. The layout has no "
            "name yet: changed legends are kept beside it once it is saved."));
    } else {
        if (const FileOutcome read = m_legends->load(file); !read.ok) {
            m_leaveFile = true;
            m_dialogs.warn(QStringLiteral("The edited legends could not be read from\n%1\n\n%2\n\n"
                                          "The keys' own texts are shown. The file is left as it "
                                          "is until you change a legend or the size here.")
                               .arg(ToQtPath(file.string()), read.reason),
                           QString::fromLatin1(kApplicationTitle));
        }
        m_note->setText(
            QStringLiteral("Each key's legend is what it types until you change it here. "
                           "Changed legends are kept in %1, beside the layout.")
                .arg(ToQtPath(file.filename().string())));
    }
    m_filling = true;
    m_size->setValue(m_legends->sizeMm());
    m_filling = false;
    fillTable();
    show();
    raise();
    activateWindow();
}

void LegendsForm::fillTable()
{
    m_filling = true;
    const std::vector<int> keys = keysInPictureOrder(m_legends->shape());
    m_table->setRowCount(static_cast<int>(keys.size()));
    for (int row = 0; row < static_cast<int>(keys.size()); ++row) {
        const int key = keys[static_cast<std::size_t>(row)];
        auto cell = [&](int column, const QString& text, bool editable) {
            auto* item = new QTableWidgetItem(text);
            item->setData(Qt::UserRole, key);
            if (!editable)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            m_table->setItem(row, column, item);
            return item;
        };
        cell(KeyColumn, QStringLiteral("#%1").arg(key), false);
        QTableWidgetItem* legend = cell(LegendColumn, m_legends->legend(key), true);
        QFont f = legend->font();
        f.setBold(m_legends->isEdited(key));
        legend->setFont(f);
        cell(Func1Column, m_legends->levelText(key, 1), false);
        cell(Func2Column, m_legends->levelText(key, 2), false);
    }
    m_filling = false;
}

void LegendsForm::legendEdited(int row, int column)
{
    if (m_filling || column != LegendColumn || !m_legends)
        return;
    QTableWidgetItem* item = m_table->item(row, column);
    const int key = item->data(Qt::UserRole).toInt();
    m_legends->setLegend(key, item->text());
    m_leaveFile = false;
    // Edited legends stand out; the item itself stays, as its editor may still be closing.
    QFont f = item->font();
    f.setBold(m_legends->isEdited(key));
    m_filling = true;
    item->setFont(f);
    m_filling = false;
    // Held for a layout with no name at each change, for its recovery copy.
    if (m_unnamed)
        (void)storeLegends();
}

void LegendsForm::resetSelectedLegends()
{
    if (!m_legends)
        return;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows()) {
        m_legends->resetLegend(m_table->item(index.row(), KeyColumn)->data(Qt::UserRole).toInt());
        m_leaveFile = false;
    }
    fillTable();
    if (m_unnamed)
        (void)storeLegends();
}

QString LegendsForm::legendsPdfName() const
{
    return QFileInfo(ToQtPath(m_layout.string())).completeBaseName() + QStringLiteral("-legends");
}

QString LegendsForm::title() const
{
    return ToQtPath(m_layout.filename().string());
}

FileOutcome LegendsForm::storeLegends()
{
    if (m_unnamed) {
        holdUnnamedLegends(m_legends->toText());
        return {};
    }
    if (m_leaveFile)
        return {};
    return m_legends->save(KeyLegends::FileFor(m_layout));
}

bool LegendsForm::keepLegends()
{
    commitTypedLegend(); // a button's Alt key leaves the cell being typed in
    const FileOutcome saved = storeLegends();
    if (!saved.ok)
        m_dialogs.warn(QStringLiteral("The edited legends could not be kept in\n%1\n\n%2")
                           .arg(ToQtPath(KeyLegends::FileFor(m_layout).string()), saved.reason),
                       QString::fromLatin1(kApplicationTitle));
    return saved.ok;
}

void LegendsForm::printSheet()
{
    if (!m_legends)
        return;
    (void)keepLegends();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    // The print job's name, and the file name the dialog offers for a PDF.
    printer.setDocName(legendsPdfName());
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Print legends"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!PaintLegendSheet(printer, *m_legends, title()))
        m_dialogs.warn(QStringLiteral("The legends could not be printed on %1.")
                           .arg(printer.printerName().isEmpty() ? printer.outputFileName()
                                                                : printer.printerName()),
                       QString::fromLatin1(kApplicationTitle));
}

void LegendsForm::saveSheetAsPdf()
{
    if (!m_legends)
        return;
    (void)keepLegends();
    const QString suggested = legendsPdfName() + QStringLiteral(".pdf");
    const auto chosen = m_dialogs.saveFileName(
        {QStringLiteral("PDF files (*.pdf)|*.pdf"), QStringLiteral("pdf"), suggested});
    if (!chosen)
        return;
    if (QFileInfo::exists(*chosen) &&
        m_dialogs.askYesNo(QStringLiteral("%1 already exists. Replace it?").arg(*chosen),
                           QString::fromLatin1(kApplicationTitle)) != Answer::Yes)
        return;
    const QByteArray pdf = LegendsPdf(*m_legends, title());
    const FileOutcome written =
        pdf.isEmpty() ? FileOutcome::failed(QStringLiteral("The PDF could not be drawn."))
                      : ReplaceFileContents(FromQtPath(*chosen), pdf);
    if (!written.ok)
        m_dialogs.warn(QStringLiteral("The legends could not be saved to\n%1\n\n%2")
                           .arg(*chosen, written.reason),
                       QString::fromLatin1(kApplicationTitle));
}

void LegendsForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        m_print->click(); // as in a dialog; a cell being edited keeps its Return
    else
        QWidget::keyPressEvent(event);
}

void LegendsForm::commitTypedLegend()
{
    // A legend still being typed counts: its cell would take it at the focus change.
    if (QWidget* editor = m_table->indexWidget(m_table->currentIndex()))
        emit m_table->itemDelegate()->commitData(editor);
}

void LegendsForm::closeEvent(QCloseEvent* event)
{
    if (m_legends)
        (void)keepLegends();
    m_keptOnClose = true;
    event->accept();
    emit closed();
}

void LegendsForm::hideEvent(QHideEvent* event)
{
    // Hidden without a close, the program ends (a logout): the legends are
    // kept all the same, and nothing may ask or warn now.
    if (!std::exchange(m_keptOnClose, false) && !event->spontaneous() && m_legends) {
        commitTypedLegend();
        (void)storeLegends();
    }
    QWidget::hideEvent(event);
}

void LegendsForm::followSavedLayout(const std::string& layoutName, const std::string& formerName)
{
    if (formerName.empty() && m_unnamedLegends.isEmpty())
        return;
    KeyLegends legends(LayoutRecordArray{});
    const std::filesystem::path file = KeyLegends::FileFor(layoutName);
    const FileOutcome kept = !formerName.empty() ? KeyLegends::CarryOver(formerName, layoutName)
                             : legends.readText(m_unnamedLegends).ok ? legends.save(file)
                                                                     : FileOutcome{};
    if (!kept.ok)
        m_dialogs.warn(QStringLiteral("The edited legends could not be kept in\n%1\n\n%2")
                           .arg(ToQtPath(file.string()), kept.reason),
                       QString::fromLatin1(kApplicationTitle));
    holdUnnamedLegends({});
}

void LegendsForm::forgetUnnamedLegends()
{
    holdUnnamedLegends({});
}

void LegendsForm::holdUnnamedLegends(const QByteArray& text)
{
    if (text == m_unnamedLegends)
        return;
    m_unnamedLegends = text;
    emit unnamedLegendsChanged(m_unnamedLegends);
}

} // namespace morvaw
