#pragma once

#include "displayprogram.h"
#include "displayrig.h"
#include "mainform.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

namespace vornestw::test {

// The real windows over a simulated display on a virtual clock, started
// from a program folder of their own.
struct WidgetRig : Devices
{
    WidgetRig()
    {
        QDir().mkpath(folder());
        QFile::copy(QDir(SUITE_PROGRAM_DIR).filePath("lcdicon.ico"),
                    QDir(folder()).filePath("lcdicon.ico"));
        program = std::make_unique<DisplayProgram>(folder(), port, printer, waiter, notice);
        program->Main();
    }

    [[nodiscard]] QString folder() const { return QDir(parent.path()).filePath("prog"); }
    [[nodiscard]] DisplayState& state() { return program->state(); }
    [[nodiscard]] MainForm& main() { return program->mainForm(); }

    // A control of the main window, or one of the other windows.
    template <typename T = QWidget> T* find(const char* name)
    {
        const QString objectName = QString::fromLatin1(name);
        if (auto* found = main().findChild<T*>(objectName))
            return found;
        for (QWidget* form : main().OtherForms()) {
            if (form->objectName() == objectName)
                return qobject_cast<T*>(form);
        }
        return nullptr;
    }
    // A widget of one of the other windows.
    template <typename T = QWidget> T* in(const char* form, const char* name)
    {
        QWidget* window = find(form);
        return window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    }
    void trigger(const char* action) { find<QAction>(action)->trigger(); }
    void click(const char* form, const char* button) { in<QAbstractButton>(form, button)->click(); }
    // Opens the window of a function menu item in the given protocol.
    void openItem(int mode, int item)
    {
        state().Mode = mode;
        main().BuildFunctionMenu();
        trigger(qPrintable(QStringLiteral("MenuFunction_%1").arg(item)));
    }

    QTemporaryDir parent;
    std::unique_ptr<DisplayProgram> program;
};

} // namespace vornestw::test
