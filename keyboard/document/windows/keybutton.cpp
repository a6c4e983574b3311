#include "keybutton.h"

#include <QFontMetrics>

#include <algorithm>

namespace morvaw {

namespace {

constexpr int kMinPixelSize = 7;
constexpr int kMaxPixelSize = 22;
constexpr int kSidePadding = 6;

} // namespace

KeyButton::KeyButton(QWidget* parent) : QPushButton(parent)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    setFont(f);
    setFocusPolicy(Qt::TabFocus);
}

void KeyButton::setCaption(const QString& caption)
{
    QString shown = caption;
    shown.replace(QLatin1Char('&'), QStringLiteral("&&")); // "&" is a key's text, not an access key
    if (shown == text())
        return;
    setText(shown);
    fitFont();
}

void KeyButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    fitFont();
}

void KeyButton::fitFont()
{
    QFont f = font();
    int size = std::clamp(height() * 3 / 10, kMinPixelSize, kMaxPixelSize);
    const QString shown = text().replace(QStringLiteral("&&"), QStringLiteral("&"));
    for (; size > kMinPixelSize; --size) {
        f.setPixelSize(size);
        if (QFontMetrics(f).horizontalAdvance(shown) <= width() - kSidePadding)
            break;
    }
    f.setPixelSize(size);
    if (f != font())
        setFont(f);
}

} // namespace morvaw
