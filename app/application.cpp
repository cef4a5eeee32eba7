#include "app/application.h"

#include <QApplication>

#include "app/form1.h"

namespace NEVO {

int RunApplication(int argc, char** argv) {
  QApplication app(argc, argv);
  {
    Form1 window;
    window.show();
    app.exec();
  }
  return 0;
}

}  // namespace NEVO
