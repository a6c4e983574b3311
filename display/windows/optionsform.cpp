#include "optionsform.h"

#include "displaystate.h"
#include "displayutility.h"
#include "portchooser.h"
#include "portchooserform.h"
#include "printqueue.h"
#include "usernotice.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vornestw {

namespace {

// Each row holds its queue's name; the default printer's is empty.
constexpr int kQueueRole = Qt::UserRole;

} // namespace

OptionsForm::OptionsForm(DisplayUtility& utility, PortChooser& ports, UserNotice& notice,
                         QWidget* parent)
    : RadioChoiceForm(parent), m_utility(utility), m_ports(ports), m_notice(notice)
{
    setObjectName("OptionsForm");
    setWindowTitle("Configure connection");

    auto* frame = new QGroupBox("Communication device", this);
    frame->setObjectName("PortFrame");
    m_btnPorts = new QPushButton("Po&rts…", this);
    m_btnPorts->setObjectName("BtnPorts");
    m_btnTest = new QPushButton("&Test", this);
    m_btnTest->setObjectName("BtnTest");
    buildChoice("PortOption", {"COM &1", "COM &2", "COM &3", "COM &4", "&Printer"}, frame,
                {m_btnPorts, m_btnTest});
    m_portChooser = new PortChooserForm(ports, notice, this);
    connect(m_btnPorts, &QPushButton::clicked, this, &OptionsForm::BtnPorts_Click);
    connect(m_btnTest, &QPushButton::clicked, this, &OptionsForm::BtnTest_Click);

    // The queues stand beside "Printer", in the same frame.
    m_printerOption = frame->findChild<QRadioButton*>("PortOption_4");
    m_queueList = new QListWidget(frame);
    m_queueList->setObjectName("PrinterQueues");
    m_queueList->setMinimumWidth(fontMetrics().horizontalAdvance(QString(30, 'x')));
    m_queueList->setMaximumHeight(fontMetrics().height() * 7);
    m_queueNote = new QLabel(frame);
    m_queueNote->setObjectName("PrinterQueueNote");
    m_queueNote->setWordWrap(true);
    m_queueNote->setTextFormat(Qt::PlainText);
    m_queueNote->setMaximumWidth(m_queueList->minimumWidth());
    m_queueNote->hide();
    auto* options = static_cast<QVBoxLayout*>(frame->layout());
    options->removeWidget(m_printerOption);
    auto* queues = new QVBoxLayout;
    queues->addWidget(m_queueList);
    queues->addWidget(m_queueNote);
    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(m_printerOption, 0, Qt::AlignTop);
    printerRow->addLayout(queues);
    options->addLayout(printerRow);
    m_testResult = new QLabel(frame);
    m_testResult->setObjectName("ConnectionTest");
    m_testResult->setWordWrap(true);
    m_testResult->setTextFormat(Qt::PlainText);
    m_testResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_testResult->setMaximumWidth(m_queueList->minimumWidth() * 3 / 2);
    m_testResult->hide();
    options->addWidget(m_testResult);
    setTabOrder(m_printerOption, m_queueList);
    setTabOrder(m_queueList, m_btnOk);

    // Picking a queue picks the printer; a double click or Enter is Ok.
    connect(m_queueList, &QListWidget::itemClicked, this, [this] {
        m_printerOption->setChecked(true);
        setChosen(kPrinterPort);
    });
    connect(m_queueList, &QListWidget::itemDoubleClicked, this, [this] { BtnOk_Click(); });
    pressOnEnter(m_queueList, m_btnOk);
}

void OptionsForm::OpenForChannel()
{
    m_testResult->hide();
    // Until the print server answers, the current choice is all there is.
    m_queueList->clear();
    ShowQueues(std::nullopt);
    OpenWithOption(m_utility.state().Port);
    QTimer::singleShot(0, this, &OptionsForm::ListPrintQueues);
}

void OptionsForm::ListPrintQueues()
{
    if (m_listing || !isVisible())
        return;
    m_listing = true;
    m_queueNote->setText("Asking the print server for its queues...");
    m_queueNote->show();
    // The window keeps running meanwhile; the user may even close it.
    const PrintQueueList list = m_utility.ListPrintQueues();
    m_listing = false;
    ShowQueues(list);
}

void OptionsForm::ShowQueues(const std::optional<PrintQueueList>& answer)
{
    const PrintQueueList list = answer.value_or(PrintQueueList{});
    const QString selected =
        m_queueList->currentItem() != nullptr ? SelectedQueue() : m_utility.state().PrinterQueue;
    m_queueList->clear();
    QString defaultName;
    for (const PrintQueue& queue : list.queues) {
        if (queue.isDefault)
            defaultName = queue.name;
    }
    auto* byDefault = new QListWidgetItem(
        defaultName.isEmpty() ? QStringLiteral("default printer")
                              : QStringLiteral("default printer (%1)").arg(defaultName),
        m_queueList);
    byDefault->setData(kQueueRole, QString());
    bool known = selected.isEmpty();
    for (const PrintQueue& queue : list.queues) {
        auto* item =
            new QListWidgetItem(QStringLiteral("%1: %2").arg(queue.name, queue.state), m_queueList);
        item->setData(kQueueRole, queue.name);
        known = known || queue.name == selected;
    }
    // A chosen queue the server does not list stays visible, and chosen.
    if (!known) {
        auto* item = new QListWidgetItem(
            answer && !list.error ? QStringLiteral("%1: not on the print server").arg(selected)
                                  : selected,
            m_queueList);
        item->setData(kQueueRole, selected);
    }
    SelectQueue(selected);
    m_queueNote->setText(list.error.value_or(QString()));
    m_queueNote->setVisible(list.error.has_value());
}

void OptionsForm::SelectQueue(const QString& queue)
{
    for (int row = 0; row < m_queueList->count(); ++row) {
        if (m_queueList->item(row)->data(kQueueRole).toString() == queue)
            m_queueList->setCurrentRow(row);
    }
}

QString OptionsForm::SelectedQueue() const
{
    const QListWidgetItem* item = m_queueList->currentItem();
    return item != nullptr ? item->data(kQueueRole).toString() : m_utility.state().PrinterQueue;
}

void OptionsForm::optionChosen(int index)
{
    m_btnTest->setEnabled(index != kPrinterPort);
}

void OptionsForm::BtnPorts_Click()
{
    m_portChooser->OpenForPort(chosen() != kPrinterPort ? chosen() + 1 : 0);
}

void OptionsForm::BtnTest_Click()
{
    if (chosen() == kPrinterPort)
        return;
    m_testResult->setText(m_ports.TestConnection(chosen() + 1));
    m_testResult->show();
}

void OptionsForm::BtnOk_Click()
{
    // The port opens at once; a port that cannot be opened keeps the old
    // channel and this window, so that another one can be chosen.
    if (const auto error = m_utility.ChangePort(chosen(), SelectedQueue())) {
        m_notice.message(UserNotice::Severity::Critical, "Vornest", *error);
        return;
    }
    CloseForm();
}

} // namespace vornestw
