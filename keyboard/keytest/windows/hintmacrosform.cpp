#include "hintmacrosform.h"

#include "inputlinepicture.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QShortcut>

namespace morvaw {

HintMacrosForm::HintMacrosForm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("HintMacrosForm"));
    setWindowTitle(QStringLiteral("List key macros"));
    auto* grid = new QGridLayout(this);
    const std::array<QString, kLines> captions = {
        QStringLiteral("Lower def:"), QStringLiteral("Func1 def:"), QStringLiteral("Func2 def:")};
    for (int k = 0; k < kLines; ++k) {
        auto* line = new InputLinePicture(this);
        line->setObjectName(QStringLiteral("InputLinePict_%1").arg(k));
        line->setFocusPolicy(Qt::NoFocus);
        line->installEventFilter(this);
        m_lines[static_cast<std::size_t>(k)] = line;
        grid->addWidget(new QLabel(captions[static_cast<std::size_t>(k)], this), k, 0);
        grid->addWidget(line, k, 1);
    }
    grid->setSizeConstraint(QLayout::SetFixedSize);
    // Escape closes it, as a click does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            [this] { leave(); });
}

void HintMacrosForm::open(const KeyRecord& key)
{
    for (int k = 0; k < kLines; ++k)
        m_lines[static_cast<std::size_t>(k)]->setDefinition(key.definition(k));
    show();
    raise();
    activateWindow();
}

void HintMacrosForm::leave()
{
    if (!isVisible())
        return;
    hide();
    emit closed();
}

bool HintMacrosForm::eventFilter(QObject* watched, QEvent* event)
{
    // A click on a line closes the window just as one on its background does.
    if (event->type() == QEvent::MouseButtonRelease && watched->parent() == this) {
        leave();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void HintMacrosForm::mouseReleaseEvent(QMouseEvent*)
{
    leave();
}

void HintMacrosForm::closeEvent(QCloseEvent* event)
{
    event->ignore();
    leave();
}

} // namespace morvaw
