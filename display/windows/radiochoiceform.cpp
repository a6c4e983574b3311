#include "radiochoiceform.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vornestw {

RadioChoiceForm::RadioChoiceForm(QWidget* parent) : ChildForm(parent) {}

void RadioChoiceForm::buildChoice(const QString& name, const QStringList& captions,
                                  QGroupBox* frame, const QList<QPushButton*>& extra)
{
    m_btnOk = new QPushButton("&Ok", this);
    m_btnOk->setObjectName("BtnOk");
    m_btnOk->setDefault(true);
    setEnterPressesDefault(true);
    m_btnCancel = new QPushButton("&Cancel", this);
    m_btnCancel->setObjectName("BtnCancel");

    auto* options = frame ? new QVBoxLayout(frame) : new QVBoxLayout;
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions[i], frame ? static_cast<QWidget*>(frame) : this);
        option->setObjectName(QStringLiteral("%1_%2").arg(name).arg(i));
        pressOnEnter(option, m_btnOk);
        connect(option, &QRadioButton::clicked, this, [this, i] { setChosen(i); });
        options->addWidget(option);
        m_options.push_back(option);
    }

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_btnOk);
    for (QPushButton* button : extra)
        buttons->addWidget(button);
    buttons->addWidget(m_btnCancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    if (frame) {
        layout->addWidget(frame);
    } else {
        layout->addLayout(options);
        layout->addSpacing(12);
    }
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab follows the layout: the options, then the buttons from the top.
    QList<QWidget*> order(m_options.begin(), m_options.end());
    order << m_btnOk;
    for (QPushButton* button : extra)
        order << button;
    order << m_btnCancel;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_btnOk, &QPushButton::clicked, this, [this] { BtnOk_Click(); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { onCancel(); });
}

void RadioChoiceForm::OpenWithOption(int index)
{
    const bool valid = index >= 0 && index < static_cast<int>(m_options.size());
    if (valid) {
        m_options[static_cast<std::size_t>(index)]->setChecked(true);
        setChosen(index);
    }
    Open();
    if (valid)
        m_options[static_cast<std::size_t>(index)]->setFocus();
}

} // namespace vornestw
