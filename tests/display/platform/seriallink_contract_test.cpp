// One set of cases for every SerialLink: the Qt port over a pseudo-terminal
// and the simulated port that the other display tests trust.
#include "pseudoterminal.h"
#include "qtseriallink.h"
#include "simulatedport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace vornestw;
using namespace vornestw::test;

namespace {

// COM2 is a link in the program folder to the terminal side of a pty.
struct QtOverPty
{
    QtOverPty() { QFile::link(pty->terminalPath(), folder.filePath("com2")); }
    std::vector<std::uint8_t> farEnd(std::size_t expected) { return pty->receiveAtLeast(expected); }
    void idle() { QCoreApplication::processEvents(); }
    void vanish() { pty.reset(); }

    QTemporaryDir folder;
    std::unique_ptr<PseudoTerminal> pty = std::make_unique<PseudoTerminal>();
    QtSerialLink link{folder.path()};
};

struct Simulated
{
    std::vector<std::uint8_t> farEnd(std::size_t expected)
    {
        for (std::size_t i = 0; i < expected + 10; ++i)
            link.tick();
        return link.received();
    }
    void idle() { link.tick(); }
    void vanish() { link.unplug(); }

    SimulatedPort link;
};

template <typename Line> class SerialLinkContract : public ::testing::Test
{
protected:
    Line line;
    SerialLink& link = line.link;
};

using Lines = ::testing::Types<QtOverPty, Simulated>;
TYPED_TEST_SUITE(SerialLinkContract, Lines);

TYPED_TEST(SerialLinkContract, BytesLeaveInOrderUnchangedAndTheQueueDrains)
{
    ASSERT_FALSE(this->link.open(2));
    const std::string bytes("\xFE\x66\x00\r\n\x1B[2J\xFF", 10);
    for (char c : bytes)
        this->link.write(static_cast<std::uint8_t>(c));
    EXPECT_EQ(this->line.farEnd(bytes.size()),
              std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    EXPECT_EQ(this->link.outBufferCount(), 0);
}

TYPED_TEST(SerialLinkContract, ClearToSendOnlyWhileOpen)
{
    EXPECT_FALSE(this->link.ctsHolding());
    ASSERT_FALSE(this->link.open(2));
    EXPECT_TRUE(this->link.isOpen());
    EXPECT_TRUE(this->link.ctsHolding()); // no modem line holds it low
    this->link.close();
    EXPECT_FALSE(this->link.isOpen());
    EXPECT_FALSE(this->link.ctsHolding());
    this->link.write('x'); // harmless on a closed port
    EXPECT_EQ(this->link.outBufferCount(), 0);
}

TYPED_TEST(SerialLinkContract, DiscardLeavesNothingQueuedAndLaterBytesArrive)
{
    ASSERT_FALSE(this->link.open(2));
    this->link.write('a');
    this->link.discardOutput();
    EXPECT_EQ(this->link.outBufferCount(), 0);
    this->link.write('c');
    const auto got = this->line.farEnd(1);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), 'c');
}

TYPED_TEST(SerialLinkContract, VanishedDeviceIsAFailureThatClosesThePort)
{
    ASSERT_FALSE(this->link.open(2));
    EXPECT_FALSE(this->link.failure());
    this->line.vanish();
    this->link.write('x');
    for (int round = 0; round < 50 && this->link.isOpen(); ++round) {
        this->line.idle();
        (void)this->link.ctsHolding();
    }
    ASSERT_TRUE(this->link.failure());
    EXPECT_TRUE(this->link.failure()->startsWith("COM2 ("));
    EXPECT_TRUE(this->link.failure()->endsWith("): the device is gone"));
    EXPECT_FALSE(this->link.isOpen());
    EXPECT_FALSE(this->link.ctsHolding());
    EXPECT_EQ(this->link.outBufferCount(), 0);
    const auto reopen = this->link.open(2);
    ASSERT_TRUE(reopen);
    EXPECT_TRUE(reopen->startsWith("COM2 ("));
    EXPECT_FALSE(this->link.isOpen());
}

} // namespace
