#pragma once

#include <QObject>

namespace morvaw {

// F1 in any window of the program asks for the help topic of that window (a
// message box over a window gets that window's topic). Windows without a
// topic keep F1: the keyboard test writes it down as a key.
class HelpKey : public QObject
{
    Q_OBJECT
public:
    explicit HelpKey(QObject* parent = nullptr);

    // The topic of a window by its object name; 0 for none.
    [[nodiscard]] static int TopicOf(const QString& windowName);

signals:
    void helpWanted(int context);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace morvaw
