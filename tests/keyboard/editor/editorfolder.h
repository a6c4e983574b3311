#pragma once

#include "filefolders.h"
#include "mainformlogic.h"
#include "settingsfile.h"
#include "testlayouts.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace morvaw::test {

// A program folder holding the shipped data files, in which a test may write
// (the editor rewrites STC files), and a layout file with a settings file
// naming it, so that the main window starts with it.
class EditorFolder
{
public:
    explicit EditorFolder(std::uint8_t language = Language::USA)
    {
        EXPECT_TRUE(m_dir.isValid());
        for (const auto& entry : std::filesystem::directory_iterator(SUITE_DATA_DIR)) {
            const auto ext = entry.path().extension();
            if (ext == ".BIN" || ext == ".TBL" || ext == ".bmp")
                std::filesystem::copy_file(entry.path(), path() / entry.path().filename());
        }
        LayoutRecordArray records{};
        FillVaried(records, 3);
        // Keys start empty on their three edited levels; the rest, the fourth
        // definition above all, differs from key to key.
        for (int n = 1; n <= kKeyCount; ++n) {
            for (int k = 0; k < 3; ++k)
                SetDef(records[static_cast<std::size_t>(n)], k, "");
        }
        SetDef(records[2], 0, Tokens({"F1", "x"}));
        records[Settings::KbdLanguage].PosX = language;
        records[Settings::KbdShape].PosX = 0;
        EXPECT_TRUE(WriteBytes(layout(), LayoutFileBytes(records)));
        SettingsRecord settings;
        settings.LayoutFileName = layout().toStdString();
        EXPECT_TRUE(SaveIni(SettingsFilePath(path()), settings).ok);
    }

    [[nodiscard]] std::filesystem::path path() const { return m_dir.path().toStdString(); }
    [[nodiscard]] QString file(const QString& name) const
    {
        return QDir(m_dir.path()).filePath(name);
    }
    [[nodiscard]] QString layout() const { return file("edited.KBD"); }

    [[nodiscard]] FileFolders folders() const { return {path(), {}}; }

private:
    QTemporaryDir m_dir;
};

} // namespace morvaw::test
