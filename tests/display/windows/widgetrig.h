#pragma once

#include "displayprogram.h"
#include "displayrig.h"
#include "mainform.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vornestw::test {

// The real windows, started from a program folder of their own, over the
// simulated display on a virtual clock, or (started later) any port and waiter.
struct WidgetRig : Devices
{
    explicit WidgetRig(bool startNow = true)
    {
        QDir().mkpath(folder());
        const QDir built(SUITE_PROGRAM_DIR);
        for (const QString& file : built.entryList({"lcdicon.ico", "vornestw*.html"}))
            QFile::copy(built.filePath(file), QDir(folder()).filePath(file));
        if (startNow)
            start(port, waiter);
    }
    void start(SerialLink& link, Waiter& wait)
    {
        program = std::make_unique<DisplayProgram>(folder(), link, ports, printer, wait, notice);
        program->Main();
    }

    [[nodiscard]] QString folder() const { return parent.filePath("prog"); }
    [[nodiscard]] QByteArray settings() const
    {
        QFile file(folder() + ".INI");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    [[nodiscard]] DisplayState& state() { return program->state(); }
    [[nodiscard]] MainForm& main() { return program->mainForm(); }

    // A control of the main window, or one of the other windows.
    template <typename T = QWidget> T* find(const char* name)
    {
        if (auto* found = main().findChild<T*>(QString::fromLatin1(name)))
            return found;
        for (QWidget* form : main().OtherForms()) {
            if (form->objectName() == QLatin1String(name))
                return qobject_cast<T*>(form);
        }
        return nullptr;
    }
    // A control of one of the other windows.
    template <typename T = QWidget> T* in(const char* form, const char* name)
    {
        return find(form)->findChild<T*>(QString::fromLatin1(name));
    }
    QString label(const char* name) { return find<QLabel>(name)->text(); }
    void trigger(const char* action) { find<QAction>(action)->trigger(); }
    void click(const char* form, const char* button) { in<QAbstractButton>(form, button)->click(); }
    void type(const char* form, const char* box, const QString& text)
    {
        in<QLineEdit>(form, box)->clear();
        QTest::keyClicks(in<QLineEdit>(form, box), text);
    }
    // Opens the window of a function menu item in the given protocol.
    void openItem(int mode, int item)
    {
        state().Mode = mode;
        main().BuildFunctionMenu();
        trigger(qPrintable(QStringLiteral("MenuFunction_%1").arg(item)));
    }
    // Each of the other windows, and how a person opens it.
    std::vector<std::pair<QWidget*, std::function<void()>>> dialogs()
    {
        return {{find("DisplayTwoLinesForm"), [this] { openItem(0, 0); }},
                {find("SetCursorPosForm"), [this] { openItem(0, 2); }},
                {find("DisplayLongForm"), [this] { openItem(1, 2); }},
                {find("PrefixForm"), [this] { openItem(1, 6); }},
                {find("SetModeForm"), [this] { trigger("MenuSetMode"); }},
                {find("OptionsForm"), [this] { trigger("Configure"); }},
                {in<QDialog>("OptionsForm", "PortChooserForm"),
                 [this] { trigger("Configure"), click("OptionsForm", "BtnPorts"); }}};
    }

    QTemporaryDir parent;
    std::unique_ptr<DisplayProgram> program;
};

} // namespace vornestw::test
