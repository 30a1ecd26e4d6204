// Program entry: the application, its windows, the message loop.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8("ミナモナンクロ支援ツールv0.42"));
  QMainWindow window;
  window.setWindowTitle(QString::fromUtf8("ミナモ　ナンクロ支援ツールv0.42"));
  window.move(246, 226);
  window.resize(468, 340);
  window.show();
  return QApplication::exec();
}
