#include "terminationsignal.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

using namespace morvaw;

// The session manager's "die" reaches Qt as a request to quit. While the
// program runs it is a termination request, as SIGTERM is, rather than a
// quit that closes the windows one by one; once the program has ended by
// itself, it is the quit it always was.
TEST(TerminationSignal, TheSessionsQuitIsATerminationRequestWhileTheProgramRuns)
{
    int argc = 1;
    char name[] = "morvaw_platform_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    TerminationSignal termination;
    int requests = 0;
    bool running = true;
    QObject::connect(&termination, &TerminationSignal::received, [&] { ++requests; });
    termination.takeQuitRequests([&] { return running; });

    QEvent quit(QEvent::Quit);
    EXPECT_TRUE(QCoreApplication::sendEvent(&app, &quit));
    EXPECT_EQ(requests, 1);
    running = false;
    QCoreApplication::sendEvent(&app, &quit);
    EXPECT_EQ(requests, 1);
}
