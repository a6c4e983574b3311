#pragma once

#include <QString>

#include <chrono>

namespace morvaw {

class KeyboardPortDevice;
class SerialDevice;
class TransferSession;
class UserDialogs;

// One transfer of the layout into a keyboard, from the "&Program" click to
// the return to the main window: keyboard type (detected when the layout
// asks for it), the table of the keyboard's generation, the channel, the
// passes and the prompts; and the other events of the programming window.
class TransferDriver
{
public:
    static constexpr std::chrono::milliseconds kOlderVersionWait{50};
    static constexpr std::chrono::milliseconds kFailedPassPause{100};
    static constexpr std::chrono::milliseconds kVersionShown{300};
    static constexpr std::chrono::milliseconds kLateKeysQuietTime{300};

    TransferDriver(TransferSession& session, SerialDevice& serial, KeyboardPortDevice& keyboard,
                   UserDialogs& dialogs);

    void Form_Load();
    void Form_Activate();
    void Form_Deactivate();
    // Closing the window; false while a sending phase runs (it then ends by itself).
    [[nodiscard]] bool Form_Unload();
    void Program_Click();
    void Cancel_Click();
    // The program is asked to end (a session logout, a kill): a transfer stops
    // as by Cancel, without a message nobody may be left to read.
    void Terminate();
    void Option1_Click(int index);
    // A click on the window or its labels.
    void Form_MouseDown();
    void LostFocus();

    // The transfer procedures of the two keyboard generations.
    void SendSmallMacros();
    void SendLargeMacros();

private:
    // Cancel or closing during a build or a pass.
    void abortPath();
    // Whether a transfer may go on after a yield.
    [[nodiscard]] bool stillRunning() const;
    // The final question of a pass; true for another pass. Not asked after
    // the user aborted.
    bool askForAnotherPass(bool failed);
    // "\n" and what a person must know after a transfer stopped half-way, or
    // nothing when the keyboard was not touched.
    [[nodiscard]] QString partlyProgrammedNote() const;
    void showIdle();

    TransferSession& m_session;
    SerialDevice& m_serial;
    KeyboardPortDevice& m_keyboard;
    UserDialogs& m_dialogs;
};

} // namespace morvaw
