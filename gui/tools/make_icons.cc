// make_icons OUTDIR SIZE...: writes OUTDIR/<S>x<S>/recordhaul.png for each
// size, the program icon for the desktop's icon theme.
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "gui/program_icon.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_icons OUTDIR SIZE...\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    int size = std::atoi(argv[i]);
    if (size < 8 || size > 1024) {
      std::fprintf(stderr, "make_icons: bad size %s\n", argv[i]);
      return 2;
    }
    const QString dir = out + QString("/%1x%1").arg(size);
    if (!QDir().mkpath(dir) || !rh::ProgramIconImage(size).save(dir + "/recordhaul.png", "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(dir));
      return 1;
    }
  }
  return 0;
}
