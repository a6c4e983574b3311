// Every window on a 1280x1024 screen (screen1280x1024.json) at the scale
// factor of the run (ctest runs this at 1, 1.5 and 2): it fits the screen
// with its buttons inside, and no text is drawn over other text, even when a
// window system makes the main window smaller than it asks.
#include "helpwindow.h"
#include "widgetrig.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QScreen>
#include <QTextEdit>
#include <QWindow>
#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

// The controls that show text, outside lists and pages (whose insides are
// theirs to draw).
std::vector<QWidget*> textControls(QWidget* window)
{
    std::vector<QWidget*> found;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        bool inView = false;
        for (QWidget* up = w->parentWidget(); up != window; up = up->parentWidget())
            inView = inView || qobject_cast<QAbstractItemView*>(up) || qobject_cast<QTextEdit*>(up);
        const auto* label = qobject_cast<QLabel*>(w);
        if (!inView && w->isVisibleTo(window) &&
            ((label && !label->text().isEmpty()) || qobject_cast<QAbstractButton*>(w) ||
             qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)))
            found.push_back(w);
    }
    return found;
}

// Inside the screen, buttons inside the window, no two texts drawn over one
// another.
void ExpectFitsAndReadable(QWidget* window, bool onScreen = true)
{
    const std::string name = window->objectName().toStdString();
    QApplication::processEvents();
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_TRUE(!onScreen || screen.contains(window->frameGeometry()))
        << name << " at " << window->frameGeometry().width() << "x"
        << window->frameGeometry().height() << " on " << screen.width() << "x" << screen.height();
    const auto controls = textControls(window);
    const auto inWindow = [window](QWidget* w) {
        return QRect(w->mapTo(window, QPoint()), w->size());
    };
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QRect place = inWindow(controls[i]);
        EXPECT_TRUE(!onScreen || !qobject_cast<QAbstractButton*>(controls[i]) ||
                    window->rect().contains(place))
            << name << ": " << controls[i]->objectName().toStdString() << " outside";
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const bool related =
                controls[i]->isAncestorOf(controls[j]) || controls[j]->isAncestorOf(controls[i]);
            EXPECT_TRUE(related || !place.intersects(inWindow(controls[j])))
                << name << ": " << controls[i]->objectName().toStdString() << " over "
                << controls[j]->objectName().toStdString();
        }
    }
}

TEST(EveryWindow, FitsTheScreenWithItsButtonsInsideAndNoTextOverText)
{
    WidgetRig rig;
    rig.ports.listed = {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K3X",
                         "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3X-if00-port0"}};
    rig.ports.facts["/dev/ttyUSB0"].kind = PortFacts::Kind::CharacterDevice;
    rig.openItem(7, 0);
    rig.in<QLineEdit>("DisplayTwoLinesForm", "Text1")->setText(QString(20, ' '));
    rig.click("DisplayTwoLinesForm", "BtnSend"); // a full echo
    rig.click("DisplayTwoLinesForm", "BtnCancel");
    rig.state().Mode = 6; // EPSON: the longest menu
    rig.main().BuildFunctionMenu();
    ExpectFitsAndReadable(&rig.main());
    // A window system that does not keep to the smallest size the window asks for.
    rig.main().windowHandle()->setMinimumSize({0, 0});
    rig.main().windowHandle()->resize(200, 120);
    ExpectFitsAndReadable(&rig.main(), false);

    for (const auto& [window, open] : rig.dialogs()) {
        open();
        if (window == rig.find("OptionsForm"))
            rig.click("OptionsForm", "BtnTest"); // its longest text
        ExpectFitsAndReadable(window);
        QTest::keyClick(window, Qt::Key_Escape);
    }
    rig.trigger("Contents");
    ExpectFitsAndReadable(&rig.main().help());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
