#pragma once

#include "keymodelogic.h"

#include <QHash>
#include <QPixmap>
#include <QWidget>

#include <filesystem>
#include <map>

class QPushButton;

namespace morvaw {

class PictureKey;

// The key editor's on-screen PC keyboard: the function row, the main block,
// the editing and cursor block and the numeric keypad, with the buttons
// Btn_301 ... Btn_400 and the modifier pictures BtnPict_0 ... BtnPict_7.
class PcKeyboard : public QWidget
{
    Q_OBJECT
public:
    // Bitmaps are read from the program folder.
    explicit PcKeyboard(std::filesystem::path programFolder, QWidget* parent = nullptr);

    // Shows the pictures, captions and the "<" key of a modifier state.
    void showShifts(const ShiftDisplay& display);

    // Its natural size; made smaller (a large scale factor on a small
    // screen), it draws its keys smaller, down to half that size.
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    void btnClicked(int n);
    void pictureMouseDown(int i, Qt::MouseButton button);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place(bool lessKeyShown);
    void placeKeys();
    [[nodiscard]] QPixmap bitmap(const std::string& file);

    std::filesystem::path m_folder; // bytes: its name need not be UTF-8
    std::map<int, QPushButton*> m_buttons;
    std::array<PictureKey*, OnScreen::kPictureCount> m_pictures{};
    QHash<QString, QPixmap> m_bitmaps;
    bool m_lessKeyShown = false;
    bool m_placed = false;
};

} // namespace morvaw
