#pragma once

#include "filefolders.h"
#include "programminglog.h"
#include "programmingservice.h"
#include "transfermeter.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace morvaw {

class RepeatSettings;
class SerialLink;
class Waiter;

// `morvaw --program` and `morvaw --check`, as the command line asks them.
struct ProgrammingCommand
{
    enum class Mode { None, Program, Check };

    Mode mode = Mode::None;
    QString layoutFile;
    QString port;                    // as given: "COM1" or the path of a device
    Channel channel = Channel::Com1; // COMn; COM1 stands for a device path
    QString device;                  // the device path given, else empty
    std::optional<int> type;         // the layout's type when not given; 3 detects it
    int units = 1;
    bool fast = false;
};

// Exit codes of both.
constexpr int kExitDone = 0;
constexpr int kExitDoesNotFit = 1;    // --check: the layout overflows the keyboard's memory
constexpr int kExitBadArgument = 2;   // a bad argument, a layout that cannot be read
constexpr int kExitNotProgrammed = 3; // a unit was not programmed

// Where a command-line transfer prints and whom it asks.
class Console
{
public:
    virtual ~Console() = default;
    // To standard output, as it is.
    virtual void print(const QString& text) = 0;
    // A line to standard error.
    virtual void error(const QString& text) = 0;
    // Standard output is a terminal: progress is one line drawn again.
    [[nodiscard]] virtual bool isTerminal() const = 0;
    // Waits for Enter while the program goes on running; false when the
    // input ended or stopped() came true.
    [[nodiscard]] virtual bool waitForEnter(const std::function<bool()>& stopped) = 0;
};

// `--check LAYOUT.KBD`: prints the keyboard type, how full the keyboard's
// memory will be and the tokens without a scan code. kExitDoesNotFit when
// the layout does not fit.
[[nodiscard]] int CheckLayoutCommand(const ProgrammingCommand& command, Console& console,
                                     const FileFolders& folders);

// `--program LAYOUT.KBD --port ...`: programs `units` keyboards one after
// the other through the programming service, waiting for Enter between
// them, with progress on the console and a line in the log for each.
class CommandLineTransfer : private TransferObserver
{
public:
    struct Services
    {
        Console& console;
        Waiter& waiter;
        SerialLink& port;
        const ProgrammingLog& log;
        FileFolders folders;
    };

    explicit CommandLineTransfer(Services services);
    ~CommandLineTransfer() override;

    // The exit code.
    [[nodiscard]] int run(const ProgrammingCommand& command);
    // The program is asked to end: the transfer stops as by Cancel.
    void stop();

private:
    void progressed(const TransferProgress& progress) override;
    void detectionTrouble(const TransferOutcome& trouble) override;
    bool programAnother(const TransferOutcome& pass) override;

    void drawProgress(bool force);
    void endProgressLine();
    void recordUnit(const TransferOutcome& outcome);
    void reportUnit(const TransferOutcome& outcome);

    Services m_services;
    std::unique_ptr<RepeatSettings> m_noKeyboardPort;
    ProgrammingService m_service;
    TransferMeter m_meter;
    UnitContext m_unit;
    int m_units = 1;
    int m_programmed = 0;
    bool m_unitRecorded = false;
    bool m_stopped = false;
    bool m_lineOpen = false; // a progress line without its end
    QString m_drawnPhase;
    int m_drawnStep = -1;
    std::chrono::milliseconds m_drawnAt{};
};

} // namespace morvaw
