#pragma once

#include "hintmacrosform.h"
#include "keybconf.h"
#include "keymodeform.h"
#include "legendsform.h"
#include "setparam.h"
#include "testform.h"
#include "windowrig.h"

namespace morvaw::test {

// The main window with the windows it opens, made and connected as main does.
class ConfiguratorRig : public MainWindowRig
{
protected:
    void SetUp() override
    {
        MainWindowRig::SetUp();
        if (!m_main)
            return;
        m_keyEditor = std::make_unique<KeyModeForm>(*m_tables, folders().data, m_dialogs);
        m_hint = std::make_unique<HintMacrosForm>();
        m_keybConf = std::make_unique<KeybConf>();
        m_setParam = std::make_unique<SetParam>();
        m_legends = std::make_unique<LegendsForm>(m_dialogs);
        MainForm& main = *m_main;
        MainFormLogic& commands = main.logic();
        KeyModeForm& editor = *m_keyEditor;
        HintMacrosForm& hint = *m_hint;
        KeybConf& keybConf = *m_keybConf;
        SetParam& setParam = *m_setParam;
        LegendsForm& legends = *m_legends;
        LayoutDocument& document = m_document;
        QObject::connect(&commands, &MainFormLogic::keyEditorRequested, &editor,
                         [&](int key, const KeyRecord& record, std::uint8_t language) {
                             main.holdFor(&editor);
                             editor.editKey(record, language, [&document, key](const KeyRecord& k) {
                                 document.storeKey(key, k);
                             });
                         });
        QObject::connect(&editor, &KeyModeForm::keyClosed, &main,
                         [&] { main.returnFromChild(&editor); });
        QObject::connect(&commands, &MainFormLogic::keyDefinitionsRequested, &hint,
                         [&](const KeyRecord& record) {
                             main.holdFor(&hint);
                             hint.open(record);
                         });
        QObject::connect(&hint, &HintMacrosForm::closed, &main,
                         [&] { main.returnFromChild(&hint); });
        QObject::connect(&commands, &MainFormLogic::keyboardOptionsRequested, &keybConf,
                         [&](const KeyboardOptions& options) {
                             main.holdFor(&keybConf);
                             keybConf.open(options);
                         });
        QObject::connect(&keybConf, &KeybConf::accepted, &commands,
                         &MainFormLogic::storeKeyboardOptions);
        QObject::connect(&keybConf, &KeybConf::closed, &main,
                         [&] { main.returnFromChild(&keybConf); });
        QObject::connect(&commands, &MainFormLogic::msrParametersRequested, &setParam,
                         [&](const MsrSettings& settings) {
                             main.holdFor(&setParam, MainForm::Hold::Hidden);
                             setParam.open(settings);
                         });
        QObject::connect(&setParam, &SetParam::accepted, &document,
                         &LayoutDocument::setMsrSettings);
        QObject::connect(&setParam, &SetParam::closed, &main,
                         [&] { main.returnFromChild(&setParam); });
        QObject::connect(&setParam, &SetParam::keysWanted, &editor, [&](const MsrLines& keys) {
            editor.editMsrLines(keys, document.language(),
                                [&setParam](const MsrLines& k) { setParam.takeKeys(k); });
        });
        QObject::connect(&editor, &KeyModeForm::msrClosed, &setParam,
                         &SetParam::returnFromKeyEditor);
        QObject::connect(&editor, &KeyModeForm::msrEnded, &setParam, &SetParam::handOverForEnd);
        QObject::connect(&commands, &MainFormLogic::legendsRequested, &legends, [&] {
            main.holdFor(&legends);
            legends.open(document.records(), document.isUntitled() ? "" : document.fileName());
        });
        QObject::connect(&document, &LayoutDocument::saved, &legends,
                         &LegendsForm::followSavedLayout);
        QObject::connect(&document, &LayoutDocument::replaced, &legends,
                         &LegendsForm::forgetUnnamedLegends);
        QObject::connect(&legends, &LegendsForm::closed, &main,
                         [&] { main.returnFromChild(&legends); });
        QObject::connect(&commands, &MainFormLogic::testRequested, &main, [&] {
            auto* form = new TestForm;
            main.holdFor(form);
            QObject::connect(form, &TestForm::closed, &main, [&, form] {
                commands.restoreAppHelpFile();
                main.returnFromChild(form);
            });
            form->open();
        });
    }
    void TearDown() override
    {
        // The windows go before the main window they were connected to.
        m_keyEditor.reset();
        m_hint.reset();
        m_keybConf.reset();
        m_setParam.reset();
        m_legends.reset();
        m_main.reset();
    }

    std::unique_ptr<KeyModeForm> m_keyEditor;
    std::unique_ptr<HintMacrosForm> m_hint;
    std::unique_ptr<KeybConf> m_keybConf;
    std::unique_ptr<SetParam> m_setParam;
    std::unique_ptr<LegendsForm> m_legends;
};

} // namespace morvaw::test
