// Linked into the start-up probe programs: ends the program's message loop
// as soon as its first top-level window has painted, so that the program's
// run is exactly "start, build the window, show it, first paint, close". The
// moment the window was shown goes to standard output as "shown_ns N"
// (CLOCK_MONOTONIC).
// Installed from the application's constructor, before the program builds
// anything, so the programs themselves stay as they are.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace kvbench {

class QuitAfterFirstPaint : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
      QCoreApplication::instance()->removeEventFilter(this);
      // Once this paint, and the flush that follows it, are done: the
      // moment on the monotonic clock, for the driver, then the end.
      QTimer::singleShot(0, QCoreApplication::instance(), [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("shown_ns %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        QCoreApplication::exit(0);
      });
    }
    return false;
  }
};

inline void InstallQuitAfterFirstPaint() {
  QCoreApplication::instance()->installEventFilter(new QuitAfterFirstPaint(QCoreApplication::instance()));
}

}  // namespace kvbench

static void KvInstallQuitAfterFirstPaint() { kvbench::InstallQuitAfterFirstPaint(); }
Q_COREAPP_STARTUP_FUNCTION(KvInstallQuitAfterFirstPaint)
