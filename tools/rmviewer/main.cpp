// rmviewer: stands in for WVIEWNT.EXE and DESKTOP.EXE under those names.
#include <QApplication>

#include <string>
#include <vector>

#include "RmViewer.h"
#include "StartRecord.h"
#include "ViewerWindow.h"

int main(int argc, char** argv) {
    // Taken before QApplication, which removes the options it knows from argv.
    const std::vector<std::string> arguments(argv, argv + argc);
    QApplication app(argc, argv);
    kestrel::rmviewer::ViewerWindow window;
    QObject::connect(&window, &QDialog::finished, &app, [&app] { app.exit(0); });
    kestrel::rmviewer::startViewer(arguments, kestrel::rmviewer::recordFileFromEnvironment(),
                                   window);
    return app.exec();
}
