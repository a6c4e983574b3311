// One set of cases for every SerialLink: the Qt port over a pseudo-terminal
// and the simulated port that the other display tests trust.
#include "displayrig.h"
#include "pseudoterminal.h"
#include "qtseriallink.h"

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

TYPED_TEST(SerialLinkContract, ClearToSendOnlyWhileOpenBytesInOrderAndDiscard)
{
    SerialLink& link = this->link;
    EXPECT_FALSE(link.ctsHolding());
    link.write('x'); // harmless on a closed port
    ASSERT_FALSE(link.open(2));
    EXPECT_TRUE(link.isOpen());
    EXPECT_TRUE(link.ctsHolding()); // no modem line holds it low
    const std::string bytes("\xFE\x66\x00\r\n\x1B[2J\xFF", 10);
    for (char c : bytes)
        link.write(static_cast<std::uint8_t>(c));
    EXPECT_EQ(this->line.farEnd(bytes.size()), BytesOf(bytes));
    EXPECT_EQ(link.outBufferCount(), 0);
    // What is discarded may be gone already; nothing stays queued, and the
    // next byte still arrives.
    link.write('a');
    link.discardOutput();
    EXPECT_EQ(link.outBufferCount(), 0);
    link.write('c');
    const auto got = this->line.farEnd(1);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), 'c');
    link.close();
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.ctsHolding());
}

TYPED_TEST(SerialLinkContract, VanishedDeviceIsAFailureThatClosesThePort)
{
    SerialLink& link = this->link;
    ASSERT_FALSE(link.open(2));
    EXPECT_FALSE(link.failure());
    this->line.vanish();
    link.write('x');
    for (int round = 0; round < 50 && link.isOpen(); ++round) {
        this->line.idle();
        (void)link.ctsHolding();
    }
    const QString failure = link.failure().value_or("none");
    EXPECT_TRUE(failure.startsWith("COM2 (") && failure.endsWith("): the device is gone"));
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.ctsHolding());
    EXPECT_EQ(link.outBufferCount(), 0);
    EXPECT_TRUE(link.open(2).value_or("").startsWith("COM2 ("));
    EXPECT_FALSE(link.isOpen());
}

} // namespace
