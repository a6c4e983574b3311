#include "bytescrollbar.h"
#include "configuratorrig.h"
#include "inputlinepicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace morvaw;
using namespace morvaw::test;

namespace {

class OptionsWindowsTest : public ConfiguratorRig
{
protected:
    void SetUp() override
    {
        ConfiguratorRig::SetUp();
        m_document.setOptions({.KbdFlags = 10}); // buzzer on, "Enhanced"
        MsrSettings msr = m_document.msrSettings();
        msr.MsrOption1 = 5;
        m_document.setMsrSettings(msr);
        m_document.markUnchanged();
    }

    void retype(QWidget* window, const QString& box, const QString& text)
    {
        auto* edit = child<QLineEdit>(window, box);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    [[nodiscard]] QString line(int k) const
    {
        return m_setParam->findChild<InputLinePicture*>(QString("InputLinePict_%1").arg(k))->text();
    }
    void openMsrEditorOnLine(int k)
    {
        QTest::mouseClick(child(m_setParam.get(), QString("InputLinePict_%1").arg(k)),
                          Qt::LeftButton);
        ASSERT_TRUE(m_keyEditor->isVisible());
        QCoreApplication::processEvents();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_keyEditor.get()));
        ASSERT_FALSE(m_setParam->isVisible());
    }
};

TEST_F(OptionsWindowsTest, KeyboardConfigureTypedDelaysLanguageAndShapeReachLayoutAndMainWindow)
{
    menu("Configure1");
    ASSERT_TRUE(m_keybConf->isVisible());
    EXPECT_FALSE(m_main->isEnabled());
    EXPECT_TRUE(m_document.isChanged());

    retype(m_keybConf.get(), "Text1_0", "300");
    EXPECT_EQ(child<ByteScrollBar>(m_keybConf.get(), "VScr_0")->byte(), 255);
    retype(m_keybConf.get(), "Text1_1", "-5");
    auto* language = child<QComboBox>(m_keybConf.get(), "KbdLang");
    language->setFocus();
    QTest::keyClick(language, Qt::Key_Down); // USA -> UK
    tick(m_keybConf.get(), "kbdshape_1");
    tick(m_keybConf.get(), "cbBuzzerEnable");
    EXPECT_EQ(child<QCheckBox>(m_keybConf.get(), "cbBuzzerEnable")->text(), "Buzzer off");
    QTest::mouseClick(child(m_keybConf.get(), "Command1"), Qt::LeftButton);

    EXPECT_FALSE(m_keybConf->isVisible());
    EXPECT_TRUE(m_main->isEnabled());
    const auto& r = m_document.records();
    EXPECT_EQ(r[Settings::MacroPlayDelay].PosX, 255);
    EXPECT_EQ(r[Settings::DelayKeyTime].PosX, 0);
    EXPECT_EQ(r[Settings::KbdShape].PosX, 1);
    EXPECT_EQ(r[Settings::KbdFlags].PosX, 8);
    EXPECT_EQ(m_tables->tables().StcFileName, "STCUK.TBL");
    EXPECT_TRUE(m_main->windowTitle().endsWith(" (UK)[*]"));
    EXPECT_FALSE(child(m_main.get(), "KeyBtn_60")->isVisible()); // 14 by 6 now
}

TEST_F(OptionsWindowsTest, MsrEditorCancelKeepsTheLinesItsOkBringsThemInAndOkStoresThem)
{
    menu("Configure");
    ASSERT_TRUE(m_setParam->isVisible());
    EXPECT_FALSE(m_main->isVisible());
    tick(m_setParam.get(), "cbAAMVATrack2");
    tick(m_setParam.get(), "cbSendSentinels");

    openMsrEditorOnLine(1);
    auto* separator = child(m_keyEditor.get(), "MSRInpLinePict_1");
    separator->setFocus();
    QTest::keyClicks(separator, "q");
    QTest::mouseClick(child(m_keyEditor.get(), "contr_12"), Qt::LeftButton); // Cancel
    ASSERT_TRUE(m_setParam->isVisible());
    EXPECT_EQ(line(1), "");
    EXPECT_TRUE(child<QCheckBox>(m_setParam.get(), "cbAAMVATrack2")->isChecked());

    openMsrEditorOnLine(1);
    separator->setFocus();
    QTest::keyClicks(separator, "q");
    QTest::mouseClick(child(m_keyEditor.get(), "contr_13"), Qt::LeftButton); // Ok
    ASSERT_TRUE(m_setParam->isVisible());
    EXPECT_EQ(line(1), ".q.");

    m_document.setLanguage(2); // the caption is renewed on the way back
    QTest::mouseClick(child(m_setParam.get(), "cbContrRet_0"), Qt::LeftButton);
    EXPECT_TRUE(m_main->isVisible() && m_main->isEnabled());
    EXPECT_TRUE(m_main->windowTitle().endsWith(" (SPAIN)[*]"));
    const auto& r = m_document.records();
    EXPECT_EQ(r[Settings::MsrOption2].PosX, 8);
    EXPECT_EQ(r[Settings::MsrOption3].PosX, 2);
    EXPECT_EQ(r[Settings::MsrSeparator].Len0, 3);
    EXPECT_EQ(r[Settings::MsrSeparator].Def0.str().substr(0, 3), "\xF9q\xF9");

    menu("Edit_1"); // the hidden Set Param: the boxes show what was stored
    EXPECT_TRUE(child<QCheckBox>(m_setParam.get(), "cbSendSentinels")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(m_setParam.get(), "cbForceLowerCase")->isChecked());
    retype(m_setParam.get(), "Text1", "999");
    auto* bar = child<ByteScrollBar>(m_setParam.get(), "VScr");
    EXPECT_EQ(bar->byte(), 255);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); // the bottom arrow lowers it
    EXPECT_EQ(child<QLineEdit>(m_setParam.get(), "Text1")->text(), "254");
    QTest::mouseClick(child(m_setParam.get(), "cbContrRet_1"), Qt::LeftButton);
    EXPECT_EQ(r[Settings::MsrOption1].PosX, 5);
}

} // namespace
