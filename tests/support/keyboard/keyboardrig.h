#pragma once

#include "definitiontext.h"
#include "deviceimagebuilder.h"
#include "keyboarddevice.h"
#include "keystablebuilder.h"
#include "keytext.h"
#include "portchooser.h"
#include "scripteddialogs.h"
#include "send2comlogic.h"
#include "simulatedlinks.h"
#include "virtualclock.h"

#include <memory>
#include <string>

namespace morvaw::test {

// What programming reads of the configurator: the layout, the scan table its
// names are looked up in, the port kept in the settings.
struct TestLayout
{
    LayoutRecordArray LayoutRecords{};
    struct
    {
        ScanTableArray ScanTable{};
        int ScanCount = 0;
    } Tables;
    MatrixCodeTable DeviceMatrixCodes = MakeDeviceMatrixCodes();
    std::uint16_t ComPortIndex = 0;

    [[nodiscard]] LayoutSource source() const
    {
        return {LayoutRecords, {Tables.ScanTable, Tables.ScanCount}, DeviceMatrixCodes};
    }
    [[nodiscard]] TransferInput input() const
    {
        return {LayoutRecords, Tables.ScanTable, Tables.ScanCount, ChannelOf(ComPortIndex)};
    }
};

// A small scan table whose codes the tests know by heart.
inline void UseTestScanTable(TestLayout& layout)
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
        ScanRecord& r = layout.Tables.ScanTable[static_cast<std::size_t>(++i)];
        r.Name = row.name;
        r.Seq1 = row.scan;
        r.Seq2 = row.mask;
    }
    layout.Tables.ScanCount = 160;
}

// A new layout of the given keyboard type over the test scan table.
inline std::unique_ptr<TestLayout> MakeState(int keyboardType)
{
    auto layout = std::make_unique<TestLayout>();
    NewLayout(layout->LayoutRecords);
    UseTestScanTable(*layout);
    auto& flags = layout->LayoutRecords[Settings::KbdFlags].PosX;
    flags = WithKeyboardType(flags, keyboardType);
    return layout;
}

// A few keys: a single key, a macro with a pause and a Func1 part, a digit,
// and a two-code MSR header.
inline void AddSomeKeys(TestLayout& layout)
{
    SetDef(layout.LayoutRecords[1], 0, Tokens({"a"}));
    SetDef(layout.LayoutRecords[2], 0, Tokens({"a", "b", "Delay"}));
    SetDef(layout.LayoutRecords[2], 1, Tokens({"c"}));
    SetDef(layout.LayoutRecords[3], 0, Tokens({"7"}));
    SetDef(layout.LayoutRecords[Settings::MsrHeader], 0, Tokens({"b", "c"}));
}

// 84 keys: ten with three full parts, two more macros, the rest single
// keys: 2044 of the enhanced keyboard's 2047 bytes.
inline void FillMemory(TestLayout& layout)
{
    std::string full(1, TokenMark);
    for (int i = 0; i < 29; ++i)
        full += std::string(i % 2 ? "b" : "a") + TokenMark;
    for (int key = 1; key <= 84; ++key) {
        KeyRecord& r = layout.LayoutRecords[static_cast<std::size_t>(key)];
        if (key <= 10) {
            for (int level = 0; level < 3; ++level)
                SetDef(r, level, full);
        } else {
            SetDef(r, 0,
                   key == 11   ? full
                   : key == 12 ? Tokens({"a", "Delay", "c"})
                               : Tokens({"c"}));
        }
    }
}

// True when the keyboard holds the whole memory the layout builds for it.
inline bool HoldsLayout(const kbdsim::KeyboardDevice& device, const TestLayout& layout)
{
    const LayoutSource source = layout.source();
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

// The services of the programming window for a test layout: the layout read
// and the port and keyboard flags handed back as main does.
inline ProgrammingServices ServicesFor(TestLayout& layout, UserDialogs& dialogs, Waiter& waiter,
                                       SerialLink& port, RepeatSettings& repeat)
{
    return {
        dialogs,
        waiter,
        port,
        repeat,
        [&layout] { return layout.input(); },
        [&layout](int index) { layout.ComPortIndex = static_cast<std::uint16_t>(index); },
        [&layout](std::uint8_t flags) { layout.LayoutRecords[Settings::KbdFlags].PosX = flags; },
        [&layout](int type) {
            auto& flags = layout.LayoutRecords[Settings::KbdFlags].PosX;
            flags = WithKeyboardType(flags, type);
        },
        nullptr,
        nullptr,
        {},
        {},
        {}};
}

// The machine's serial devices as a test lists them, all of them usable.
struct ListedDevices : PortSystem
{
    std::vector<PortDevice> devices() override { return listed; }
    PortFacts factsFor(const std::filesystem::path& path, const QString& port) override
    {
        PortFacts facts;
        facts.port = port;
        facts.path = facts.device = QString::fromStdString(path.native());
        facts.kind = PortFacts::Kind::CharacterDevice;
        facts.isTerminal = true;
        facts.mode = 0666;
        return facts;
    }
    std::vector<PortDevice> listed;
};

// The programming window's logic wired to a simulated keyboard on a virtual
// clock; the serial side goes through the simulated port, or through a given
// link.
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
        repeat.typeKey = [this](char c) { window.keyTyped(static_cast<unsigned char>(c)); };
        QObject::connect(&window, &Send2ComLogic::leaveRequested, [this] { ++leaves; });
    }

    std::unique_ptr<TestLayout> state;
    kbdsim::KeyboardDevice device;
    VirtualClock clock;
    SimulatedSerialPort port{device};
    SimulatedRepeatSettings repeat{device};
    ScriptedDialogs dialogs{true};
    SerialLink& link;
    ProgrammingLog log; // keeps nothing unless given a path
    Send2ComLogic window{withLog(ServicesFor(*state, dialogs, clock, link, repeat))};
    // "&Program" in the programming window.
    void program()
    {
        window.load();
        window.activate();
        window.program();
    }
    [[nodiscard]] ProgrammingService& service() { return window.service(); }
    // The services as main gives them to the window: with "Ports…" and "Log…".
    [[nodiscard]] ProgrammingServices windowServices(PortChooser& ports)
    {
        ProgrammingServices services = withLog(ServicesFor(*state, dialogs, clock, link, repeat));
        services.ports = &ports;
        return services;
    }

    std::function<void()> onTick; // the user, acting during waits
    int leaves = 0;               // times the window handed back to the main window

private:
    ProgrammingServices withLog(ProgrammingServices services)
    {
        services.log = &log;
        return services;
    }
};

} // namespace morvaw::test
