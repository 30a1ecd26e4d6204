// Writes the installed program icons, tekucros-48.png and tekucros-256.png, into the folder
// given as the only argument: the icon the window shows, at the sizes desktops look for.
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "surface/program_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons OUTDIR\n");
    return 2;
  }
  // The character needs a font engine, not a display.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  char name[] = "make_icons";
  char* qtArgv[] = {name, nullptr};
  QGuiApplication app(qtArgc, qtArgv);
  for (const int size : {48, 256}) {
    const std::string path = std::string(argv[1]) + "/tekucros-" + std::to_string(size) + ".png";
    if (!teku::ProgramIconPicture(size).save(QString::fromStdString(path), "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
