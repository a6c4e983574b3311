#include "portchooserform.h"

#include "screenfit.h"
#include "usernotice.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vornestw {

namespace {

enum Column { DeviceColumn, PortColumn, StateColumn, AboutColumn };

QString aboutText(const SerialDevice& device)
{
    QStringList about;
    for (const QString& part : {device.description, device.manufacturer})
        if (!part.isEmpty())
            about << part;
    if (!device.serialNumber.isEmpty())
        about << QStringLiteral("serial number %1").arg(device.serialNumber);
    return about.join(QStringLiteral(", "));
}

} // namespace

PortChooserForm::PortChooserForm(PortChooser& chooser, UserNotice& notice, QWidget* parent)
    : QDialog(parent), m_chooser(chooser), m_notice(notice)
{
    setObjectName("PortChooserForm");
    setWindowTitle("Serial ports");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_list = new QTreeWidget(this);
    m_list->setObjectName("PortList");
    m_list->setHeaderLabels({"Device", "Bound to", "State", "Adapter"});
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    // What the user must read comes first; the adapter's names may be cut.
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(AboutColumn, QHeaderView::Stretch);
    m_list->setMinimumHeight(fontMetrics().height() * 6);
    // Wide enough for a stable name (/dev/serial/by-id/usb-...) and its state.
    m_list->setMinimumWidth(fontMetrics().averageCharWidth() * 100);
    m_details = new QLabel(this);
    m_details->setObjectName("PortDetails");
    m_details->setTextFormat(Qt::PlainText);
    m_details->setWordWrap(true);
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_details->setMinimumHeight(fontMetrics().height() * 4);
    m_details->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_port = new QComboBox(this);
    m_port->setObjectName("BindPort");
    for (int com = 1; com <= PortBindings::kPortCount; ++com)
        m_port->addItem(QStringLiteral("COM %1").arg(com), com);
    m_btnBind = new QPushButton("&Bind", this);
    m_btnBind->setObjectName("BtnBind");
    m_btnBind->setDefault(true);
    m_btnUnbind = new QPushButton("&Unbind", this);
    m_btnUnbind->setObjectName("BtnUnbind");
    m_btnClose = new QPushButton("Close", this);
    m_btnClose->setObjectName("BtnClose");
    m_btnClose->setAutoDefault(false);

    auto* bindRow = new QHBoxLayout;
    auto* forLabel = new QLabel("&Port:", this);
    forLabel->setBuddy(m_port);
    bindRow->addWidget(forLabel);
    bindRow->addWidget(m_port);
    bindRow->addWidget(m_btnBind);
    bindRow->addWidget(m_btnUnbind);
    bindRow->addStretch();
    bindRow->addWidget(m_btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_details);
    layout->addLayout(bindRow);

    connect(m_list, &QTreeWidget::currentItemChanged, this, &PortChooserForm::ShowSelected);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &PortChooserForm::BtnBind_Click);
    connect(m_port, &QComboBox::currentIndexChanged, this, &PortChooserForm::ShowSelected);
    connect(m_btnBind, &QPushButton::clicked, this, &PortChooserForm::BtnBind_Click);
    connect(m_btnUnbind, &QPushButton::clicked, this, &PortChooserForm::BtnUnbind_Click);
    connect(m_btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(&chooser.system(), &PortSystem::changed, this, [this] {
        if (isVisible())
            Refresh();
    });
}

void PortChooserForm::OpenForPort(int comNumber)
{
    if (comNumber >= 1 && comNumber <= PortBindings::kPortCount)
        m_port->setCurrentIndex(comNumber - 1);
    m_list->clear();
    open();
    Refresh();
    m_list->setFocus();
}

void PortChooserForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FitIntoScreen(this);
}

void PortChooserForm::Refresh()
{
    const PortRow* selected = SelectedRow();
    const QString keep = selected ? selected->device.location : QString();
    m_rows = m_chooser.List();
    m_list->clear();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const PortRow& row = m_rows[i];
        auto* item = new QTreeWidgetItem(m_list, {row.device.location, BoundPortsText(row.boundTo),
                                                  row.diagnosis.state, aboutText(row.device)});
        item->setToolTip(AboutColumn, aboutText(row.device));
        item->setData(DeviceColumn, Qt::UserRole, static_cast<int>(i));
        if (row.device.location == keep || (keep.isEmpty() && i == 0))
            m_list->setCurrentItem(item);
    }
    if (m_rows.empty())
        m_details->setText("No serial device found. Plug the display's adapter in; the list "
                           "follows.");
    ShowSelected();
}

const PortRow* PortChooserForm::SelectedRow() const
{
    const QTreeWidgetItem* item = m_list->currentItem();
    if (!item)
        return nullptr;
    const int index = item->data(DeviceColumn, Qt::UserRole).toInt();
    return index >= 0 && index < static_cast<int>(m_rows.size()) ? &m_rows[index] : nullptr;
}

int PortChooserForm::ChosenPort() const
{
    return m_port->currentData().toInt();
}

void PortChooserForm::ShowSelected()
{
    const PortRow* row = SelectedRow();
    m_btnBind->setEnabled(row && row->facts.kind == PortFacts::Kind::CharacterDevice);
    m_btnUnbind->setEnabled(m_chooser.bindings().LinkTarget(ChosenPort()).has_value());
    if (!row)
        return;
    QStringList lines{row->device.location};
    if (!row->device.stableName.isEmpty())
        lines << QStringLiteral("Stable name: %1").arg(row->device.stableName);
    if (!row->boundTo.empty())
        lines << QStringLiteral("Bound to %1").arg(BoundPortsText(row->boundTo));
    lines << row->diagnosis.advice;
    m_details->setText(lines.join('\n'));
}

void PortChooserForm::BtnBind_Click()
{
    const PortRow* row = SelectedRow();
    if (!row || !m_btnBind->isEnabled())
        return;
    if (const auto error = m_chooser.Bind(ChosenPort(), row->device))
        m_notice.message(UserNotice::Severity::Critical, "Vornest", *error);
    Refresh();
}

void PortChooserForm::BtnUnbind_Click()
{
    if (const auto error = m_chooser.Unbind(ChosenPort()))
        m_notice.message(UserNotice::Severity::Critical, "Vornest", *error);
    Refresh();
}

} // namespace vornestw
