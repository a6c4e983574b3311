// Build step: turns the readable tables of keyboard/data into the data files
// and pictures that the configurator reads from its program folder.
#include "datafiles.h"
#include "datasource.h"
#include "modifierbitmaps.h"
#include "tabletext.h"

#include <QGuiApplication>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <source folder> <program folder>\n", argv[0]);
        return 2;
    }
    // Drawing text needs the GUI side of Qt, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const char* sourceDir = argv[1];
    const char* programDir = argv[2];
    QGuiApplication app(argc, argv);
    try {
        const morvaw::DataSource source = morvaw::ReadDataSource(sourceDir);
        morvaw::WriteDataFiles(source, programDir);
        morvaw::WriteModifierBitmaps(programDir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
