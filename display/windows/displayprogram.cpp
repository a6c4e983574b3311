#include "displayprogram.h"

#include "mainform.h"
#include "usernotice.h"

#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QTimer>

namespace vornestw {

namespace {

// A missing or unreadable icon leaves the windows with their own.
QIcon loadIcon(const QString& programFolder)
{
    const QString path = QDir(programFolder).filePath("lcdicon.ico");
    QImageReader reader(path);
    if (!reader.canRead())
        return {};
    return QIcon(path);
}

} // namespace

DisplayProgram::DisplayProgram(const QString& programFolder, SerialLink& port, PortSystem& ports,
                               Printer& printer, Waiter& waiter, UserNotice& notice)
    : DisplayProgram(programFolder, programFolder, port, ports, printer, waiter, notice)
{
}

DisplayProgram::DisplayProgram(const QString& programFolder, const QString& userFolder,
                               SerialLink& port, PortSystem& ports, Printer& printer,
                               Waiter& waiter, UserNotice& notice)
    : m_settingsFile(SettingsFile::PathFor(userFolder)),
      m_channel(m_state, port, printer, waiter, notice), m_utility(m_state, m_channel),
      m_ports(ports, userFolder, m_channel), m_notice(notice)
{
    m_settingsProblem = ReadSettings(m_state, m_settingsFile);
    m_utility.RememberSettings(m_settingsFile);
    m_mainForm =
        std::make_unique<MainForm>(m_utility, m_ports, notice, m_settingsFile, programFolder);

    const QIcon icon = loadIcon(programFolder);
    if (!icon.isNull()) {
        m_mainForm->setWindowIcon(icon);
        for (QWidget* form : m_mainForm->OtherForms())
            form->setWindowIcon(icon);
    }
}

DisplayProgram::~DisplayProgram() = default;

void DisplayProgram::ChoosePrinterQueue(const QString& queue)
{
    m_utility.ChangePort(kPrinterPort, queue);
}

void DisplayProgram::Main()
{
    m_mainForm->show();
    // Said from within the event loop, so that a request to end the program
    // ends the message too.
    if (m_settingsProblem) {
        QTimer::singleShot(0, m_mainForm.get(), [this] {
            m_notice.message(UserNotice::Severity::Warning, "Vornest", *m_settingsProblem);
        });
    }
}

} // namespace vornestw
