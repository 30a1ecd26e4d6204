// Draws laid-out puzzle pages with Qt: on a printer, into a PDF with the glyph font embedded,
// into PNG pictures, or into SVG with every character as an outline.
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "export/page_layout.h"

class QPagedPaintDevice;
class QPainter;

namespace teku {

// Draws every page onto `device` (a printer or a PDF writer set to the document's paper, full
// page, no margins), `dpi` device units per inch. False when the painter cannot start.
bool PaintPages(QPagedPaintDevice& device, double dpi, const PageDocument& doc);

// Draws pages one by one, keeping the glyphs of their texts for the next page. The painter's unit
// must be one point, with the page's top-left at (0, 0). With `outlines` characters are filled
// paths instead of text. Lives no longer than the application object (the glyphs are the font
// engine's).
class PagePainter {
 public:
  PagePainter();
  ~PagePainter();
  PagePainter(const PagePainter&) = delete;
  PagePainter& operator=(const PagePainter&) = delete;
  void Paint(QPainter& painter, const PageDocument& doc, std::size_t index, bool outlines);
  class Glyphs;

 private:
  std::unique_ptr<Glyphs> glyphs_;
};

// The file writers. A failed write leaves no file behind (and an existing one unchanged);
// `error` then says why, in Japanese.
bool WritePdf(const PageDocument& doc, const std::string& path, const QString& title, QString& error);
// One picture per page at `dpi`: PATH itself for a single page, else PATH with -1, -2, ... before
// its extension. `written` receives the files made.
bool WritePng(const PageDocument& doc, const std::string& path, int dpi, QString& error,
              std::vector<std::string>* written = nullptr);
// Every page in one drawing, one below the other.
bool WriteSvg(const PageDocument& doc, const std::string& path, const QString& title, QString& error);

// The file names WritePng makes for `pages` pages.
std::vector<std::string> PngPageNames(const std::string& path, std::size_t pages);

}  // namespace teku
