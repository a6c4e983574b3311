#include "send2com.h"

#include "portchooserform.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace morvaw {

namespace {

constexpr double kTwipsPerPixel = 15.0;
// Line height of the font the window's sizes were drawn for.
constexpr double kDesignLineHeight = 13.0;

constexpr int kLargeWidth = 3030;
constexpr int kLargeHeight = 4065;
constexpr int kLargeInfoTop = 2760;
constexpr int kLargeInfo2Top = 3120;
constexpr int kSmallWidth = 3135;
constexpr int kSmallHeight = 1710;
constexpr int kSmallInfoTop = 360;
constexpr int kSmallInfo2Top = 720;
constexpr int kOutlineStep = 210;
constexpr int kOutlineSize = 180;
constexpr int kMargin = 120;

const QString kYellow = QStringLiteral("#ffff00");
const QString kDarkBlue = QStringLiteral("#000080");

const QString kFastText = QStringLiteral("Fast: go on as soon as the keyboard answers");

// The text broken into lines that fit `width` (a check box does not wrap).
QString wrappedToWidth(const QString& text, const QFontMetrics& metrics, int width)
{
    QString wrapped;
    QString line;
    for (const QString& word : text.split(u' ')) {
        const QString longer = line.isEmpty() ? word : line + u' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            wrapped += line + u'\n';
            line = word;
        } else {
            line = longer;
        }
    }
    return wrapped + line;
}

} // namespace

Send2Com::Send2Com(const ProgrammingServices& services, std::function<void()> backToMain,
                   QWidget* parent)
    : QWidget(parent, Qt::Window), m_logic(services), m_backToMain(std::move(backToMain))
{
    setObjectName(QStringLiteral("SEND2COM"));
    setWindowTitle(QStringLiteral("Program Kbd"));
    setFocusPolicy(Qt::StrongFocus);
    m_scale = std::max(1.0, fontMetrics().height() / kDesignLineHeight);
    build();
    connect(&m_logic, &Send2ComLogic::changed, this, &Send2Com::syncView);
    connect(&m_logic, &Send2ComLogic::beep, this, [] { QApplication::beep(); });
    connect(&m_logic, &Send2ComLogic::leaveRequested, this, &Send2Com::leave);
    m_logic.load();
}

Send2Com::~Send2Com()
{
    if (m_grabbing)
        releaseMouse();
}

int Send2Com::px(int twips) const
{
    return static_cast<int>(twips / kTwipsPerPixel * m_scale + 0.5);
}

void Send2Com::build()
{
    m_frame = new QGroupBox(QStringLiteral("Select port:"), this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    auto* frameLayout = new QVBoxLayout(m_frame);
    frameLayout->setSpacing(2);
    for (int i = 0; i < 5; ++i) {
        const QString text = i < 4 ? QStringLiteral("Send setup using COM&%1").arg(i + 1)
                                   : QStringLiteral("Send setup using KBD");
        auto* option = new QRadioButton(text, m_frame);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        connect(option, &QRadioButton::clicked, this,
                [this, i] { m_logic.choosePort(static_cast<Channel>(i)); });
        frameLayout->addWidget(option);
        m_options[static_cast<std::size_t>(i)] = option;
    }
    m_kbdNote = new QLabel(m_frame);
    m_kbdNote->setObjectName(QStringLiteral("KbdPortNote"));
    m_kbdNote->setWordWrap(true);
    m_kbdNote->setIndent(fontMetrics().height());
    QFont small = m_kbdNote->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    m_kbdNote->setFont(small);
    frameLayout->addWidget(m_kbdNote);

    // Which device each COMn is, and whether a keyboard answers there.
    m_ports = new QPushButton(QStringLiteral("Po&rts…"), m_frame);
    m_ports->setObjectName(QStringLiteral("BtnPorts"));
    connect(m_ports, &QPushButton::clicked, this, &Send2Com::openPortChooser);
    m_test = new QPushButton(QStringLiteral("&Test"), m_frame);
    m_test->setObjectName(QStringLiteral("BtnTest"));
    connect(m_test, &QPushButton::clicked, this, &Send2Com::testClicked);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(m_ports);
    portRow->addWidget(m_test);
    frameLayout->addLayout(portRow);
    m_testResult = new QLabel(m_frame);
    m_testResult->setObjectName(QStringLiteral("TestResult"));
    m_testResult->setWordWrap(true);
    m_testResult->setTextFormat(Qt::PlainText);
    m_testResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    frameLayout->addWidget(m_testResult);

    m_program = new QPushButton(QStringLiteral("&Program"), this);
    m_program->setObjectName(QStringLiteral("Program"));
    connect(m_program, &QPushButton::clicked, this, &Send2Com::programClicked);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_logic.cancel(); });

    m_fast = new QCheckBox(this);
    m_fast->setObjectName(QStringLiteral("FastCheck"));
    m_fast->setAccessibleName(kFastText);
    connect(m_fast, &QCheckBox::clicked, this, [this](bool on) { m_logic.setFast(on); });
    m_log = new QPushButton(QStringLiteral("&Log\u2026"), this);
    m_log->setObjectName(QStringLiteral("LogButton"));
    connect(m_log, &QPushButton::clicked, this, &Send2Com::showLog);

    const auto label = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setWordWrap(true);
        return l;
    };
    m_memory = label("MemoryLabel");
    m_info = label("InfoLabel");
    m_info2 = label("InfoLabel2");
    m_info3 = label("InfoLabel3");
    m_keepInFront = label("KeepInFrontLabel");
    m_unit = label("UnitLabel");
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_progressText = label("ProgressLabel");

    for (int row = 1; row <= 7; ++row) {
        for (int column = 1; column <= 12; ++column) {
            const int n = (row - 1) * 12 + column;
            auto* outline = new QFrame(this);
            outline->setObjectName(QStringLiteral("Shape1_%1").arg(n));
            outline->setGeometry(px(kOutlineStep * column), px(kOutlineStep * row),
                                 px(kOutlineSize), px(kOutlineSize));
            outline->setStyleSheet(QStringLiteral("border: 1px solid black;"));
            outline->hide();
            m_outlines[static_cast<std::size_t>(n)] = outline;
        }
    }
}

int Send2Com::placeProgress(int top, int width)
{
    const int margin = px(kMargin);
    const int inner = width - 2 * margin;
    if (!m_progress->isVisible())
        return top;
    top += margin / 2;
    const int unitHeight = m_unit->heightForWidth(inner);
    m_unit->setGeometry(margin, top, inner, unitHeight);
    top += unitHeight + 2;
    const int barHeight = m_progress->sizeHint().height();
    m_progress->setGeometry(margin, top, inner, barHeight);
    top += barHeight + 2;
    const int textHeight = m_progressText->heightForWidth(inner);
    m_progressText->setGeometry(margin, top, inner, textHeight);
    return top + textHeight;
}

void Send2Com::placeControls()
{
    const ProgrammingView& view = m_logic.view();
    const int margin = px(kMargin);
    if (!view.largeLayout) {
        const int width = px(kSmallWidth);
        m_info->setGeometry(margin, px(kSmallInfoTop), width - 2 * margin, px(330));
        m_info2->setGeometry(margin, px(kSmallInfo2Top), width - 2 * margin, px(330));
        const int keepTop = px(kSmallInfo2Top + 360);
        const int keepHeight = m_keepInFront->heightForWidth(width - 2 * margin);
        m_keepInFront->setGeometry(margin, keepTop, width - 2 * margin, keepHeight);
        const int bottom = placeProgress(keepTop + keepHeight, width);
        setFixedSize(width, std::max(px(kSmallHeight), bottom + margin / 2));
        return;
    }
    int width = px(kLargeWidth);
    const int inner = width - 2 * margin;
    const int frameHeight = m_frame->hasHeightForWidth() ? m_frame->heightForWidth(inner)
                                                         : m_frame->sizeHint().height();
    m_frame->setGeometry(margin, margin / 2, inner, frameHeight);
    int top = m_frame->geometry().bottom() + margin / 2;
    const int indicator =
        m_fast->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, m_fast) +
        m_fast->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, m_fast);
    m_fast->setText(wrappedToWidth(kFastText, m_fast->fontMetrics(), inner - indicator - 4));
    const int fastHeight = m_fast->sizeHint().height();
    m_fast->setGeometry(margin, top, inner, fastHeight);
    top += fastHeight + margin / 2;
    const int buttonWidth = (inner - margin) / 2;
    const int buttonHeight = m_program->sizeHint().height();
    m_program->setGeometry(margin, top, buttonWidth, buttonHeight);
    m_cancel->setGeometry(width - margin - buttonWidth, top, buttonWidth, buttonHeight);
    top += buttonHeight + margin / 4;
    m_log->setGeometry(width - margin - buttonWidth, top, buttonWidth, buttonHeight);
    top += buttonHeight + margin / 2;
    const int memoryHeight = m_memory->heightForWidth(inner);
    m_memory->setGeometry(margin, top, inner, memoryHeight);
    top += memoryHeight + margin / 2;

    const int lineHeight = fontMetrics().height() + 2;
    const int infoTop = std::max(px(kLargeInfoTop), top);
    const int info2Top = std::max(px(kLargeInfo2Top), infoTop + lineHeight + 2);
    m_info->setGeometry(margin, infoTop, inner, lineHeight);
    m_info2->setGeometry(margin, info2Top, inner, lineHeight);
    const int keepTop = info2Top + lineHeight + 2;
    const int keepHeight = m_keepInFront->isVisible() ? m_keepInFront->heightForWidth(inner) : 0;
    m_keepInFront->setGeometry(margin, keepTop, inner, keepHeight);
    // The handshake prompt sits below the outlines, where the port buttons were.
    m_info3->setGeometry(margin, px(kOutlineStep * 8 + 60), inner, 3 * lineHeight);
    const int bottom = placeProgress(keepTop + keepHeight, width);
    setFixedSize(width, std::max(px(kLargeHeight), bottom + margin));
}

void Send2Com::syncView()
{
    const ProgrammingView& view = m_logic.view();
    m_info->setText(view.InfoLabel);
    m_info2->setText(view.InfoLabel2);
    m_info3->setText(view.InfoLabel3);
    m_memory->setText(view.MemoryText);
    m_kbdNote->setText(view.KbdPortNote);
    m_kbdNote->setVisible(!view.KbdPortNote.isEmpty());
    for (int i = 0; i < 5; ++i)
        m_options[static_cast<std::size_t>(i)]->setChecked(static_cast<Channel>(i) ==
                                                           view.selectedPort);
    m_options[4]->setEnabled(view.kbdPortEnabled);
    m_ports->setEnabled(view.portsEnabled);
    m_test->setEnabled(view.testEnabled);
    m_testResult->setText(view.TestResult);
    m_testResult->setVisible(!view.TestResult.isEmpty());

    const bool controls = view.controlsVisible;
    m_frame->setVisible(controls);
    m_program->setVisible(controls);
    m_cancel->setVisible(controls);
    m_memory->setVisible(controls);

    // While a transfer runs nothing it took may change, and its progress shows.
    const bool idle = !view.transferRunning;
    m_program->setEnabled(idle);
    for (int i = 0; i < 5; ++i)
        m_options[static_cast<std::size_t>(i)]->setEnabled(idle && (i < 4 || view.kbdPortEnabled));
    m_fast->setChecked(view.fast);
    m_fast->setEnabled(idle);
    m_fast->setVisible(controls);
    m_log->setEnabled(idle);
    m_log->setVisible(controls);
    m_unit->setText(view.UnitText);
    m_progress->setRange(0, std::max(view.progressTotal, 0));
    m_progress->setValue(view.progressDone);
    m_progressText->setText(view.ProgressText);
    for (QWidget* progress : std::initializer_list<QWidget*>{m_unit, m_progress, m_progressText})
        progress->setVisible(view.transferRunning);
    m_info3->setVisible(!view.InfoLabel3.isEmpty());
    m_keepInFront->setText(view.KeepInFront);
    m_keepInFront->setVisible(!view.KeepInFront.isEmpty());
    if (m_shownYellow != view.blinkYellow) {
        m_shownYellow = view.blinkYellow;
        const QString fill = QStringLiteral("border: 1px solid black; background: %1;")
                                 .arg(view.blinkYellow ? kYellow : kDarkBlue);
        m_outlines[1]->setStyleSheet(fill);
        m_outlines[12]->setStyleSheet(fill);
    }
    for (int n = 1; n <= kOutlines; ++n)
        m_outlines[static_cast<std::size_t>(n)]->setVisible(view.outlinesVisible);
    // The keyboard's answers are key presses: they must reach this window,
    // whatever took the focus meanwhile (a question of ours aside).
    if (view.mouseCaptured && isVisible() && !isActiveWindow() &&
        !QApplication::activeModalWidget()) {
        raise();
        activateWindow();
    }
    if (!controls && !hasFocus())
        setFocus();
    placeControls();

    const bool grab = view.mouseCaptured && isVisible();
    if (grab && !m_grabbing)
        grabMouse();
    else if (!grab && m_grabbing)
        releaseMouse();
    m_grabbing = grab;
}

void Send2Com::runGuarded(const std::function<void()>& click)
{
    ++m_clickDepth;
    click();
    --m_clickDepth;
    if (m_clickDepth > 0)
        return;
    if (m_unloadWanted)
        deleteLater();
    if (m_afterTransfer)
        std::exchange(m_afterTransfer, nullptr)();
}

void Send2Com::programClicked()
{
    runGuarded([this] { m_logic.program(); });
}

void Send2Com::testClicked()
{
    runGuarded([this] { m_logic.testConnection(); });
}

void Send2Com::openPortChooser()
{
    PortChooser* chooser = m_logic.ports();
    if (!chooser)
        return;
    if (!m_portChooser) {
        m_portChooser = new PortChooserForm(*chooser, m_logic.dialogs(), this);
        connect(m_portChooser, &PortChooserForm::bound, this,
                [this](int comNumber) { m_logic.portBound(comNumber); });
    }
    const Channel selected = m_logic.view().selectedPort;
    m_portChooser->openForPort(selected == Channel::KeyboardPort ? 0
                                                                 : ComPortIndexOf(selected) + 1);
}

void Send2Com::showLog()
{
    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("ProgrammingLog"));
    dialog->setWindowTitle(QStringLiteral("Programming log"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    const QString path = m_logic.logPath();
    QString text = m_logic.logText();
    if (text.isEmpty())
        text = QStringLiteral("No keyboard has been programmed yet.");
    auto* where = new QLabel(QStringLiteral("One line a unit, kept in %1").arg(path), dialog);
    where->setWordWrap(true);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(where);
    auto* lines = new QPlainTextEdit(text, dialog);
    lines->setObjectName(QStringLiteral("LogText"));
    lines->setReadOnly(true);
    lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    lines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(lines);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    // The newest units are at the end.
    lines->verticalScrollBar()->setValue(lines->verticalScrollBar()->maximum());
    const QRect screen = this->screen()->availableGeometry();
    dialog->resize(std::min(screen.width() * 9 / 10, 170 * fontMetrics().averageCharWidth()),
                   std::min(screen.height() * 3 / 4, 24 * fontMetrics().height()));
    dialog->open();
    lines->moveCursor(QTextCursor::End);
}

void Send2Com::terminate(std::function<void()> then)
{
    m_logic.terminate();
    // A message box of the transfer would hold it until someone answers.
    if (QWidget* box = QApplication::activeModalWidget())
        box->close();
    if (m_clickDepth > 0)
        m_afterTransfer = std::move(then);
    else if (then)
        then();
}

void Send2Com::leave()
{
    if (m_grabbing) {
        releaseMouse();
        m_grabbing = false;
    }
    hide();
    if (m_backToMain)
        m_backToMain();
    // The transfer that runs inside a Program click still needs this window.
    m_unloadWanted = true;
    if (m_clickDepth == 0)
        deleteLater();
}

void Send2Com::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        m_logic.activate();
}

void Send2Com::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || isActiveWindow())
        return;
    // Message boxes of the transfer take the focus without deactivating it;
    // only another window of the program does.
    QWidget* active = QApplication::activeWindow();
    if (active && active != this && !qobject_cast<QDialog*>(active))
        m_logic.deactivate();
    m_grabbing = false; // a window that loses the focus loses the mouse too
    m_logic.focusLost();
}

void Send2Com::closeEvent(QCloseEvent* event)
{
    if (m_unloadWanted || m_logic.requestClose())
        event->accept();
    else
        event->ignore();
}

void Send2Com::keyPressEvent(QKeyEvent* event)
{
    // As in a dialog, but only while no transfer runs: then every key
    // belongs to the keyboard's answers.
    if (m_clickDepth == 0 && m_cancel->isVisible()) {
        if (event->key() == Qt::Key_Escape) {
            m_cancel->click();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            m_program->click();
            return;
        }
    }
    const QString text = event->text();
    if (text.isEmpty() || text[0].unicode() > 255) {
        QWidget::keyPressEvent(event);
        return;
    }
    for (const QChar c : text)
        m_logic.keyTyped(c.unicode());
}

void Send2Com::mousePressEvent(QMouseEvent* event)
{
    m_logic.mouseClicked();
    QWidget::mousePressEvent(event);
}

std::function<void()> ProgrammingWindowOpener(const ProgrammingServices& services,
                                              QWidget* mainWindow,
                                              std::function<void()> refreshMain)
{
    auto window = std::make_shared<QPointer<Send2Com>>();
    return [services, mainWindow, refreshMain, window] {
        if (!*window) {
            *window = new Send2Com(
                services,
                [mainWindow, refreshMain] {
                    mainWindow->setEnabled(true);
                    mainWindow->show();
                    if (refreshMain)
                        refreshMain();
                },
                mainWindow);
        }
        mainWindow->hide();
        (*window)->show();
        (*window)->raise();
        (*window)->activateWindow();
    };
}

void TerminateProgramming(QWidget* mainWindow, std::function<void()> then)
{
    if (auto* window = mainWindow->findChild<Send2Com*>())
        window->terminate(std::move(then));
    else if (then)
        then();
}

} // namespace morvaw
