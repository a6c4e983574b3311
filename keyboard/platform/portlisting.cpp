#include "portlisting.h"

#include "systemports.h"

namespace morvaw {

PortListingSection SerialPortSection(const std::vector<PortRow>& rows)
{
    PortListingSection section{QStringLiteral("Serial ports (\"Send setup using COM1\" to COM4):"),
                               {}};
    for (const PortRow& row : rows)
        section.lines << PortLine(row);
    if (rows.empty())
        section.lines << QStringLiteral("No serial device found.");
    return section;
}

PortListingSection KeyboardPortSection(const std::vector<KeyboardCandidate>& keyboards,
                                       const KeyboardChoice& choice)
{
    PortListingSection section{QStringLiteral("Keyboard port (\"Send setup using KBD\"):"), {}};
    for (const KeyboardCandidate& keyboard : keyboards) {
        const bool used = choice.keyboard && choice.keyboard->path == keyboard.path;
        section.lines << QStringLiteral("%1 %2  %3  %4%5")
                             .arg(used ? QStringLiteral("*") : QStringLiteral(" "), keyboard.path,
                                  BusName(keyboard.bus), keyboard.name,
                                  keyboard.permitted ? QString()
                                  : keyboard.present ? QStringLiteral("  (no permission)")
                                                     : QStringLiteral("  (no device file)"));
    }
    if (choice.keyboard)
        section.lines << QStringLiteral("  * is the keyboard it uses.");
    else
        section.lines << QStringLiteral("  None is used. ") + choice.reason;
    return section;
}

QString ListPorts(const QString& requestedKeyboard, const std::filesystem::path& userFolder)
{
    SystemPorts system;
    const std::vector<KeyboardCandidate> keyboards = KeyboardsOfThisComputer();
    const QString requested =
        requestedKeyboard.isEmpty() ? QString() : ResolvedDevicePath(requestedKeyboard);
    return FormatPortListing(
        {SerialPortSection(ListSerialPorts(system, PortBindings(userFolder))),
         KeyboardPortSection(keyboards, ChooseKeyboard(keyboards, requested))});
}

QString FormatPortListing(const std::vector<PortListingSection>& sections)
{
    QString text;
    for (const PortListingSection& section : sections) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += section.title + QLatin1Char('\n');
        for (const QString& line : section.lines)
            text += line + QLatin1Char('\n');
    }
    return text;
}

} // namespace morvaw
