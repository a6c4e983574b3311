#pragma once

#include "keyrecord.h"

#include <QWidget>

#include <array>

namespace morvaw {

class InputLinePicture;

// "List key macros": the readable form of the three definitions of a key. It
// only shows; any click on it hides it and says closed().
class HintMacrosForm : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kLines = 3;

    explicit HintMacrosForm(QWidget* parent = nullptr);

    // Paints the lines afresh from the key.
    void open(const KeyRecord& key);

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void leave();

    std::array<InputLinePicture*, kLines> m_lines{};
};

} // namespace morvaw
