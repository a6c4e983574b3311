#pragma once

#include <QApplication>
#include <gtest/gtest.h>

#include <memory>

namespace morvaw::test {

// One application for the whole run of a test program that includes this,
// destroyed at its end so that the libraries it started shut down before the
// leak check.
class ApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "morvaw_window_tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

inline ::testing::Environment* const g_application =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace morvaw::test
