#include "keybconf.h"

#include "bytescrollbar.h"
#include "dialogkeys.h"
#include "optioncontrols.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace morvaw {

KeybConf::KeybConf(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("KeybConf"));
    setWindowTitle(QStringLiteral("Keyboard Configure"));

    auto* typeFrame = new QGroupBox(QStringLiteral("Keyboard Type"), this);
    auto* typeColumn = new QVBoxLayout(typeFrame);
    const std::array<QString, 3> types = {QStringLiteral("&No macros"), QStringLiteral("&Reduced"),
                                          QStringLiteral("&Enhanced")};
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(types[static_cast<std::size_t>(i)], typeFrame);
        option->setObjectName(QStringLiteral("kbd_%1").arg(i));
        const auto type = static_cast<KeyboardKind>(i);
        connect(option, &QRadioButton::clicked, this,
                [this, type] { run([&] { m_logic.pickType(type); }); });
        m_kbd[static_cast<std::size_t>(i)] = option;
        typeColumn->addWidget(option);
    }

    auto* shapeFrame = new QGroupBox(QStringLiteral("Keypad shape"), this);
    auto* shapeColumn = new QVBoxLayout(shapeFrame);
    const std::array<QString, 2> shapes = {QStringLiteral("12 x &7"), QStringLiteral("14 x& 6")};
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(shapes[static_cast<std::size_t>(i)], shapeFrame);
        option->setObjectName(QStringLiteral("kbdshape_%1").arg(i));
        const auto shape = static_cast<KeybConfLogic::Shape>(i);
        connect(option, &QRadioButton::clicked, this,
                [this, shape] { run([&] { m_logic.pickShape(shape); }); });
        m_kbdShape[static_cast<std::size_t>(i)] = option;
        shapeColumn->addWidget(option);
    }
    shapeColumn->addStretch();

    m_kbdLang = new QComboBox(this);
    m_kbdLang->setObjectName(QStringLiteral("KbdLang"));
    for (int i = 0; i < KeybConfLogic::kLanguageCount; ++i)
        m_kbdLang->addItem(KeybConfLogic::LangSt(i));
    connect(m_kbdLang, &QComboBox::activated, this,
            [this](int index) { run([&] { m_logic.pickLanguage(index); }); });

    m_buzzer = new QCheckBox(this);
    m_buzzer->setObjectName(QStringLiteral("cbBuzzerEnable"));
    connect(m_buzzer, &QCheckBox::clicked, this,
            [this](bool checked) { run([&] { m_logic.setBuzzer(checked); }); });

    auto* delays = new QGridLayout;
    const std::array<QString, 2> captions = {QStringLiteral("Macro play delay"),
                                             QStringLiteral("Delay key time")};
    for (int i = 0; i < 2; ++i) {
        const auto delay = static_cast<KeybConfLogic::Delay>(i);
        auto* text = new QLineEdit(this);
        text->setObjectName(QStringLiteral("Text1_%1").arg(i));
        text->setFixedWidth(text->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
        text->setMaxLength(20);
        connect(text, &QLineEdit::textEdited, this,
                [this, delay](const QString& t) { run([&] { m_logic.typeDelay(delay, t); }); });
        auto* bar = new ByteScrollBar(this);
        bar->setObjectName(QStringLiteral("VScr_%1").arg(i));
        bar->setFixedHeight(text->sizeHint().height());
        connect(bar, &ByteScrollBar::byteChanged, this,
                [this, delay](int v) { run([&] { m_logic.scrollDelay(delay, v); }); });
        m_text1[static_cast<std::size_t>(i)] = text;
        m_vscr[static_cast<std::size_t>(i)] = bar;
        delays->addWidget(new QLabel(captions[static_cast<std::size_t>(i)], this), i, 0);
        auto* cell = new QHBoxLayout;
        cell->setSpacing(0);
        cell->addWidget(text);
        cell->addWidget(bar);
        cell->addStretch();
        delays->addLayout(cell, i, 1);
    }

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    connect(ok, &QPushButton::clicked, this, [this] { run([&] { m_logic.accept(); }); });
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    connect(cancel, &QPushButton::clicked, this, [this] { run([&] { m_logic.cancel(); }); });
    GiveDialogKeys(this, ok, cancel);

    auto* frames = new QHBoxLayout;
    frames->addWidget(typeFrame);
    frames->addWidget(shapeFrame);
    auto* language = new QHBoxLayout;
    language->addWidget(new QLabel(QStringLiteral("Keyboard language"), this));
    language->addWidget(m_kbdLang, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(language);
    layout->addWidget(m_buzzer);
    layout->addLayout(delays);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    syncView();
}

void KeybConf::open(const KeyboardOptions& options)
{
    run([&] { m_logic.open(options); });
    show();
    raise();
    activateWindow();
}

template <typename Command> void KeybConf::run(Command command)
{
    command();
    syncView();
    if (m_logic.IsOpen() || !isVisible())
        return;
    hide();
    if (const auto options = m_logic.takeAccepted())
        emit accepted(*options);
    emit closed();
}

void KeybConf::syncView()
{
    const int type = m_logic.SelectedType();
    for (int i = 0; i < 3; ++i)
        SetOptionChecked(m_kbd[static_cast<std::size_t>(i)], i == type);
    for (int i = 0; i < 2; ++i)
        SetOptionChecked(m_kbdShape[static_cast<std::size_t>(i)], i == m_logic.SelectedShape());
    {
        QSignalBlocker block(m_kbdLang);
        m_kbdLang->setCurrentIndex(m_logic.LangListIndex());
    }
    m_buzzer->setChecked(m_logic.BuzzerOn());
    m_buzzer->setText(m_logic.BuzzerCaption());
    for (const auto delay : {KeybConfLogic::MacroPlayDelay, KeybConfLogic::DelayKeyTime}) {
        ShowText(m_text1[delay], m_logic.Text1(delay));
        m_vscr[delay]->showByte(m_logic.VScr(delay));
    }
}

void KeybConf::closeEvent(QCloseEvent* event)
{
    // Loaded once: closing from the frame only hides it and hands back.
    event->ignore();
    run([&] { m_logic.closeWindow(); });
}

void KeybConf::hideEvent(QHideEvent* event)
{
    // A logout or a kill hides it while still open: what Ok would take goes
    // into the layout in memory, and so into its recovery copy. Ok, Cancel
    // and the close box close the logic before the window hides.
    if (!event->spontaneous()) {
        if (const auto options = m_logic.unconfirmedOptions())
            emit accepted(*options);
    }
    QWidget::hideEvent(event);
}

} // namespace morvaw
