// The yardstick of the start-up figures: a bare Qt window with the program's four menu titles and
// an empty client area that, at its first paint, reports as the program does under
// TEKU_EXIT_AFTER_FIRST_PAINT (resident memory, wall clock) and quits.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

class Canvas final : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(rect(), Qt::white);
    static bool reported = false;
    if (reported) return;
    reported = true;
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
      std::fclose(f);
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::fprintf(stderr, "first-paint rss_kib=%ld at_ns=%lld\n", resident * (sysconf(_SC_PAGESIZE) / 1024),
                 static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  // The titles need the same Japanese font as the program's menu bar.
  for (const char* title : {"ﾌｧｲﾙ(&F)", "ﾓｰﾄﾞ(&M)", "表示(&V)", "ﾍﾙﾌﾟ(&H)"}) {
    window.menuBar()->addMenu(QString::fromUtf8(title))->addAction(QStringLiteral("-"));
  }
  window.setCentralWidget(new Canvas);
  window.resize(468, 360);
  window.show();
  return QApplication::exec();
}
