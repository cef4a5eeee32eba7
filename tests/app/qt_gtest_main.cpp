// Entry of the window tests: one QApplication for all of them, headless
// unless a platform is asked for (the test list is also read at build time,
// where no display may exist).
#include <gmock/gmock.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
