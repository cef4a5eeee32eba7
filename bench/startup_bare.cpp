// Start-up probe, the reference: a bare window with one push button, built
// and run the way NEVO::RunApplication builds and runs the main window, ended
// once the window has painted.
#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include "bench/startup_probe.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  {
    QWidget window;
    QPushButton button(QStringLiteral("Connect to USB"), &window);
    window.show();
    app.exec();
  }
  return 0;
}
