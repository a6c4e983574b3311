#include "optionsform.h"

#include "displaystate.h"
#include "displayutility.h"
#include "outputchannel.h"
#include "usernotice.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vornestw {

OptionsForm::OptionsForm(DisplayUtility& utility, UserNotice& notice, QWidget* parent)
    : ChildForm(parent), m_utility(utility), m_notice(notice)
{
    setObjectName("OptionsForm");
    setWindowTitle("Configure connection");

    auto* frame = new QGroupBox("Communication device", this);
    frame->setObjectName("PortFrame");
    auto* options = new QVBoxLayout(frame);
    const char* captions[] = {"COM &1", "COM &2", "COM &3", "COM &4", "&Printer"};
    for (int i = 0; i < 5; ++i) {
        auto* option = new QRadioButton(captions[i], frame);
        option->setObjectName(QStringLiteral("PortOption_%1").arg(i));
        pressOnEnter(option, [this] { BtnOk_Click(); });
        connect(option, &QRadioButton::clicked, this, [this, i] { m_newPort = i; });
        options->addWidget(option);
        m_portOption[static_cast<std::size_t>(i)] = option;
    }

    m_btnOk = new QPushButton("&Ok", this);
    m_btnOk->setObjectName("BtnOk");
    m_btnOk->setDefault(true);
    setEnterPressesDefault(true);
    m_btnCancel = new QPushButton("&Cancel", this);
    m_btnCancel->setObjectName("BtnCancel");
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_btnOk);
    buttons->addWidget(m_btnCancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_btnOk, &QPushButton::clicked, this, &OptionsForm::BtnOk_Click);
    connect(m_btnCancel, &QPushButton::clicked, this, &OptionsForm::CloseForm);
}

void OptionsForm::OpenWithPort(int port)
{
    if (port >= 0 && port < 5) {
        m_portOption[static_cast<std::size_t>(port)]->setChecked(true);
        m_newPort = port;
    }
    Open();
    if (port >= 0 && port < 5)
        m_portOption[static_cast<std::size_t>(port)]->setFocus();
}

void OptionsForm::BtnOk_Click()
{
    // The port opens at once; a port that cannot be opened keeps the old
    // channel and this window, so that another one can be chosen.
    if (const auto error = m_utility.channel().ChangePort(m_newPort)) {
        m_notice.message("Vornest", *error);
        return;
    }
    CloseForm();
}

} // namespace vornestw
