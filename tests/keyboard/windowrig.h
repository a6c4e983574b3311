#pragma once

#include "applicationenvironment.h"
#include "document/fakes.h"
#include "languagetables.h"
#include "layoutdocument.h"
#include "mainform.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace morvaw::test {

// The main window over a program folder (empty unless prepareFolder fills
// it), shown; the other windows are not there.
class MainWindowRig : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        prepareFolder();
        m_tables = std::make_unique<LanguageTables>(folders());
        m_main = std::make_unique<MainForm>(m_document, *m_tables, folders(), m_dialogs, m_help);
        m_main->show();
        QCoreApplication::processEvents();
    }

    virtual void prepareFolder() {} // files the configurator finds at its start
    [[nodiscard]] virtual FileFolders folders() const { return {m_dir.path().toStdString(), {}}; }

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
    // Key button `key`'s record, changed as a window would hand it back.
    template <typename Change> void changeKey(int key, Change change)
    {
        KeyRecord record = m_document.key(key);
        change(record);
        m_document.storeKey(key, record);
    }

    QTemporaryDir m_dir;
    LayoutDocument m_document;
    std::unique_ptr<LanguageTables> m_tables;
    ScriptedDialogs m_dialogs;
    RecordingHelp m_help;
    std::unique_ptr<MainForm> m_main;
};

} // namespace morvaw::test
