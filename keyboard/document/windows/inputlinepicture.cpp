#include "inputlinepicture.h"

#include "displaytext.h"
#include "keypictures.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace morvaw {

namespace {

constexpr int kChipPadding = 3; // on each side of a token's text
constexpr int kChipGap = 2;
// What a token that is a space shows in its frame.
const QString kSpaceShown = QStringLiteral("\u2423");

} // namespace

InputLinePicture::InputLinePicture(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setStyleHint(QFont::Monospace);
    f.setPixelSize(14);
    setFont(f);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void InputLinePicture::setDefinition(const Definition& definition)
{
    const QString text = ToDisplayText(InputLineText(definition.Def, definition.Len));
    QStringList tokens;
    for (const std::string& token : InputLineTokens(definition)) {
        const QString shown = ToDisplayText(token);
        tokens << (shown.trimmed().isEmpty() ? kSpaceShown : shown);
    }
    if (text == m_text && tokens == m_tokens)
        return;
    m_text = text;
    m_tokens = tokens;
    setAccessibleName(m_tokens.join(QLatin1Char(' ')));
    update();
}

QSize InputLinePicture::sizeHint() const
{
    // Room for a full line of one-character tokens in their frames.
    const int chip =
        fontMetrics().horizontalAdvance(QLatin1Char('M')) + 2 * kChipPadding + kChipGap;
    return {chip * 30 + 10, fontMetrics().height() + 12};
}

void InputLinePicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), hasFocus() ? QColor(Qt::white) : palette().color(QPalette::Button));
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = 1;
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &p, this);

    const QRect inside = rect().adjusted(4, 3, -3, -3);
    const QColor ink = palette().color(QPalette::Text);
    const QColor border = palette().color(QPalette::Mid);
    const QColor fill = palette().color(QPalette::AlternateBase);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(inside);
    auto chipWidth = [&](const QString& token) {
        return fontMetrics().horizontalAdvance(token) + 2 * kChipPadding;
    };
    int total = 0;
    for (const QString& token : m_tokens)
        total += chipWidth(token) + kChipGap;
    // A line longer than the box shows its end, where tokens are added and removed.
    int x = total > inside.width() ? inside.right() - total : inside.left();
    for (const QString& token : m_tokens) {
        const int width = chipWidth(token);
        const QRectF chip(x + 0.5, inside.top() + 0.5, width, inside.height() - 1);
        p.setPen(border);
        p.setBrush(fill);
        p.drawRoundedRect(chip, 3, 3);
        p.setPen(ink);
        p.drawText(chip, Qt::AlignCenter, token);
        x += width + kChipGap;
    }
}

void InputLinePicture::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void InputLinePicture::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

} // namespace morvaw
