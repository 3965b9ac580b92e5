// Build-time helper: renders the program's SVG icon into a square PNG of the
// given size, for the PNG sizes of the hicolor icon theme. Not installed.
//
//   forstrix-render-icon INPUT.svg SIZE OUTPUT.png

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s INPUT.svg SIZE OUTPUT.png\n", argv[0]);
    return 2;
  }
  int size = 0;
  try {
    size = std::stoi(argv[2]);
  } catch (...) {
    size = 0;
  }
  if (size < 1 || size > 4096) {
    std::fprintf(stderr, "%s: bad size '%s'\n", argv[0], argv[2]);
    return 2;
  }

  QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
  if (!renderer.isValid()) {
    std::fprintf(stderr, "%s: cannot read SVG '%s'\n", argv[0], argv[1]);
    return 1;
  }

  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter);
  }
  if (!image.convertToFormat(QImage::Format_ARGB32).save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "%s: cannot write '%s'\n", argv[0], argv[3]);
    return 1;
  }
  return 0;
}
