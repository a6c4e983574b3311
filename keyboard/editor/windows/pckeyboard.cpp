#include "pckeyboard.h"

#include "displaytext.h"
#include "picturekey.h"
#include "regularfile.h"

#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace morvaw {

namespace {

// Places in quarters of a key: a PC keyboard's widths (Tab 1.5 keys, Caps
// 1.75, Enter 2.25, ...) are whole quarters. Rows 0..5 from the top.
constexpr int kQuarter = 11;   // pixels
constexpr int kGap = 4;        // between neighbouring keys
constexpr int kRowPitch = 40;  // pixels from row to row
constexpr int kRowHeight = 36; // a key's height
constexpr int kFunctionRowGap = 14;
constexpr int kMargin = 6;
constexpr int kMaxFontPixels = 13;
// Keys drawn at half size still name themselves whole ("appl win" is cut at 6).
constexpr int kMinFontPixels = 5;
constexpr qint64 kLargestBitmap = 1 << 20;

// Blocks: the main block 15 keys wide, the editing block at 15.5, the keypad at 19.
constexpr int kEditBlock = 62;
constexpr int kKeypad = 76;
constexpr int kWidth = 92;

struct Place
{
    int id; // a button number, or -1 - i for picture key i
    int row;
    int x; // quarters
    int width = 4;
    int rows = 1;
};

// The modifier switches by OnScreen::Picture, as a screen reader names them.
constexpr std::array<const char*, OnScreen::kPictureCount> kSwitchNames{
    "Left Shift", "Right Shift", "Left Ctrl", "Right Ctrl",
    "Left Alt",   "Right Alt",   "Caps Lock", "Num Lock"};

constexpr int pict(int i)
{
    return -1 - i;
}

std::vector<Place> keyPlaces(bool lessKeyShown)
{
    std::vector<Place> p;
    // A run of one-key-wide buttons numbered from first.
    const auto run = [&p](int row, int x, int first, int count) {
        for (int i = 0; i < count; ++i)
            p.push_back({first + i, row, x + 4 * i});
    };
    // Function row: Esc, F1..F12 in groups of four, then the print block.
    p.push_back({301, 0, 0});
    run(0, 8, 302, 4);
    run(0, 26, 306, 4);
    run(0, 44, 310, 4);
    run(0, kEditBlock, 314, 2);
    p.push_back({336, 0, kEditBlock + 8});
    // Digit row.
    run(1, 0, 316, 13);
    p.push_back({329, 1, 52, 8});
    run(1, kEditBlock, 330, 3);
    p.push_back({pict(OnScreen::NumLock), 1, kKeypad});
    run(1, kKeypad + 4, 333, 3);
    // Tab row.
    p.push_back({337, 2, 0, 6});
    run(2, 6, 338, 12);
    p.push_back({350, 2, 54, 6});
    run(2, kEditBlock, 351, 3);
    run(2, kKeypad, 354, 3);
    p.push_back({357, 2, kKeypad + 12, 4, 2});
    // Caps Lock row.
    p.push_back({pict(OnScreen::CapsLock), 3, 0, 7});
    run(3, 7, 359, 11);
    p.push_back({370, 3, 51, 9});
    run(3, kKeypad, 371, 3);
    // Shift row: the ISO "<" key takes its room from the left Shift.
    if (lessKeyShown) {
        p.push_back({pict(OnScreen::LeftShift), 4, 0, 5});
        p.push_back({OnScreen::kLessKey, 4, 5});
    } else {
        p.push_back({pict(OnScreen::LeftShift), 4, 0, 9});
    }
    run(4, 9, 375, 10);
    p.push_back({pict(OnScreen::RightShift), 4, 49, 11});
    p.push_back({385, 4, kEditBlock + 4});
    run(4, kKeypad, 387, 3);
    p.push_back({390, 4, kKeypad + 12, 4, 2});
    // Bottom row.
    p.push_back({pict(OnScreen::LeftCtrl), 5, 0, 6});
    p.push_back({391, 5, 6, 5});
    p.push_back({pict(OnScreen::LeftAlt), 5, 11, 5});
    p.push_back({392, 5, 16, 23});
    p.push_back({pict(OnScreen::RightAlt), 5, 39, 5});
    p.push_back({393, 5, 44, 5});
    p.push_back({394, 5, 49, 5});
    p.push_back({pict(OnScreen::RightCtrl), 5, 54, 6});
    run(5, kEditBlock, 395, 3);
    p.push_back({399, 5, kKeypad, 8});
    p.push_back({400, 5, kKeypad + 8});
    return p;
}

// A key's place at `scale` times the natural size, shifted by `offset`.
// Edges are rounded, not sizes, so the gaps between keys stay even.
QRect pixelRect(const Place& place, double scale, QPoint offset)
{
    const auto px = [scale](double natural) {
        return static_cast<int>(std::lround(natural * scale));
    };
    const int top = kMargin + place.row * kRowPitch + (place.row > 0 ? kFunctionRowGap : 0);
    const int left = kMargin + place.x * kQuarter;
    const int right = left + place.width * kQuarter - kGap;
    const int bottom = top + kRowHeight + (place.rows - 1) * kRowPitch;
    return QRect(QPoint(px(left), px(top)), QPoint(px(right) - 1, px(bottom) - 1))
        .translated(offset);
}

// The largest font up to the usual size in which the caption fits the key.
void fitFont(QPushButton* button)
{
    QFont f = button->font();
    const QString shown = button->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
    int size =
        std::clamp(button->height() * kMaxFontPixels / kRowHeight, kMinFontPixels, kMaxFontPixels);
    for (; size > kMinFontPixels; --size) {
        f.setPixelSize(size);
        if (QFontMetrics(f).horizontalAdvance(shown) <= button->width() - 6)
            break;
    }
    f.setPixelSize(size);
    button->setFont(f);
}

} // namespace

PcKeyboard::PcKeyboard(std::filesystem::path programFolder, QWidget* parent)
    : QWidget(parent), m_folder(std::move(programFolder))
{
    setObjectName(QStringLiteral("PcKeyboard"));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    for (int n = OnScreen::kFirstButton; n <= OnScreen::kLastButton; ++n) {
        if (!OnScreen::IsButton(n))
            continue;
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("Btn_%1").arg(n));
        b->setFont(f);
        connect(b, &QPushButton::clicked, this, [this, n] { emit btnClicked(n); });
        m_buttons[n] = b;
    }
    for (int i = 0; i < OnScreen::kPictureCount; ++i) {
        auto* key = new PictureKey(this);
        key->setObjectName(QStringLiteral("BtnPict_%1").arg(i));
        key->setAccessibleName(QString::fromLatin1(kSwitchNames[static_cast<std::size_t>(i)]));
        connect(key, &PictureKey::mouseDown, this,
                [this, i](Qt::MouseButton button) { emit pictureMouseDown(i, button); });
        m_pictures[static_cast<std::size_t>(i)] = key;
    }
    place(false);
}

QSize PcKeyboard::sizeHint() const
{
    return {2 * kMargin + kWidth * kQuarter - kGap,
            2 * kMargin + 5 * kRowPitch + kFunctionRowGap + kRowHeight};
}

QSize PcKeyboard::minimumSizeHint() const
{
    return sizeHint() / 2;
}

void PcKeyboard::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeKeys();
}

void PcKeyboard::place(bool lessKeyShown)
{
    if (m_placed && lessKeyShown == m_lessKeyShown)
        return;
    m_placed = true;
    m_lessKeyShown = lessKeyShown;
    placeKeys();
    QPushButton* less = m_buttons.at(OnScreen::kLessKey);
    less->setVisible(lessKeyShown);
    less->setEnabled(lessKeyShown);
}

void PcKeyboard::placeKeys()
{
    // As large as the room allows, never larger than natural, centred.
    const QSize natural = sizeHint();
    const double scale =
        std::min({1.0, double(width()) / natural.width(), double(height()) / natural.height()});
    const QPoint offset((width() - static_cast<int>(natural.width() * scale)) / 2, 0);
    for (const Place& place : keyPlaces(m_lessKeyShown)) {
        QWidget* w =
            place.id < 0
                ? static_cast<QWidget*>(m_pictures[static_cast<std::size_t>(-1 - place.id)])
                : m_buttons.at(place.id);
        const QRect r = pixelRect(place, scale, offset);
        if (w->geometry() == r)
            continue;
        w->setGeometry(r);
        if (auto* button = qobject_cast<QPushButton*>(w))
            fitFont(button);
    }
}

QPixmap PcKeyboard::bitmap(const std::string& file)
{
    const QString name = QString::fromStdString(file);
    auto it = m_bitmaps.find(name);
    if (it == m_bitmaps.end()) {
        QPixmap picture;
        picture.loadFromData(ReadRegularFile(m_folder / file, kLargestBitmap).bytes);
        it = m_bitmaps.insert(name, picture);
    }
    return *it;
}

void PcKeyboard::showShifts(const ShiftDisplay& display)
{
    place(display.lessKeyShown);
    for (std::size_t i = 0; i < m_pictures.size(); ++i) {
        m_pictures[i]->setPicture(bitmap(display.pictures[i]));
        // A screen reader cannot see the picture change.
        m_pictures[i]->setAccessibleDescription(display.switchedOn[i] ? QStringLiteral("on")
                                                                      : QStringLiteral("off"));
    }
    for (auto& [n, button] : m_buttons) {
        const QString caption = ToDisplayText(display.caption(n));
        if (button->text() != caption) {
            button->setText(caption);
            fitFont(button);
        }
    }
}

} // namespace morvaw
