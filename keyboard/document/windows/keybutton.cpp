#include "keybutton.h"

#include <QFontMetrics>

#include <algorithm>

namespace morvaw {

namespace {

constexpr int kMinPixelSize = 8;
constexpr int kMaxPixelSize = 22;
constexpr int kSidePadding = 6;
constexpr int kMaxLines = 3;

// The caption's words on as few lines as the width allows; a word too long
// for a line stands alone on it.
QStringList wrapped(const QString& caption, const QFontMetrics& metrics, int width)
{
    QStringList lines;
    for (const QString& word : caption.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!lines.isEmpty() &&
            metrics.horizontalAdvance(lines.back() + QLatin1Char(' ') + word) <= width)
            lines.back() += QLatin1Char(' ') + word;
        else
            lines << word;
    }
    return lines;
}

bool fits(const QStringList& lines, const QFontMetrics& metrics, int width, int height)
{
    if (lines.size() * metrics.lineSpacing() > height)
        return false;
    return std::all_of(lines.begin(), lines.end(),
                       [&](const QString& l) { return metrics.horizontalAdvance(l) <= width; });
}

} // namespace

KeyButton::KeyButton(QWidget* parent) : QPushButton(parent)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    setFont(f);
    // A clicked key keeps the focus, so that Ctrl+C and Ctrl+V find it.
    setFocusPolicy(Qt::StrongFocus);
}

void KeyButton::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    fitCaption();
}

void KeyButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    fitCaption();
}

void KeyButton::fitCaption()
{
    QFont f = font();
    const int width = this->width() - kSidePadding;
    const int height = this->height() - kSidePadding;
    // A caption without spaces (the specified ones) stays on one line.
    const bool oneLine = !m_caption.trimmed().contains(QLatin1Char(' '));
    QStringList lines = {m_caption};
    int size = std::clamp(this->height() * 3 / 10, kMinPixelSize, kMaxPixelSize);
    for (; size >= kMinPixelSize; --size) {
        f.setPixelSize(size);
        const QFontMetrics metrics(f);
        lines = oneLine ? QStringList{m_caption} : wrapped(m_caption, metrics, width);
        if (fits(lines, metrics, width, height))
            break;
    }
    if (size < kMinPixelSize) {
        size = kMinPixelSize;
        f.setPixelSize(size);
        const QFontMetrics metrics(f);
        const int room = std::clamp(height / metrics.lineSpacing(), 1, kMaxLines);
        if (lines.size() > room) {
            lines = lines.mid(0, room);
            lines.back() += QStringLiteral(" \u2026");
        }
        for (QString& line : lines)
            line = metrics.elidedText(line, Qt::ElideRight, width);
    }
    if (f != font())
        setFont(f);
    QString shown = lines.join(QLatin1Char('\n'));
    shown.replace(QLatin1Char('&'), QStringLiteral("&&")); // "&" is a key's text, not an access key
    if (shown != text())
        setText(shown);
}

} // namespace morvaw
