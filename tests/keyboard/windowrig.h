#pragma once

#include "applicationenvironment.h"
#include "configuratorstate.h"
#include "document/fakes.h"
#include "mainform.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace morvaw::test {

// The main window over a program folder (empty unless prepareFolder fills it), shown.
class MainWindowRig : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        prepareFolder();
        InitialiseConfigurator(*m_state, m_dir.path().toStdString());
        m_main = std::make_unique<MainForm>(*m_state, m_dialogs, m_help);
        m_main->show();
        QCoreApplication::processEvents();
    }

    virtual void prepareFolder() {} // files the configurator finds at its start

    template <typename T = QWidget> T* child(QWidget* window, const QString& name) const
    {
        auto* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    // A check box or option button, clicked on its box rather than beside its caption.
    void tick(QWidget* window, const QString& name) const
    {
        QWidget* box = child(window, name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    void menu(const char* action) const
    {
        m_main->findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ConfiguratorState> m_state = std::make_unique<ConfiguratorState>();
    ScriptedDialogs m_dialogs;
    RecordingHelp m_help;
    std::unique_ptr<MainForm> m_main;
};

} // namespace morvaw::test
