#include "keymodeform.h"

#include "displaytext.h"
#include "inputlinepicture.h"
#include "pckeyboard.h"
#include "virtualkeys.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace morvaw {

namespace {

const char* const kLineIndex = "lineIndex";

// Frames in the page stack.
enum Frame { FrameMacros = 0, FrameMsr = 1, FrameTable = 2, FrameEditScan = 3 };

// The mask controls of the edit page: check box bits and option captions.
struct MaskCheck
{
    int bit;
    const char* caption;
};
constexpr std::array<MaskCheck, 5> kMaskChecks{{
    {0, "Repeat"},
    {1, "Reserved"},
    {5, "Cur pad"},
    {6, "Force Num"},
    {7, "Special"},
}};
constexpr std::array<const char*, 3> kMaskOptions{"Ctrl + key", "Alt + key", "Shift + key"};

QLabel* label(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
}

// Wide enough for the longest note, so that the line beside it keeps its width.
QLabel* lengthLabel(const QString& name, QWidget* parent)
{
    auto* note = new QLabel(parent);
    note->setObjectName(name);
    note->setMinimumWidth(
        note->fontMetrics().horizontalAdvance(QStringLiteral("Line full: 60 of 60")) + 4);
    return note;
}

} // namespace

KeyModeForm::KeyModeForm(LanguageTables& tables, const std::filesystem::path& pictureFolder,
                         UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), m_logic(tables, dialogs)
{
    setObjectName(QStringLiteral("KeyModeForm"));
    setWindowTitle(m_logic.Caption());

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(buildMacrosPage());
    m_pages->addWidget(buildMsrPage());
    m_pages->addWidget(buildTablePage());
    m_pages->addWidget(buildEditScanPage());

    m_keyboard = new PcKeyboard(pictureFolder, this);
    connect(m_keyboard, &PcKeyboard::btnClicked, this,
            [this](int n) { run([&] { m_logic.pickOnScreenKey(n); }); });
    connect(m_keyboard, &PcKeyboard::pictureMouseDown, this, [this](int i, Qt::MouseButton b) {
        run([&] { m_logic.pressPictureKey(static_cast<OnScreen::Picture>(i), b); });
    });

    // The on-screen keyboard takes the room the pages leave and draws its
    // keys smaller where the screen is small (a large scale factor).
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(m_keyboard, 1);
    giveDialogKeys();
}

void KeyModeForm::giveDialogKeys()
{
    // Escape presses the shown page's Cancel, Return its Ok; on the edit page
    // Return belongs to the box that has the focus (it takes a hex value).
    struct PageButtons
    {
        int page;
        const char* ok;
        const char* cancel;
    };
    static constexpr PageButtons kPageButtons[] = {{FrameMacros, "contr_6", "contr_7"},
                                                   {FrameMsr, "contr_13", "contr_12"},
                                                   {FrameTable, "contr_0", "contr_1"},
                                                   {FrameEditScan, nullptr, "contr_3"}};
    const auto press = [this](bool ok) {
        for (const PageButtons& p : kPageButtons) {
            const char* name = ok ? p.ok : p.cancel;
            if (p.page != m_pages->currentIndex() || !name)
                continue;
            if (auto* b = findChild<QPushButton*>(QString::fromLatin1(name)); b && b->isEnabled())
                b->click();
            return; // the click may have shown another page
        }
        if (auto* box = qobject_cast<QLineEdit*>(focusWidget()); ok && box && box->isVisible())
            emit box->returnPressed();
    };
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            [press] { press(false); });
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this,
                [press] { press(true); });
}

QPushButton* KeyModeForm::makeContr(int index, const QString& caption,
                                    void (KeyModeLogic::*command)())
{
    auto* b = new QPushButton(caption);
    b->setObjectName(QStringLiteral("contr_%1").arg(index));
    connect(b, &QPushButton::clicked, this,
            [this, command] { run([&] { (m_logic.*command)(); }); });
    return b;
}

QWidget* KeyModeForm::buildMacrosPage()
{
    auto* frame = new QGroupBox(QStringLiteral("Edit macros:"));
    frame->setObjectName(QStringLiteral("FrameMacros"));
    auto* grid = new QGridLayout(frame);
    const std::array<QString, 3> captions = {
        QStringLiteral("Lower def:"), QStringLiteral("Func1 def:"), QStringLiteral("Func2 def:")};
    for (int k = 0; k < 3; ++k) {
        auto* line = new InputLinePicture(frame);
        line->setObjectName(QStringLiteral("DKInputLinePict_%1").arg(k));
        line->setProperty(kLineIndex, k);
        line->installEventFilter(this);
        m_keyLines[static_cast<std::size_t>(k)] = line;
        auto* rpt = new QCheckBox(QStringLiteral("Rpt"), frame);
        rpt->setObjectName(QStringLiteral("Check1_%1").arg(k));
        connect(rpt, &QCheckBox::clicked, this,
                [this, k](bool checked) { run([&] { m_logic.setRepeat(k, checked); }); });
        m_rpt[static_cast<std::size_t>(k)] = rpt;
        m_keyLengths[static_cast<std::size_t>(k)] =
            lengthLabel(QStringLiteral("LengthLabel_%1").arg(k), frame);
        grid->addWidget(label(captions[static_cast<std::size_t>(k)], frame), k, 0);
        grid->addWidget(line, k, 1);
        grid->addWidget(m_keyLengths[static_cast<std::size_t>(k)], k, 2);
        grid->addWidget(rpt, k, 3);
    }
    using L = KeyModeLogic;
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(makeContr(6, QStringLiteral("&Ok"), &L::accept));
    buttons->addWidget(makeContr(7, QStringLiteral("&Cancel"), &L::cancel));
    buttons->addWidget(makeContr(8, QStringLiteral("&Special"), &L::showScanTable));
    buttons->addWidget(makeContr(9, QStringLiteral("&Del"), &L::deleteLastToken));
    grid->addLayout(buttons, 3, 0, 1, 4);
    return frame;
}

QWidget* KeyModeForm::buildMsrPage()
{
    auto* frame = new QGroupBox(QStringLiteral("MSR Parameters"));
    frame->setObjectName(QStringLiteral("FrameMsr"));
    auto* grid = new QGridLayout(frame);
    const std::array<QString, 4> captions = {
        QStringLiteral("Header-key"), QStringLiteral("Separator-key"),
        QStringLiteral("Inter-tracks key"), QStringLiteral("MSR Trailer-key")};
    for (int k = 0; k < 4; ++k) {
        auto* line = new InputLinePicture(frame);
        line->setObjectName(QStringLiteral("MSRInpLinePict_%1").arg(k));
        line->setProperty(kLineIndex, k);
        line->installEventFilter(this);
        m_msrLines[static_cast<std::size_t>(k)] = line;
        m_msrLengths[static_cast<std::size_t>(k)] =
            lengthLabel(QStringLiteral("MsrLengthLabel_%1").arg(k), frame);
        grid->addWidget(label(captions[static_cast<std::size_t>(k)], frame), k, 0);
        grid->addWidget(line, k, 1);
        grid->addWidget(m_msrLengths[static_cast<std::size_t>(k)], k, 2);
    }
    using L = KeyModeLogic;
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(makeContr(10, QStringLiteral("&Del"), &L::deleteLastToken));
    buttons->addWidget(makeContr(11, QStringLiteral("&Special"), &L::showScanTable));
    buttons->addWidget(makeContr(12, QStringLiteral("&Cancel"), &L::cancel));
    buttons->addWidget(makeContr(13, QStringLiteral("&Ok"), &L::accept));
    grid->addLayout(buttons, 4, 0, 1, 3);
    return frame;
}

QWidget* KeyModeForm::buildTablePage()
{
    auto* frame = new QGroupBox(QStringLiteral("Table of scan codes"));
    frame->setObjectName(QStringLiteral("FrameTable"));
    auto* row = new QHBoxLayout(frame);

    m_list = new QListWidget(frame);
    m_list->setObjectName(QStringLiteral("ListTable"));
    m_list->setFixedWidth(170);
    connect(m_list, &QListWidget::currentRowChanged, this,
            [this](int r) { run([&] { m_logic.selectListRow(r); }); });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this] { run([&] { m_logic.insertSelectedKey(); }); });
    row->addWidget(m_list);

    auto* middle = new QVBoxLayout;
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    for (int i = 0; i < 4; ++i) {
        auto* info = new QLabel(frame);
        info->setObjectName(QStringLiteral("InfoLabel_%1").arg(i));
        info->setFont(mono);
        m_info[static_cast<std::size_t>(i)] = info;
        middle->addWidget(info);
    }
    auto* modifiers = new QGroupBox(frame);
    modifiers->setObjectName(QStringLiteral("OpShftFrame"));
    auto* modRow = new QHBoxLayout(modifiers);
    const std::array<QString, 4> modCaptions = {QStringLiteral("Ctrl"), QStringLiteral("Alt"),
                                                QStringLiteral("Shift"), QString()};
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(modCaptions[static_cast<std::size_t>(i)], modifiers);
        option->setObjectName(QStringLiteral("OpShft_%1").arg(i));
        const auto modifier = static_cast<KeyModeLogic::Modifier>(i);
        connect(option, &QRadioButton::clicked, this,
                [this, modifier] { run([&] { m_logic.toggleModifier(modifier); }); });
        m_opShft[static_cast<std::size_t>(i)] = option;
        modRow->addWidget(option);
    }
    m_opShft[KeyModeLogic::ModNone]->hide(); // selected when no modifier is
    middle->addWidget(modifiers);
    middle->addStretch();
    row->addLayout(middle, 1);

    using L = KeyModeLogic;
    auto* buttons = new QGridLayout;
    buttons->addWidget(makeContr(0, QStringLiteral("&Ok"), &L::insertSelectedKey), 0, 0);
    buttons->addWidget(makeContr(1, QStringLiteral("&Cancel"), &L::showDefinitionLines), 1, 0);
    buttons->addWidget(makeContr(4, QStringLiteral("&Edit"), &L::editScanRecord), 2, 0);
    buttons->addWidget(makeContr(5, QStringLiteral("C&lear"), &L::clearScanRecord), 3, 0);
    const std::array<std::pair<const char*, L::FunctionButton>, 3> functions = {
        {{"Func1", L::Func1Button},
         {"Func2", L::Func2Button},
         {"FuncToggle", L::FuncToggleButton}}};
    for (std::size_t i = 0; i < functions.size(); ++i) {
        auto* b = new QPushButton(QString::fromLatin1(functions[i].first), frame);
        b->setObjectName(QString::fromLatin1(functions[i].first));
        const L::FunctionButton button = functions[i].second;
        connect(b, &QPushButton::clicked, this,
                [this, button] { run([&] { m_logic.makeFunctionShiftKey(button); }); });
        buttons->addWidget(b, static_cast<int>(i), 1);
    }
    row->addLayout(buttons);
    return frame;
}

QWidget* KeyModeForm::buildEditScanPage()
{
    auto* frame = new QGroupBox(QStringLiteral("Edit scan code:"));
    frame->setObjectName(QStringLiteral("FrameEditScan"));
    auto* row = new QHBoxLayout(frame);

    auto* boxes = new QGridLayout;
    const std::array<QString, 3> captions = {
        QStringLiteral("Key Name"), QStringLiteral("Scan code"), QStringLiteral("Mask code")};
    for (int i = 0; i < 3; ++i) {
        auto* edit = new QLineEdit(frame);
        edit->setObjectName(QStringLiteral("Text1_%1").arg(i));
        edit->setFixedWidth(i == 0 ? 110 : 40);
        const auto box = static_cast<ScanTableEditor::Box>(i);
        connect(edit, &QLineEdit::textEdited, this, [this, box](const QString& t) {
            run([&] { m_logic.Table().Text1_Change(box, t); });
        });
        if (box != ScanTableEditor::KeyNameBox) {
            connect(edit, &QLineEdit::returnPressed, this, [this, box, edit] {
                run([&] { m_logic.Table().Text1_Enter(box); });
                edit->selectAll();
            });
        }
        m_text1[static_cast<std::size_t>(i)] = edit;
        boxes->addWidget(label(captions[static_cast<std::size_t>(i)], frame), i, 0);
        auto* cell = new QHBoxLayout;
        cell->addWidget(edit);
        if (i > 0)
            cell->addWidget(label(QStringLiteral("Hex"), frame));
        cell->addStretch();
        boxes->addLayout(cell, i, 1);
    }
    boxes->setRowStretch(3, 1);
    row->addLayout(boxes);

    auto* masks = new QGroupBox(frame);
    masks->setObjectName(QStringLiteral("MaskFrame"));
    auto* maskGrid = new QGridLayout(masks);
    for (std::size_t j = 0; j < kMaskChecks.size(); ++j) {
        const int bit = kMaskChecks[j].bit;
        auto* box = new QCheckBox(QString::fromLatin1(kMaskChecks[j].caption), masks);
        box->setObjectName(QStringLiteral("Check2_%1").arg(bit));
        connect(box, &QCheckBox::clicked, this,
                [this, bit] { run([&] { m_logic.Table().Check2_Click(bit); }); });
        m_check2[static_cast<std::size_t>(bit)] = box;
        maskGrid->addWidget(box, bit % 4, bit / 4); // in bit order, two columns
    }
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(
            i < 3 ? QString::fromLatin1(kMaskOptions[static_cast<std::size_t>(i)]) : QString(),
            masks);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        const auto maskOption = static_cast<ScanTableEditor::MaskOption>(i);
        connect(option, &QRadioButton::clicked, this,
                [this, maskOption] { run([&] { m_logic.Table().toggleMaskOption(maskOption); }); });
        m_option1[static_cast<std::size_t>(i)] = option;
        if (i < 3)
            maskGrid->addWidget(option, (i + 2) % 4, (i + 2) / 4);
    }
    m_option1[ScanTableEditor::NoMaskOption]->hide();
    row->addWidget(masks);
    row->addStretch();

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(makeContr(2, QStringLiteral("&Ok"), &KeyModeLogic::storeScanRecord));
    buttons->addWidget(makeContr(3, QStringLiteral("&Cancel"), &KeyModeLogic::cancelScanEdit));
    buttons->addStretch();
    row->addLayout(buttons);
    return frame;
}

InputLinePicture* KeyModeForm::line(int k) const
{
    if (m_logic.MsrMode())
        return k >= 0 && k < 4 ? m_msrLines[static_cast<std::size_t>(k)] : nullptr;
    return k >= 0 && k < 3 ? m_keyLines[static_cast<std::size_t>(k)] : nullptr;
}

void KeyModeForm::editKey(const KeyRecord& key, std::uint8_t language,
                          std::function<void(const KeyRecord&)> accepted)
{
    m_keyAccepted = std::move(accepted);
    run([&] { m_logic.openForKey(key, language); });
    bringUp();
}

void KeyModeForm::editMsrLines(const MsrLines& lines, std::uint8_t language,
                               std::function<void(const MsrLines&)> accepted)
{
    m_msrAccepted = std::move(accepted);
    run([&] { m_logic.openForMsr(lines, language); });
    bringUp();
}

void KeyModeForm::bringUp()
{
    show();
    raise();
    activateWindow();
}

template <typename Command> void KeyModeForm::run(Command command)
{
    command();
    syncView();
    if (m_logic.IsOpen() || !isVisible())
        return;
    hide();
    if (m_logic.MsrMode()) {
        if (const auto lines = m_logic.takeAcceptedMsrLines(); lines && m_msrAccepted)
            m_msrAccepted(*lines);
        emit msrClosed();
    } else {
        if (const auto key = m_logic.takeAcceptedKey(); key && m_keyAccepted)
            m_keyAccepted(*key);
        emit keyClosed();
    }
}

void KeyModeForm::syncList()
{
    const auto& names = m_logic.Table().Names();
    QSignalBlocker block(m_list);
    bool same = m_list->count() == static_cast<int>(names.size());
    for (int i = 0; same && i < m_list->count(); ++i)
        same = m_list->item(i)->text() == ToDisplayText(names[static_cast<std::size_t>(i)]);
    if (!same) {
        m_list->clear();
        for (const std::string& name : names)
            m_list->addItem(ToDisplayText(name));
    }
    m_list->setCurrentRow(m_logic.Table().ListIndex());
}

void KeyModeForm::syncView()
{
    const bool msr = m_logic.MsrMode();
    setWindowTitle(m_logic.Caption());
    switch (m_logic.CurrentPage()) {
    case KeyModeLogic::PageLines:
        m_pages->setCurrentIndex(msr ? FrameMsr : FrameMacros);
        break;
    case KeyModeLogic::PageTable:
        m_pages->setCurrentIndex(FrameTable);
        break;
    case KeyModeLogic::PageEditScan:
        m_pages->setCurrentIndex(FrameEditScan);
        break;
    }
    for (int k = 0; k < 3; ++k) {
        m_keyLines[static_cast<std::size_t>(k)]->setDefinition(msr ? Definition{}
                                                                   : m_logic.LineDefinition(k));
        m_keyLengths[static_cast<std::size_t>(k)]->setText(
            msr ? QString() : QString::fromStdString(m_logic.LengthNote(k)));
        m_rpt[static_cast<std::size_t>(k)]->setChecked(m_logic.Rpt(k));
    }
    for (int k = 0; k < 4; ++k) {
        m_msrLines[static_cast<std::size_t>(k)]->setDefinition(msr ? m_logic.LineDefinition(k)
                                                                   : Definition{});
        m_msrLengths[static_cast<std::size_t>(k)]->setText(
            msr ? QString::fromStdString(m_logic.LengthNote(k)) : QString());
    }
    if (m_logic.TakeBeep())
        QApplication::beep();

    syncList();
    const auto info = m_logic.Table().InfoLabels();
    for (std::size_t i = 0; i < info.size(); ++i)
        m_info[i]->setText(ToDisplayText(info[i]));
    m_opShft[static_cast<std::size_t>(m_logic.SelectedModifier())]->setChecked(true);

    const ScanTableEditor& table = m_logic.Table();
    for (int i = 0; i < 3; ++i) {
        const QString& text = table.Text1(static_cast<ScanTableEditor::Box>(i));
        if (m_text1[static_cast<std::size_t>(i)]->text() != text)
            m_text1[static_cast<std::size_t>(i)]->setText(text);
    }
    for (const MaskCheck& c : kMaskChecks)
        m_check2[static_cast<std::size_t>(c.bit)]->setChecked(table.MaskCheck(c.bit));
    m_option1[static_cast<std::size_t>(table.SelectedMaskOption())]->setChecked(true);

    m_keyboard->showShifts(m_logic.DispShifts());
    if (const auto k = m_logic.TakeFocusRequest()) {
        if (InputLinePicture* l = line(*k))
            l->setFocus();
    }
}

bool KeyModeForm::eventFilter(QObject* watched, QEvent* event)
{
    const QVariant index = watched->property(kLineIndex);
    if (!index.isValid())
        return QWidget::eventFilter(watched, event);
    const int k = index.toInt();
    switch (event->type()) {
    case QEvent::FocusIn:
        run([&] { m_logic.GotFocus(k); });
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            break; // moves the focus
        if (const int code = TypedCode(key->key(), key->modifiers(), key->text()); code >= 0)
            run([&] { m_logic.KeyPress(code); });
        return true;
    }
    case QEvent::KeyRelease:
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void KeyModeForm::closeEvent(QCloseEvent* event)
{
    // The form stays loaded: its state is used again at the next opening.
    run([&] { m_logic.closeWindow(); });
    event->ignore();
}

void KeyModeForm::hideEvent(QHideEvent* event)
{
    // Hidden while still open, the program ends (a logout, a kill): what Ok
    // would take goes into the layout in memory, and so into its recovery
    // copy; in MSR mode to "MSR Configure", which hands it on. Ok, Cancel and
    // the close box close the editor before it hides.
    if (!event->spontaneous() && m_logic.IsOpen()) {
        if (m_logic.MsrMode()) {
            if (const auto lines = m_logic.unconfirmedMsrLines(); lines && m_msrAccepted)
                m_msrAccepted(*lines);
            emit msrEnded();
        } else if (const auto key = m_logic.unconfirmedKey(); key && m_keyAccepted) {
            m_keyAccepted(*key);
        }
    }
    QWidget::hideEvent(event);
}

} // namespace morvaw
