#include "gui/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace rh {

void PaintProgramIcon(QPainter& p, int size) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 256.0, size / 256.0);  // drawn on the SVG's 256-unit grid

  const QColor ink(0x2f, 0x4f, 0x6f);
  QPen outline(ink, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

  QPainterPath sheet;
  sheet.moveTo(48, 16);
  sheet.lineTo(164, 16);
  sheet.lineTo(212, 64);
  sheet.lineTo(212, 232);
  sheet.quadTo(212, 240, 204, 240);
  sheet.lineTo(56, 240);
  sheet.quadTo(48, 240, 48, 232);
  sheet.lineTo(48, 24);
  sheet.quadTo(48, 16, 56, 16);
  sheet.closeSubpath();
  p.setPen(outline);
  p.setBrush(Qt::white);
  p.drawPath(sheet);

  QPainterPath fold;
  fold.moveTo(164, 16);
  fold.lineTo(164, 56);
  fold.quadTo(164, 64, 172, 64);
  fold.lineTo(212, 64);
  fold.closeSubpath();
  p.setBrush(QColor(0xdc, 0xe6, 0xf0));
  p.drawPath(fold);

  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x3b, 0x78, 0xc4));
  p.drawRect(72, 84, 116, 24);

  p.setPen(QPen(QColor(0x9f, 0xb3, 0xc8), 6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(72, 132, 188, 132);
  p.drawLine(72, 156, 188, 156);
  p.drawLine(72, 180, 140, 180);
  p.drawLine(72, 204, 140, 204);
  p.drawLine(112, 120, 112, 212);

  p.setPen(QPen(Qt::white, 6));
  p.setBrush(QColor(0x2e, 0x9a, 0x52));
  p.drawEllipse(QPointF(188, 192), 48, 48);

  p.setPen(QPen(Qt::white, 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawLine(162, 192, 212, 192);
  QPainterPath head;
  head.moveTo(192, 170);
  head.lineTo(214, 192);
  head.lineTo(192, 214);
  p.drawPath(head);
  p.restore();
}

QImage ProgramIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  PaintProgramIcon(painter, size);
  return image;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
  return icon;
}

}  // namespace rh
