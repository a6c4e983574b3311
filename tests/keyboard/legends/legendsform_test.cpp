#include "applicationenvironment.h"
#include "document/testlayouts.h"
#include "keylegends.h"
#include "layoutdocument.h"
#include "legendsform.h"
#include "scripteddialogs.h"

#include <QDir>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

// A legend edited in the window's table is printed and kept beside the
// layout, which stays as it was.
TEST(LegendsWindow, AnEditedLegendIsSavedIntoThePdfAndKeptBesideTheLayout)
{
    QTemporaryDir dir;
    LayoutRecordArray records{};
    NewLayout(records);
    SetDef(records[2], 0, Tokens({"T", "E", "A"}));
    const std::filesystem::path layout = Native(dir.filePath("shop.KBD"));
    ScriptedDialogs dialogs;
    LegendsForm form(dialogs);
    form.open(records, layout.string());

    auto* table = form.findChild<QTableWidget*>("LegendTable");
    ASSERT_NE(table, nullptr);
    QTableWidgetItem* legend = table->item(1, 1); // key 2, in the picture's first row
    ASSERT_EQ(legend->text(), "TEA");
    // Typed, and not yet taken by its cell when the PDF is asked for by the
    // button's Alt key (which leaves the focus where it is).
    table->setCurrentCell(1, 1);
    QTest::keyClick(table, Qt::Key_F2);
    QWidget* cell = table->indexWidget(table->currentIndex());
    QTest::keyClick(cell, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(cell, "Green tea");
    dialogs.fileNames.push_back(dir.filePath("sheet.pdf"));
    form.findChild<QPushButton*>("SavePdf")->click();
    EXPECT_TRUE(legend->font().bold());
    ASSERT_EQ(dialogs.dialogs.size(), 1u);
    EXPECT_EQ(dialogs.dialogs[0].initialName, "shop-legends.pdf");
    EXPECT_TRUE(ReadBytes(dir.filePath("sheet.pdf")).startsWith("%PDF"));

    table->setCurrentCell(2, 1); // typed, not yet taken by its cell, when the window closes
    QTest::keyClick(table, Qt::Key_F2);
    QTest::keyClicks(table->indexWidget(table->currentIndex()), "Milk");
    form.close();
    KeyLegends kept(records);
    ASSERT_TRUE(kept.load(KeyLegends::FileFor(layout)).ok);
    EXPECT_EQ(kept.legend(2), "Green tea");
    EXPECT_EQ(kept.legend(3), "Milk");
    EXPECT_FALSE(QFile::exists(dir.filePath("shop.KBD")));
    EXPECT_TRUE(dialogs.messages.empty());
    // The window goes (at the program's end) with a legend being typed.
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(table, Qt::Key_F2);
    QTest::keyClicks(table->indexWidget(table->currentIndex()), "x");
}

// A layout with no name yet has no folder of its own: its legends wait in the
// window (not in UNTITLED.KBD.legends wherever the program was started) and go
// beside the layout when it is saved, and with it under each new name; a
// layout that takes its place starts afresh. Each edit goes to the layout's recovery copy, and
// comes back from it.
TEST(LegendsWindow, LegendsOfALayoutWithNoNameWaitForItsName)
{
    QTemporaryDir dir;
    const QString started = QDir::currentPath();
    QDir::setCurrent(dir.path());
    LayoutDocument document;
    ScriptedDialogs dialogs;
    LegendsForm form(dialogs);
    QObject::connect(&document, &LayoutDocument::saved, &form, &LegendsForm::followSavedLayout);
    QObject::connect(&document, &LayoutDocument::replaced, &form,
                     &LegendsForm::forgetUnnamedLegends);
    QByteArray kept; // in the recovery copy
    QObject::connect(&form, &LegendsForm::unnamedLegendsChanged,
                     [&kept](const QByteArray& text) { kept = text; });
    auto legendOfKey2 = [&] {
        form.open(document.records(), "");
        return form.findChild<QTableWidget*>("LegendTable")->item(1, 1);
    };

    document.newLayout();
    legendOfKey2()->setText("Green tea");
    EXPECT_TRUE(kept.contains("Green tea"));
    form.close();
    EXPECT_EQ(legendOfKey2()->text(), "Green tea");
    form.close();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    const std::string shop = Native(dir.filePath("shop.KBD")).string();
    ASSERT_TRUE(document.save(shop).ok);
    KeyLegends beside(document.records());
    ASSERT_TRUE(beside.load(KeyLegends::FileFor(shop)).ok);
    EXPECT_EQ(beside.legend(2), "Green tea");
    // Saved under another name, the layout takes its legends along.
    const std::string counter = Native(dir.filePath("counter.KBD")).string();
    ASSERT_TRUE(document.save(counter).ok);
    EXPECT_EQ(ReadBytes(dir.filePath("counter.KBD.legends")),
              ReadBytes(dir.filePath("shop.KBD.legends")));

    document.newLayout();
    legendOfKey2()->setText("Mint tea");
    form.close();
    const QByteArray mint = kept;
    document.newLayout();
    EXPECT_TRUE(kept.isEmpty());
    EXPECT_NE(legendOfKey2()->text(), "Mint tea");
    form.close();
    form.holdUnnamedLegends(mint);
    EXPECT_EQ(legendOfKey2()->text(), "Mint tea");
    form.close();
    EXPECT_TRUE(dialogs.messages.empty());
    QDir::setCurrent(started);
}

// A legends file that cannot be read (a typing slip in it) is said, and left
// for the user to mend: closing the window must not empty it.
TEST(LegendsWindow, AnUnreadableLegendsFileIsLeftAsItIs)
{
    QTemporaryDir dir;
    const QByteArray damaged = R"({"format": "morvaw legends", "legends": {"2": "Tea",}})";
    ASSERT_TRUE(WriteBytes(dir.filePath("shop.KBD.legends"), damaged));
    ScriptedDialogs dialogs;
    LegendsForm form(dialogs);
    form.open(LayoutRecordArray{}, Native(dir.filePath("shop.KBD")).string());
    form.close();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(ReadBytes(dir.filePath("shop.KBD.legends")), damaged);
}
