#pragma once

#include "configuratorstate.h"
#include "definitiontext.h"
#include "deviceimagebuilder.h"
#include "keyboarddevice.h"
#include "keyboardportdevice.h"
#include "keystablebuilder.h"
#include "keytext.h"
#include "scripteddialogs.h"
#include "serialdevice.h"
#include "simulatedlinks.h"
#include "transferdriver.h"
#include "transfersession.h"
#include "virtualclock.h"

#include <memory>
#include <string>

namespace morvaw::test {

// A small scan table whose codes the tests know by heart.
inline void UseTestScanTable(ConfiguratorState& state)
{
    struct Row
    {
        const char* name;
        std::uint8_t scan;
        std::uint8_t mask;
    };
    const Row rows[] = {{"a", 0x1E, 0},        {"b", 0x30, 0},     {"c", 0x2E, 0},
                        {"1", 0x02, 0},        {"7", 0x08, 0},     {"F1", 0x3B, 0},
                        {"Ins", 0x52, 32},     {"Up", 0x48, 32},   {"Pad 7", 0x47, 0},
                        {"Pad Ent", 0x1C, 32}, {"Enter", 0x1C, 0}, {"Esc", 0x01, 0},
                        {"^", 0x07, 16},       {"Delay", 0, 0xAB}, {"Func2", 0xF2, 0x80},
                        {"Shft", 0x2A, 0},     {"Alt", 0x38, 0},   {"#", 0x04, 16}};
    int i = 0;
    for (const Row& row : rows) {
        ScanRecord& r = state.Tables.ScanTable[static_cast<std::size_t>(++i)];
        r.Name = row.name;
        r.Seq1 = row.scan;
        r.Seq2 = row.mask;
    }
    state.Tables.ScanCount = 160;
}

// A new layout of the given keyboard type over the test scan table.
inline std::unique_ptr<ConfiguratorState> MakeState(int keyboardType)
{
    auto state = std::make_unique<ConfiguratorState>();
    state->DeviceMatrixCodes = MakeDeviceMatrixCodes();
    state->NibbleSpeedTable = MakeNibbleSpeedTable();
    NewLayout(state->LayoutRecords);
    UseTestScanTable(*state);
    auto& flags = state->LayoutRecords[Settings::KbdFlags].PosX;
    flags = WithKeyboardType(flags, keyboardType);
    return state;
}

// A few keys: a single key, a macro with a pause and a Func1 part, a digit,
// and a two-code MSR header.
inline void AddSomeKeys(ConfiguratorState& state)
{
    SetDef(state.LayoutRecords[1], 0, Tokens({"a"}));
    SetDef(state.LayoutRecords[2], 0, Tokens({"a", "b", "Delay"}));
    SetDef(state.LayoutRecords[2], 1, Tokens({"c"}));
    SetDef(state.LayoutRecords[3], 0, Tokens({"7"}));
    SetDef(state.LayoutRecords[Settings::MsrHeader], 0, Tokens({"b", "c"}));
}

// True when the keyboard holds the whole memory the layout builds for it.
inline bool HoldsLayout(const kbdsim::KeyboardDevice& device, const ConfiguratorState& state)
{
    const LayoutSource source = LayoutSource::Of(state);
    bool same = device.complete();
    if (device.type() == 2) {
        const DeviceImageBuilder image = DeviceImageBuilder::Build(source);
        for (int a = 1; a <= image.NextSlot(); ++a)
            same &= device.byte(a) == image.byte(a);
        return same && device.byte(DeviceImageBuilder::kEndByte) == 255;
    }
    const KeysTableBuilder table = KeysTableBuilder::Build(source);
    for (int w = 1; w <= table.NextSlot(); ++w)
        same &= device.word(w) == table.word(w);
    return same && device.word(KeysTableBuilder::kEndWord) == 0xFFFF;
}

// The programming logic wired to a simulated keyboard on a virtual clock; the
// serial side goes through the simulated port, or through a given link.
struct KeyboardRig
{
    explicit KeyboardRig(int layoutType, int deviceType = -1, SerialLink* through = nullptr)
        : state(MakeState(layoutType)), device(deviceType < 0 ? layoutType : deviceType),
          link(through ? *through : port)
    {
        clock.onTick = [this] {
            port.tick(clock.now().count());
            repeat.tick(clock.now().count());
            if (onTick)
                onTick();
        };
        repeat.typeKey = [this](char c) { keyboard.Form_KeyPress(static_cast<unsigned char>(c)); };
        QObject::connect(&session, &TransferSession::leaveRequested, [this] { ++leaves; });
    }

    std::unique_ptr<ConfiguratorState> state;
    kbdsim::KeyboardDevice device;
    VirtualClock clock;
    SimulatedSerialPort port{device};
    SimulatedRepeatSettings repeat{device};
    ScriptedDialogs dialogs{true};
    SerialLink& link;
    TransferSession session{*state, clock, repeat};
    KeyboardPortDevice keyboard{session};
    SerialDevice serial{session, link, keyboard, dialogs};
    TransferDriver driver{session, serial, keyboard, dialogs};
    // "&Program" in the programming window.
    void program()
    {
        driver.Form_Load();
        driver.Form_Activate();
        driver.Program_Click();
    }

    std::function<void()> onTick; // the user, acting during waits
    int leaves = 0;               // times the window handed back to the main window
};

} // namespace morvaw::test
