#include "gui/quorran_window.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    kelvra::WindowServices services;
    services.trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    kelvra::TfrmQuorran window(services);
    QObject::connect(&window, &kelvra::TfrmQuorran::Closed, &app, &QApplication::quit);
    window.show();
    return app.exec();
}
