// A window as a person sees it on the screen of the run: inside the screen's
// free area with its buttons inside the window and their captions whole, and
// no two texts drawn over one another outside lists and pages (whose insides
// are theirs to draw).
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace suite {

// onScreen false: a window system made the window smaller than it asks, so
// only the overlap of texts is checked.
inline void ExpectFitsAndReadable(QWidget* window, std::string name = {}, bool onScreen = true)
{
    ASSERT_NE(window, nullptr) << name;
    QApplication::processEvents();
    if (name.empty())
        name = window->objectName().toStdString();
    const QRect screen = window->screen()->availableGeometry();
    const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
    EXPECT_TRUE(!onScreen || (screen.contains(window->frameGeometry()) &&
                              least.width() <= screen.width() && least.height() <= screen.height()))
        << name << " at " << window->width() << "x" << window->height() << ", at least "
        << least.width() << "x" << least.height();
    std::vector<std::pair<QWidget*, QRect>> texts;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        bool inView = false;
        for (QWidget* up = w->parentWidget(); up && up != window; up = up->parentWidget())
            inView = inView || qobject_cast<QAbstractItemView*>(up) || qobject_cast<QTextEdit*>(up);
        const auto* label = qobject_cast<QLabel*>(w);
        const bool button = qobject_cast<QAbstractButton*>(w) != nullptr;
        if (inView || !w->isVisibleTo(window) ||
            !((label && !label->text().isEmpty()) || button || qobject_cast<QLineEdit*>(w) ||
              qobject_cast<QComboBox*>(w)))
            continue;
        const QRect place(w->mapTo(window, QPoint()), w->size());
        const std::string control = name + ": " + w->objectName().toStdString();
        EXPECT_TRUE(!onScreen || !button || window->rect().contains(place))
            << control << " outside";
        if (const auto* push = qobject_cast<QPushButton*>(w); push && onScreen)
            for (const QString& line : QString(push->text()).remove('&').split('\n'))
                EXPECT_LE(push->fontMetrics().horizontalAdvance(line), push->width() - 4)
                    << control << " cuts \"" << line.toStdString() << '"';
        for (const auto& [other, at] : texts)
            EXPECT_TRUE(w->isAncestorOf(other) || other->isAncestorOf(w) || !place.intersects(at))
                << control << " over " << other->objectName().toStdString();
        texts.emplace_back(w, place);
    }
}

} // namespace suite
