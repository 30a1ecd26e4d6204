// Qt drawing of the laid-out pages. Characters go through one raw font of the program's glyph
// face: as glyph runs (text in a PDF, with the face embedded) or as their outlines (SVG).
#include "export/page_painter.h"

#include <QFile>
#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>
#include <QSvgGenerator>
#include <map>

#include "surface/qt_cp932.h"

namespace teku {

// Glyphs of the page texts, made once per text and size: a document repeats the same few
// hundred numbers and characters thousands of times.
class PagePainter::Glyphs {
 public:
  Glyphs() {
    QFont font(QStringLiteral("IPAGothic"));
    font.setStyleHint(QFont::TypeWriter);
    base_ = QRawFont::fromFont(font);
  }

  struct Run {
    QGlyphRun run;
    double width = 0, ascent = 0, descent = 0;
    std::vector<QPainterPath> outlines;  // per glyph, already placed
  };

  const Run& Get(const std::string& text, double size, bool outlines) {
    auto [it, fresh] = runs_.try_emplace({size, text});
    Run& r = it->second;
    if (fresh) {
      QRawFont raw = base_;
      raw.setPixelSize(size);
      const QString s = Cp932ToQString(text);
      const QList<quint32> glyphs = raw.glyphIndexesForString(s);
      const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
      QList<QPointF> positions;
      double x = 0;
      for (const QPointF& a : advances) {
        positions.push_back(QPointF(x, 0));
        x += a.x();
      }
      r.run.setRawFont(raw);
      r.run.setGlyphIndexes(glyphs);
      r.run.setPositions(positions);
      r.width = x;
      r.ascent = raw.ascent();
      r.descent = raw.descent();
    }
    if (outlines && r.outlines.empty()) {
      const QRawFont raw = r.run.rawFont();
      const QList<quint32> glyphs = r.run.glyphIndexes();
      const QList<QPointF> positions = r.run.positions();
      for (qsizetype i = 0; i < glyphs.size(); ++i) {
        r.outlines.push_back(raw.pathForGlyph(glyphs[i]).translated(positions[i]));
      }
    }
    return r;
  }

 private:
  QRawFont base_;
  std::map<std::pair<double, std::string>, Run> runs_;
};

namespace {

void DrawText(QPainter& painter, PagePainter::Glyphs& glyphs, const PageItem& item, bool outlines) {
  const PagePainter::Glyphs::Run& r = glyphs.Get(item.text, item.size, outlines);
  double x = item.x, baseline = item.y + item.h / 2 + (r.ascent - r.descent) / 2;
  if (item.align == TextAlign::Center) x += (item.w - r.width) / 2;
  if (item.align == TextAlign::Corner) baseline = item.y + r.ascent * 0.92;
  if (!outlines) {
    painter.drawGlyphRun(QPointF(x, baseline), r.run);
    return;
  }
  for (const QPainterPath& path : r.outlines) painter.fillPath(path.translated(x, baseline), Qt::black);
}

QString DisplayPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

QString CannotWrite(const std::string& path) { return DisplayPath(path) + QString::fromUtf8(" に書き込めません"); }

}  // namespace

PagePainter::PagePainter() : glyphs_(std::make_unique<Glyphs>()) {}
PagePainter::~PagePainter() = default;

void PagePainter::Paint(QPainter& painter, const PageDocument& doc, std::size_t index, bool outlines) {
  if (index >= doc.pages.size()) return;
  painter.setRenderHint(QPainter::Antialiasing, true);
  // Every change of pen is a change of graphics state in a PDF: the pen is set only when a
  // line's width differs from the last (glyphs take the pen's colour, which stays black).
  QPen pen(Qt::black);
  pen.setCapStyle(Qt::SquareCap);
  pen.setJoinStyle(Qt::MiterJoin);
  pen.setWidthF(0);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  double width = 0;
  for (const PageItem& item : doc.pages[index].items) {
    switch (item.kind) {
      case ItemKind::Fill:
        painter.fillRect(QRectF(item.x, item.y, item.w, item.h), QColor(item.gray, item.gray, item.gray));
        break;
      case ItemKind::Frame:
      case ItemKind::Line:
        if (item.size != width) {
          width = item.size;
          pen.setWidthF(width);
          painter.setPen(pen);
        }
        if (item.kind == ItemKind::Frame) {
          painter.drawRect(QRectF(item.x, item.y, item.w, item.h));
        } else {
          painter.drawLine(QPointF(item.x, item.y), QPointF(item.x + item.w, item.y + item.h));
        }
        break;
      case ItemKind::Text:
        DrawText(painter, *glyphs_, item, outlines);
        break;
    }
  }
}

bool PaintPages(QPagedPaintDevice& device, double dpi, const PageDocument& doc) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  PagePainter pages;
  for (std::size_t i = 0; i < doc.pages.size(); ++i) {
    if (i > 0) device.newPage();
    painter.resetTransform();
    painter.scale(dpi / 72.0, dpi / 72.0);
    pages.Paint(painter, doc, i, false);
  }
  return painter.end();
}

namespace {
QPageSize PageSizeOf(const PageDocument& doc) {
  return QPageSize(QSizeF(doc.width, doc.height), QPageSize::Point, QString(), QPageSize::ExactMatch);
}
}  // namespace

bool WritePdf(const PageDocument& doc, const std::string& path, const QString& title, QString& error) {
  QSaveFile file(DisplayPath(path));
  if (!file.open(QIODevice::WriteOnly)) {
    error = CannotWrite(path);
    return false;
  }
  {
    QPdfWriter writer(&file);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("TEKUCROS"));
    writer.setPageSize(PageSizeOf(doc));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(720);
    if (!PaintPages(writer, writer.resolution(), doc)) {
      file.cancelWriting();
      error = CannotWrite(path);
      return false;
    }
  }
  if (!file.commit()) {
    error = CannotWrite(path);
    return false;
  }
  return true;
}

std::vector<std::string> PngPageNames(const std::string& path, std::size_t pages) {
  if (pages <= 1) return {path};
  const std::size_t slash = path.find_last_of('/');
  std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
  std::vector<std::string> out;
  for (std::size_t i = 1; i <= pages; ++i) out.push_back(path.substr(0, dot) + "-" + std::to_string(i) + path.substr(dot));
  return out;
}

bool WritePng(const PageDocument& doc, const std::string& path, int dpi, QString& error,
              std::vector<std::string>* written) {
  const double scale = dpi / 72.0;
  const std::vector<std::string> names = PngPageNames(path, doc.pages.size());
  PagePainter pages;
  for (std::size_t i = 0; i < doc.pages.size(); ++i) {
    QImage image(static_cast<int>(std::ceil(doc.width * scale)), static_cast<int>(std::ceil(doc.height * scale)),
                 QImage::Format_RGB32);
    if (image.isNull()) {
      error = QString::fromUtf8("%1 dpi の画像を作るメモリが足りません。").arg(dpi);
      return false;
    }
    image.fill(Qt::white);
    image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(image.dotsPerMeterX());
    {
      QPainter painter(&image);
      painter.scale(scale, scale);
      pages.Paint(painter, doc, i, false);
    }
    QSaveFile file(DisplayPath(names[i]));
    if (!file.open(QIODevice::WriteOnly) ||
        !image.convertToFormat(QImage::Format_Grayscale8).save(&file, "PNG") || !file.commit()) {
      error = CannotWrite(names[i]);
      return false;
    }
    if (written != nullptr) written->push_back(names[i]);
  }
  return true;
}

bool WriteSvg(const PageDocument& doc, const std::string& path, const QString& title, QString& error) {
  QSaveFile file(DisplayPath(path));
  if (!file.open(QIODevice::WriteOnly)) {
    error = CannotWrite(path);
    return false;
  }
  const double gap = 12;
  const double height = doc.pages.empty() ? doc.height : doc.pages.size() * (doc.height + gap) - gap;
  {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setTitle(title);
    svg.setResolution(72);
    svg.setSize(QSize(static_cast<int>(std::ceil(doc.width)), static_cast<int>(std::ceil(height))));
    svg.setViewBox(QRectF(0, 0, doc.width, height));
    QPainter painter;
    if (!painter.begin(&svg)) {
      file.cancelWriting();
      error = CannotWrite(path);
      return false;
    }
    PagePainter pages;
    for (std::size_t i = 0; i < doc.pages.size(); ++i) {
      painter.resetTransform();
      painter.translate(0, static_cast<double>(i) * (doc.height + gap));
      painter.fillRect(QRectF(0, 0, doc.width, doc.height), Qt::white);
      pages.Paint(painter, doc, i, true);
    }
    painter.end();
  }
  if (!file.commit()) {
    error = CannotWrite(path);
    return false;
  }
  return true;
}

}  // namespace teku
