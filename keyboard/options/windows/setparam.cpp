#include "setparam.h"

#include "bytescrollbar.h"
#include "dialogkeys.h"
#include "displaytext.h"
#include "inputlinepicture.h"
#include "optioncontrols.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace morvaw {

namespace {

const char* const kLineIndex = "lineIndex";

struct TrackBox
{
    const char* name;
    const char* caption;
    std::uint8_t bit;
};
constexpr std::array<TrackBox, 4> kTrackBoxes{{
    {"cbISOTrack1", "Read ISO Track 1", SetParamLogic::IsoTrack1},
    {"cbISOTrack2", "Read ISO Track 2", SetParamLogic::IsoTrack2},
    {"cbAAMVATrack1", "Read AAMVA Track 1", SetParamLogic::AamvaTrack1},
    {"cbAAMVATrack2", "Read AAMVA Track 2", SetParamLogic::AamvaTrack2},
}};

constexpr std::array<const char*, SetParamLogic::kLines> kLineCaptions = {
    "Header - key", "Seperator - key", "Inter-Tracks Key", "MCR Trailer"};

} // namespace

SetParam::SetParam(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SetParam"));
    setWindowTitle(QStringLiteral("MSR Configure"));

    auto* tracksFrame = new QGroupBox(QStringLiteral("Tracks setup"), this);
    auto* trackColumn = new QVBoxLayout(tracksFrame);
    for (std::size_t i = 0; i < kTrackBoxes.size(); ++i) {
        const TrackBox& t = kTrackBoxes[i];
        auto* box = new QCheckBox(QString::fromLatin1(t.caption), tracksFrame);
        box->setObjectName(QString::fromLatin1(t.name));
        const std::uint8_t bit = t.bit;
        connect(box, &QCheckBox::clicked, this,
                [this, bit](bool on) { run([&] { m_logic.setTrack(bit, on); }); });
        m_tracks[i] = box;
        trackColumn->addWidget(box);
    }

    auto* optionsFrame = new QGroupBox(QStringLiteral("Options"), this);
    auto* optionColumn = new QVBoxLayout(optionsFrame);
    auto option = [&](const char* name, const QString& caption, auto handler) {
        auto* box = new QCheckBox(caption, optionsFrame);
        box->setObjectName(QString::fromLatin1(name));
        connect(box, &QCheckBox::clicked, this,
                [this, handler](bool on) { run([&] { (m_logic.*handler)(on); }); });
        optionColumn->addWidget(box);
        return box;
    };
    m_forceLowerCase = option("cbForceLowerCase", QStringLiteral("Force lower case"),
                              &SetParamLogic::setForceLowerCase);
    m_sendSentinels = option("cbSendSentinels", QStringLiteral("Send sentinels"),
                             &SetParamLogic::setSendSentinels);
    m_checkSumMode = option("cbCheckSumMode", QStringLiteral("Send B/F+Checksum mode"),
                            &SetParamLogic::setCheckSumMode);
    optionColumn->addStretch();

    auto* keys = new QGridLayout;
    for (int k = 0; k < SetParamLogic::kLines; ++k) {
        auto* line = new InputLinePicture(this);
        line->setObjectName(QStringLiteral("InputLinePict_%1").arg(k));
        line->setProperty(kLineIndex, k);
        line->setFocusPolicy(Qt::NoFocus);
        line->setCursor(Qt::PointingHandCursor);
        line->setToolTip(QStringLiteral("Click to edit the MSR keys"));
        line->installEventFilter(this);
        m_lines[static_cast<std::size_t>(k)] = line;
        keys->addWidget(
            new QLabel(QString::fromLatin1(kLineCaptions[static_cast<std::size_t>(k)]), this), k,
            0);
        keys->addWidget(line, k, 1);
    }

    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setFixedWidth(m_text1->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    m_text1->setMaxLength(20);
    connect(m_text1, &QLineEdit::textEdited, this,
            [this](const QString& t) { run([&] { m_logic.typeDelay(t); }); });
    m_vscr = new ByteScrollBar(this);
    m_vscr->setObjectName(QStringLiteral("VScr"));
    m_vscr->setFixedHeight(m_text1->sizeHint().height());
    connect(m_vscr, &ByteScrollBar::byteChanged, this,
            [this](int v) { run([&] { m_logic.scrollDelay(v); }); });

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("cbContrRet_0"));
    connect(ok, &QPushButton::clicked, this, [this] { run([&] { m_logic.accept(); }); });
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cbContrRet_1"));
    connect(cancel, &QPushButton::clicked, this, [this] { run([&] { m_logic.cancel(); }); });
    GiveDialogKeys(this, ok, cancel);

    auto* frames = new QHBoxLayout;
    frames->addWidget(tracksFrame);
    frames->addWidget(optionsFrame);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Data play delay"), this));
    bottom->addSpacing(4);
    bottom->addWidget(m_text1);
    bottom->addWidget(m_vscr);
    bottom->addStretch();
    bottom->addWidget(ok);
    bottom->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(keys);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void SetParam::open(const MsrSettings& settings)
{
    run([&] { m_logic.open(settings); });
    bringUp();
}

void SetParam::takeKeys(const MsrLines& keys)
{
    run([&] { m_logic.takeKeys(keys); });
}

void SetParam::returnFromKeyEditor()
{
    m_waitingForKeys = false;
    run([&] { m_logic.returnFromKeyEditor(); });
    bringUp();
}

void SetParam::bringUp()
{
    show();
    raise();
    activateWindow();
}

template <typename Command> void SetParam::run(Command command)
{
    command();
    syncView();
    if (m_logic.IsOpen() || !isVisible())
        return;
    hide();
    if (const auto settings = m_logic.takeAccepted())
        emit accepted(*settings);
    emit closed();
}

void SetParam::syncView()
{
    for (std::size_t i = 0; i < kTrackBoxes.size(); ++i)
        m_tracks[i]->setChecked(m_logic.Track(kTrackBoxes[i].bit));
    m_forceLowerCase->setChecked(m_logic.Option(SetParamLogic::ForceLowerCase));
    m_sendSentinels->setChecked(m_logic.Option(SetParamLogic::SendSentinels));
    m_checkSumMode->setChecked(m_logic.CheckSum());
    for (int k = 0; k < SetParamLogic::kLines; ++k)
        m_lines[static_cast<std::size_t>(k)]->setDefinition(
            m_logic.Keys()[static_cast<std::size_t>(k)]);
    ShowText(m_text1, m_logic.Text1());
    m_vscr->showByte(m_logic.VScr());
}

bool SetParam::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        watched->property(kLineIndex).isValid()) {
        // This window waits hidden, its copies kept, until the editor hands back.
        m_waitingForKeys = true;
        hide();
        emit keysWanted(m_logic.Keys());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SetParam::closeEvent(QCloseEvent* event)
{
    event->ignore();
    run([&] { m_logic.closeWindow(); });
}

void SetParam::handOverForEnd()
{
    if (const auto settings = m_logic.unconfirmedSettings())
        emit accepted(*settings);
}

void SetParam::hideEvent(QHideEvent* event)
{
    // Hidden while still open and not for the key editor, the program ends:
    // what Ok would take goes into the layout in memory. Ok, Cancel and the
    // close box close the logic before the window hides.
    if (!event->spontaneous() && !m_waitingForKeys)
        handOverForEnd();
    QWidget::hideEvent(event);
}

} // namespace morvaw
