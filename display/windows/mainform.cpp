#include "mainform.h"

#include "displaylongform.h"
#include "displaystate.h"
#include "displaytwolinesform.h"
#include "displayutility.h"
#include "helpwindow.h"
#include "optionsform.h"
#include "outputchannel.h"
#include "prefixform.h"
#include "screenfit.h"
#include "senttext.h"
#include "setcursorposform.h"
#include "setmodeform.h"
#include "settingsfile.h"
#include "usernotice.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace vornestw {

MainForm::MainForm(DisplayUtility& utility, PortChooser& ports, UserNotice& notice,
                   const SettingsFile& settings, const QString& helpFolder, QWidget* parent)
    : QMainWindow(parent), m_utility(utility), m_notice(notice), m_settings(settings)
{
    setObjectName("MainForm");
    setWindowTitle("Vornest");

    auto* central = new QWidget(this);
    auto* frame1 = new QGroupBox("Info", central);
    frame1->setObjectName("Frame1");
    m_label2 = new QLabel("Port: Com1", frame1);
    m_label2->setObjectName("Label2");
    m_label2->setTextFormat(Qt::PlainText); // it may hold a queue's name
    m_label3 = new QLabel("Mode: QN", frame1);
    m_label3->setObjectName("Label3");
    auto* info = new QVBoxLayout(frame1);
    info->addWidget(m_label2);
    info->addWidget(m_label3);

    auto* frame2 = new QGroupBox("Last sended string:", central);
    frame2->setObjectName("Frame2");
    auto* sent = new QVBoxLayout(frame2);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // The echo stays readable while another window holds the main one.
    // (A selectable label draws with the Text colour while disabled.)
    QPalette echoColours = palette();
    const QColor ink = echoColours.color(QPalette::Active, QPalette::WindowText);
    echoColours.setColor(QPalette::Disabled, QPalette::WindowText, ink);
    echoColours.setColor(QPalette::Disabled, QPalette::Text, ink);
    for (std::size_t i = 0; i < m_sentLabels.size(); ++i) {
        auto* label = new QLabel(frame2);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 4));
        label->setFont(fixed);
        label->setPalette(echoColours);
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // Room for 50 characters, so the four lines never reflow.
        label->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(50, 'M')) + 4);
        label->setMinimumHeight(QFontMetrics(fixed).height());
        sent->addWidget(label);
        m_sentLabels[i] = label;
    }
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(frame1);
    layout->addWidget(frame2);
    layout->addStretch();
    // A window system that makes the window smaller than it asks for gets
    // scroll bars, never the lines drawn over one another.
    auto* scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(central);
    setCentralWidget(scroller);

    m_menuSetup = menuBar()->addMenu("&Setup");
    m_menuSetup->setObjectName("MenuSetup");
    auto addAction = [this](QMenu* menu, const char* name, const QString& caption,
                            void (MainForm::*slot)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        if (slot != nullptr)
            connect(action, &QAction::triggered, this, slot);
        return action;
    };
    addAction(m_menuSetup, "MenuSetMode", "Set &mode", &MainForm::MenuSetMode_Click);
    addAction(m_menuSetup, "Configure", "&Connection", &MainForm::Configure_Click);
    addAction(m_menuSetup, "MenuDefault", "&Default configuration", &MainForm::MenuDefault_Click);
    m_menuSetup->addSeparator()->setObjectName("N0");
    addAction(m_menuSetup, "MenuExit", "E&xit", &MainForm::MenuExit_Click);

    m_menuTest = menuBar()->addMenu("&Test");
    m_menuTest->setObjectName("MenuTest");
    for (int i = 0; i < static_cast<int>(m_menuFunction.size()); ++i) {
        QAction* action = m_menuTest->addAction(i == 0 ? "&Display" : QString());
        action->setObjectName(QStringLiteral("MenuFunction_%1").arg(i));
        action->setVisible(i == 0);
        connect(action, &QAction::triggered, this, [this, i] { MenuFunction_Click(i); });
        m_menuFunction[static_cast<std::size_t>(i)] = action;
    }

    m_menuHelp = menuBar()->addMenu("&Help");
    m_menuHelp->setObjectName("Help");
    QAction* contents = addAction(m_menuHelp, "Contents", "&Contents", nullptr);
    contents->setShortcut(QKeySequence::HelpContents);
    contents->setShortcutContext(Qt::WidgetShortcut); // F1 is the help window's everywhere
    connect(contents, &QAction::triggered, this,
            [this] { m_help->ShowPage(HelpWindow::PageFor(objectName())); });
    m_menuHelp->addSeparator()->setObjectName("N1");
    addAction(m_menuHelp, "About", "&About", &MainForm::About_Click);

    m_twoLinesForm = std::make_unique<DisplayTwoLinesForm>(utility);
    m_longForm = std::make_unique<DisplayLongForm>(utility);
    m_cursorForm = std::make_unique<SetCursorPosForm>(utility);
    m_prefixForm = std::make_unique<PrefixForm>(utility);
    m_setModeForm = std::make_unique<SetModeForm>(utility, notice);
    m_optionsForm = std::make_unique<OptionsForm>(utility, ports, notice);
    m_help = std::make_unique<HelpWindow>(helpFolder);
    for (QWidget* form : OtherForms())
        connect(static_cast<ChildForm*>(form), &ChildForm::closed, this,
                &MainForm::ReturnFromWindow);

    OutputChannel& channel = utility.channel();
    connect(&channel, &OutputChannel::sentTextChanged, this, &MainForm::ShowSentLines);
    connect(&channel, &OutputChannel::channelCaptionChanged, this, &MainForm::ShowChannelCaption);
    // No command may start while another one is still being sent.
    connect(&channel, &OutputChannel::sendingChanged, this, [this](bool sending) {
        menuBar()->setEnabled(!sending);
        for (QWidget* form : OtherForms())
            static_cast<ChildForm*>(form)->SendingChanged(sending);
    });
    connect(&channel, &OutputChannel::transmittingChanged, this, [this](bool transmitting) {
        if (!transmitting && m_closeAfterCommand)
            QTimer::singleShot(0, this, &QWidget::close);
    });
    ShowChannelCaption();
    BuildFunctionMenu();
    // Smaller, the echo and the buttons would be drawn over one another.
    // The whole content, unless the window system decides otherwise.
    const QSize content = scroller->widget()->minimumSizeHint();
    setMinimumSize(content.width(), content.height() + menuBar()->sizeHint().height());
}

MainForm::~MainForm() = default;

QList<QWidget*> MainForm::OtherForms() const
{
    return {m_cursorForm.get(),  m_twoLinesForm.get(), m_longForm.get(),
            m_optionsForm.get(), m_prefixForm.get(),   m_setModeForm.get()};
}

void MainForm::BuildFunctionMenu()
{
    const auto menu = m_utility.BuildFunctionMenu();
    if (!menu)
        return;
    m_label3->setText(menu->modeLabel);
    for (std::size_t i = 0; i < m_menuFunction.size(); ++i) {
        const bool used = i < menu->captions.size();
        if (used)
            m_menuFunction[i]->setText(menu->captions[i]);
        m_menuFunction[i]->setVisible(used);
    }
}

void MainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        BuildFunctionMenu();
}

void MainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    FitIntoScreen(this);
}

void MainForm::EndSession()
{
    m_sessionEnding = true;
    close();
}

void MainForm::MenuFunction_Click(int index)
{
    OpenWindow(m_utility.MenuFunction_Click(index));
}

void MainForm::OpenWindow(ParameterWindow window)
{
    ChildForm* form = nullptr;
    switch (window) {
    case ParameterWindow::None:
        return;
    case ParameterWindow::TwoLines:
        form = m_twoLinesForm.get();
        break;
    case ParameterWindow::CursorPosition:
        form = m_cursorForm.get();
        break;
    case ParameterWindow::LongText:
        form = m_longForm.get();
        break;
    case ParameterWindow::Prefix:
        form = m_prefixForm.get();
        break;
    }
    setEnabled(false);
    form->Open();
}

void MainForm::MenuSetMode_Click()
{
    setEnabled(false);
    m_setModeForm->OpenWithOption(m_utility.state().Mode);
}

void MainForm::Configure_Click()
{
    setEnabled(false);
    m_optionsForm->OpenForChannel();
}

void MainForm::ReturnFromWindow()
{
    setEnabled(true);
    show();
    raise();
    activateWindow();
    BuildFunctionMenu();
}

void MainForm::MenuDefault_Click()
{
    if (m_notice.askYesNo("Set to default", "Set all program settings to default ?"))
        m_utility.SetDefaultConfiguration();
}

void MainForm::MenuExit_Click()
{
    // Ends the program at once: no wait for the display, nothing saved.
    m_exitWithoutSaving = true;
    QCoreApplication::exit(0);
}

void MainForm::About_Click()
{
    m_notice.message(UserNotice::Severity::Information, "Vornest",
                     "Vornest for Windows \nVer. 1.2");
}

void MainForm::closeEvent(QCloseEvent* event)
{
    if (m_closing || m_exitWithoutSaving) {
        event->accept();
        return;
    }
    // A command going out is finished first (its time-outs bound the wait);
    // the window closes when its last byte is out, even if a message about
    // the send is still to come.
    if (m_utility.channel().isTransmitting()) {
        m_closeAfterCommand = true;
        event->ignore();
        return;
    }
    // Another window closes the way its own close does, so that what the
    // user typed there is taken back before it is saved.
    for (QWidget* form : OtherForms()) {
        if (form->isVisible())
            form->close();
    }
    m_closing = true;
    const auto error = m_utility.ShutDown(m_settings, m_sessionEnding ? nullptr : &m_notice);
    // A path that is no regular file was reported at the start already.
    if (error && m_settings.isUsable()) {
        if (m_sessionEnding)
            std::fprintf(stderr, "vornestw: %s\n", qPrintable(*error));
        else
            m_notice.message(UserNotice::Severity::Warning, "Vornest", *error);
    }
    for (QWidget* form : OtherForms())
        form->hide();
    m_help->close();
    event->accept();
    QCoreApplication::quit();
}

void MainForm::ShowSentLines()
{
    const auto lines = SentTextLines(m_utility.state().LastSent);
    for (std::size_t i = 0; i < lines.size(); ++i)
        m_sentLabels[i]->setText(QString::fromLatin1(lines[i]));
}

void MainForm::ShowChannelCaption()
{
    m_label2->setText(m_utility.state().ChannelCaption);
}

} // namespace vornestw
