// The programming service with no window at all, as a command-line client
// runs it: a QCoreApplication, the service, an observer that decides about
// another unit, and the simulated keyboard.
#include "keyboardrig.h"
#include "programmingservice.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>

using namespace morvaw;
using namespace morvaw::test;

namespace {

class CoreApplication : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "morvaw_programmingservice_tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QCoreApplication> m_app;
};

const auto* const g_application = ::testing::AddGlobalTestEnvironment(new CoreApplication);

// Programs `units` keyboards, one after the other.
class Client : public TransferObserver
{
public:
    explicit Client(int units) : m_units(units) {}
    void progressed(const TransferProgress& progress) override
    {
        if (progress.phase == TransferPhase::Sending)
            lastSending = progress;
    }
    void detectionTrouble(const TransferOutcome& trouble) override { troubles.push_back(trouble); }
    bool programAnother(const TransferOutcome& pass) override
    {
        passes.push_back(pass.result);
        return static_cast<int>(passes.size()) < m_units;
    }

    TransferProgress lastSending;
    std::vector<TransferOutcome> troubles;
    std::vector<TransferResult> passes;

private:
    int m_units;
};

} // namespace

TEST(ProgrammingService, RunsAWholeEnhancedTransferWithoutAnyWindow)
{
    ASSERT_FALSE(QCoreApplication::instance()->inherits("QGuiApplication"));
    for (Channel channel : {Channel::Com2, Channel::KeyboardPort}) {
        auto layout = MakeState(2);
        AddSomeKeys(*layout);
        kbdsim::KeyboardDevice device(2);
        VirtualClock clock;
        SimulatedSerialPort port{device};
        SimulatedRepeatSettings repeat{device};
        clock.onTick = [&] {
            port.tick(clock.now().count());
            repeat.tick(clock.now().count());
        };
        ProgrammingService service(clock, port, repeat);
        repeat.typeKey = [&](char c) { service.keyTyped(static_cast<unsigned char>(c)); };

        Client client(2);
        TransferInput input = layout->input();
        input.channel = channel;
        const TransferOutcome outcome = service.program(input, client);

        EXPECT_EQ(outcome.result, TransferResult::Programmed);
        EXPECT_EQ(client.passes,
                  (std::vector{TransferResult::Programmed, TransferResult::Programmed}));
        EXPECT_EQ(device.transfers(), 2);
        EXPECT_EQ(client.lastSending.written, client.lastSending.total);
        EXPECT_TRUE(client.troubles.empty());
        layout->LayoutRecords[Settings::KbdFlags].PosX = outcome.kbdFlags;
        EXPECT_EQ(outcome.kbdFlags & 0x80, 0x80);
        EXPECT_TRUE(HoldsLayout(device, *layout));
        EXPECT_FALSE(service.active());
        EXPECT_EQ(port.openedPorts.size(), channel == Channel::Com2 ? 1U : 0U);
    }
}
