#include "app/application.h"

#include <QApplication>

#include "app/form1.h"
#include "bridge/d2xx.h"

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

int RunApplicationOn(d2xx::Backend& bridge, int argc, char** argv) {
  d2xx::SetBackend(&bridge);
  const int code = RunApplication(argc, argv);
  d2xx::SetBackend(nullptr);
  return code;
}

}  // namespace NEVO
