// The printed page's geometry. Texts are measured in ems of the fixed-pitch face the pages are
// printed in, so that the layout knows every width without a font engine.
#include "export/page_layout.h"

#include <algorithm>
#include <cmath>

namespace teku {

void PaperPoints(Paper paper, bool landscape, double& width, double& height) {
  const double w = paper == Paper::A4 ? 210 : 182, h = paper == Paper::A4 ? 297 : 257;
  width = (landscape ? h : w) * kPointsPerMm;
  height = (landscape ? w : h) * kPointsPerMm;
}

void PaperPoints(const PageOptions& o, double& width, double& height) {
  if (o.widthMm <= 0 || o.heightMm <= 0) return PaperPoints(o.paper, o.landscape, width, height);
  // The tables and a clue column need about 90 mm between the margins' insides; a smaller
  // paper is laid out as that size (and cut by the printer) rather than not at all.
  const double w = std::max(o.widthMm, 90.0), h = std::max(o.heightMm, 90.0);
  width = (o.landscape ? h : w) * kPointsPerMm;
  height = (o.landscape ? w : h) * kPointsPerMm;
}

namespace {

constexpr double mm = kPointsPerMm;

struct Metrics {
  double titleSize, headSize, textSize, footerSize;
  double numberBox, checkBox, answerBox;
  double minCell, maxCell;
  double gap;
  double columnMin;  // narrowest clue column or table region
};

Metrics MetricsFor(const PageOptions& o) {
  const double f = o.large ? 1.5 : 1.0;
  return Metrics{15 * f, 10 * f, 9 * f, 8,
                 8 * mm * f, 7 * mm * f, 9 * mm * f,
                 (o.large ? kLargeMinCellMm : kMinCellMm) * mm, (o.large ? kLargeMaxCellMm : kMaxCellMm) * mm,
                 4 * mm, (o.large ? 70 : 48) * mm};
}

// Cuts a text to the characters that fit `width` at `size`.
std::string Fitting(const std::string& text, double size, double width) {
  if (TextEms(text) * size <= width) return text;
  std::string out;
  for (const std::string& ch : Cp932Characters(text)) {
    if (TextEms(out + ch) * size > width) break;
    out += ch;
  }
  return out;
}

struct Region {
  PageRect rect;
  double used = 0;  // height taken from its top
  double left() const { return rect.h - used; }
};

struct TableSpec {
  BlockKind kind;
  const char* heading;  // code page 932
  const std::vector<PageBox>* boxes;
  double box;
};

class Builder {
 public:
  explicit Builder(const PageOptions& options) : m_(MetricsFor(options)) {
    PaperPoints(options, doc_.width, doc_.height);
    doc_.printable = PageRect{kMarginMm * mm, kMarginMm * mm, doc_.width - 2 * kMarginMm * mm,
                              doc_.height - 2 * kMarginMm * mm};
    doc_.minCell = m_.minCell;
    const double titleBand = m_.titleSize * 1.8, footerBand = m_.footerSize * 2;
    content_ = PageRect{doc_.printable.x, doc_.printable.y + titleBand, doc_.printable.w,
                        doc_.printable.h - titleBand - footerBand};
  }

  void Lay(const PageContent& c) {
    list_ = 0, next_ = 0, line_ = 0;
    headingDone_ = false;
    NewPage(c, false);
    if (c.nankuro && !c.solution) {
      LayNankuro(c);
    } else {
      LayWithFlow(c);
    }
  }

  PageDocument Finish() {
    const std::size_t total = doc_.pages.size();
    for (std::size_t i = 0; i < total; ++i) {
      const std::string text = std::to_string(i + 1) + " / " + std::to_string(total);
      const double w = TextEms(text) * m_.footerSize;
      const PageRect r{doc_.printable.x + (doc_.printable.w - w) / 2, doc_.printable.bottom() - m_.footerSize * 1.5,
                       w, m_.footerSize * 1.5};
      Text(doc_.pages[i], r, m_.footerSize, TextAlign::Left, text);
      doc_.pages[i].blocks.push_back(PageBlock{BlockKind::Footer, r});
    }
    return std::move(doc_);
  }

 private:
  PrintedPage& Page() { return doc_.pages.back(); }

  void NewPage(const PageContent& c, bool continued) {
    doc_.pages.emplace_back();
    Page().solution = c.solution;
    std::string title = c.title;
    // "　解答" and "（続き）" in code page 932.
    if (c.solution) title += "\x81\x40\x89\xF0\x93\x9A";
    if (continued) title += "\x81\x69\x91\xB1\x82\xAB\x81\x6A";
    const double size = continued ? m_.headSize : m_.titleSize;
    title = Fitting(title, size, doc_.printable.w);
    if (title.empty()) return;
    const PageRect r{doc_.printable.x, doc_.printable.y, TextEms(title) * size, m_.titleSize * 1.4};
    Text(Page(), r, size, TextAlign::Left, title);
    Page().blocks.push_back(PageBlock{BlockKind::Title, r});
  }

  void Text(PrintedPage& page, const PageRect& r, double size, TextAlign align, std::string text) {
    PageItem item;
    item.kind = ItemKind::Text;
    item.align = align;
    item.x = r.x, item.y = r.y, item.w = r.w, item.h = r.h;
    item.size = size;
    item.text = std::move(text);
    page.items.push_back(std::move(item));
  }
  void Shape(ItemKind kind, double x, double y, double w, double h, double size, std::uint8_t gray = 0) {
    PageItem item;
    item.kind = kind;
    item.gray = gray;
    item.x = x, item.y = y, item.w = w, item.h = h;
    item.size = size;
    Page().items.push_back(std::move(item));
  }

  double CellFor(const PageContent& c, double w, double h) const {
    if (w <= 0 || h <= 0) return 0;
    return std::min({m_.maxCell, w / c.width, h / c.height});
  }

  // ---- the grid --------------------------------------------------------------------------
  void GridPiece(const PageContent& c, double x0, double y0, double cell, std::int32_t col0, std::int32_t row0,
                 std::int32_t cols, std::int32_t rows) {
    const double w = cols * cell, h = rows * cell;
    for (std::int32_t y = row0; y < row0 + rows; ++y) {
      // Runs of closed cells as one filled rectangle each.
      for (std::int32_t x = col0; x < col0 + cols;) {
        const PageCell& pc = c.cell(x, y);
        std::int32_t end = x + 1;
        if (!pc.open || pc.given) {
          while (end < col0 + cols && c.cell(end, y).open == pc.open && c.cell(end, y).given == pc.given) ++end;
          Shape(ItemKind::Fill, x0 + (x - col0) * cell, y0 + (y - row0) * cell, (end - x) * cell, cell, 0,
                pc.open ? 225 : 0);
        }
        x = end;
      }
    }
    const double thin = std::max(0.4, cell / 40);
    for (std::int32_t i = 1; i < rows; ++i) Shape(ItemKind::Line, x0, y0 + i * cell, w, 0, thin);
    for (std::int32_t i = 1; i < cols; ++i) Shape(ItemKind::Line, x0 + i * cell, y0, 0, h, thin);
    Shape(ItemKind::Frame, x0, y0, w, h, thin * 2.5);
    const double labelSize = std::clamp(cell * 0.27, 4.5, 10.0);
    const double pad = std::max(0.8, cell * 0.05);
    const double charSize = cell * (c.nankuro ? 0.56 : 0.62);
    for (std::int32_t y = row0; y < row0 + rows; ++y) {
      for (std::int32_t x = col0; x < col0 + cols; ++x) {
        const PageCell& pc = c.cell(x, y);
        if (!pc.open) continue;
        const double cx = x0 + (x - col0) * cell, cy = y0 + (y - row0) * cell;
        if (!pc.label.empty()) Text(Page(), PageRect{cx + pad, cy + pad, cell - 2 * pad, labelSize * 1.15}, labelSize, TextAlign::Corner, pc.label);
        if (!pc.text.empty()) {
          const double top = pc.label.empty() ? 0 : labelSize * 0.6;
          Text(Page(), PageRect{cx, cy + top, cell, cell - top}, charSize, TextAlign::Center, pc.text);
        }
      }
    }
    PageBlock b{BlockKind::Grid, PageRect{x0, y0, w, h}};
    b.col0 = col0, b.row0 = row0, b.cols = cols, b.rows = rows;
    Page().blocks.push_back(std::move(b));
  }

  // The grid at `cell`, whole at the top of the content, or in page-sized pieces when it does
  // not fit there. True when it is whole (the rest of its page is then free).
  bool LayGrid(const PageContent& c, double cell) {
    if (c.width * cell <= content_.w + 1e-6 && c.height * cell <= content_.h + 1e-6) {
      GridPiece(c, content_.x, content_.y, cell, 0, 0, c.width, c.height);
      return true;
    }
    const std::int32_t tileCols = std::max(1, static_cast<std::int32_t>(std::floor(content_.w / cell + 1e-9)));
    const std::int32_t tileRows = std::max(1, static_cast<std::int32_t>(std::floor(content_.h / cell + 1e-9)));
    bool firstPiece = true;
    for (std::int32_t row0 = 0; row0 < c.height; row0 += tileRows) {
      for (std::int32_t col0 = 0; col0 < c.width; col0 += tileCols) {
        if (!firstPiece) NewPage(c, true);
        firstPiece = false;
        GridPiece(c, content_.x, content_.y, cell, col0, row0, std::min(tileCols, c.width - col0),
                  std::min(tileRows, c.height - row0));
      }
    }
    return false;
  }

  // ---- boxes: the number table, the check table and the answer word --------------------------
  double TableHeight(const TableSpec& t, double width) const {
    if (t.boxes->empty()) return 0;
    const auto per = static_cast<std::size_t>(std::max(1.0, std::floor(width / t.box + 1e-9)));
    const std::size_t rows = (t.boxes->size() + per - 1) / per;
    return m_.headSize * 1.6 + static_cast<double>(rows) * t.box;
  }

  void LayTable(const TableSpec& t, double x0, double y0, double width) {
    const PageRect head{x0, y0, std::min(width, TextEms(t.heading) * m_.headSize), m_.headSize * 1.4};
    Text(Page(), head, m_.headSize, TextAlign::Left, t.heading);
    const double top = y0 + m_.headSize * 1.6;
    const auto per = static_cast<std::size_t>(std::max(1.0, std::floor(width / t.box + 1e-9)));
    const double labelSize = std::clamp(t.box * 0.27, 4.5, 9.0);
    const double charSize = t.box * (t.kind == BlockKind::CheckTable ? 0.62 : 0.55);
    const double line = t.kind == BlockKind::Answer ? 1.4 : 0.6;
    double maxRight = x0;
    for (std::size_t i = 0; i < t.boxes->size(); ++i) {
      const PageBox& b = (*t.boxes)[i];
      const double bx = x0 + static_cast<double>(i % per) * t.box, by = top + static_cast<double>(i / per) * t.box;
      maxRight = std::max(maxRight, bx + t.box);
      if (b.given) Shape(ItemKind::Fill, bx, by, t.box, t.box, 0, 225);
      Shape(ItemKind::Frame, bx, by, t.box, t.box, line);
      if (!b.label.empty()) {
        Text(Page(), PageRect{bx + 1, by + 1, t.box - 2, labelSize * 1.15}, labelSize, TextAlign::Corner, b.label);
      }
      if (!b.text.empty()) {
        const double dy = b.label.empty() ? 0 : labelSize * 0.6;
        Text(Page(), PageRect{bx, by + dy, t.box, t.box - dy}, charSize, TextAlign::Center, b.text);
      }
    }
    Page().blocks.push_back(PageBlock{t.kind, PageRect{x0, y0, std::max(head.w, maxRight - x0), TableHeight(t, width)}});
  }

  // Places a table into the first region with room, on a new page when none has.
  void PlaceTable(const PageContent& c, const TableSpec& t) {
    if (t.boxes->empty()) return;
    for (;;) {
      for (Region& r : regions_) {
        const double h = TableHeight(t, r.rect.w);
        if (h <= r.left() + 1e-6) {
          LayTable(t, r.rect.x, r.rect.y + r.used, r.rect.w);
          r.used += h + m_.gap;
          return;
        }
        r.used = r.rect.h;  // nothing goes above a table that went on
      }
      FreshPage(c);
    }
  }

  void FreshPage(const PageContent& c) {
    NewPage(c, true);
    regions_ = {Region{content_}};
  }

  // Free space beside and below a whole grid at the top of the content.
  void RegionsAroundGrid(double cell, const PageContent& c, bool beside, bool below) {
    regions_.clear();
    const double gw = c.width * cell, gh = c.height * cell;
    const double bx = content_.x + gw + m_.gap;
    const bool side = beside && content_.right() - bx >= m_.columnMin;
    if (side) regions_.push_back(Region{PageRect{bx, content_.y, content_.right() - bx, content_.h}});
    const double by = content_.y + gh + m_.gap;
    if (below && content_.bottom() - by > m_.textSize * 3) {
      regions_.push_back(Region{PageRect{content_.x, by, side ? gw : content_.w, content_.bottom() - by}});
    }
  }

  std::vector<TableSpec> Tables(const PageContent& c) const {
    return {TableSpec{BlockKind::NumberTable, "\x91\xCE\x89\x9E\x95\x5C", &c.numberTable, m_.numberBox},  // 対応表
            TableSpec{BlockKind::CheckTable, "\x83\x60\x83\x46\x83\x62\x83\x4E\x95\x5C", &c.checkTable, m_.checkBox},  // チェック表
            TableSpec{BlockKind::Answer, "\x89\xF0\x93\x9A\x97\x93", &c.answer, m_.answerBox}};  // 解答欄
  }

  double TablesHeight(const PageContent& c, double width) const {
    double h = 0;
    for (const TableSpec& t : Tables(c)) {
      if (!t.boxes->empty()) h += TableHeight(t, width) + m_.gap;
    }
    return h;
  }

  // A number-crossword: the tables below the grid or beside it, whichever leaves the grid
  // larger; on the next page when the grid needs the whole of its own.
  void LayNankuro(const PageContent& c) {
    const double belowTables = TablesHeight(c, content_.w);
    const double belowCell = CellFor(c, content_.w, content_.h - belowTables);
    const double side = std::max(content_.w * 0.34, m_.columnMin);
    const double besideCell =
        TablesHeight(c, side) <= content_.h ? CellFor(c, content_.w - side - m_.gap, content_.h) : 0;
    const double best = std::max(belowCell, besideCell);
    if (best >= m_.minCell) {
      doc_.cell = best;
      LayGrid(c, best);
      RegionsAroundGrid(best, c, besideCell > belowCell, true);
    } else {
      doc_.cell = std::max(m_.minCell, CellFor(c, content_.w, content_.h));
      if (LayGrid(c, doc_.cell)) {
        RegionsAroundGrid(doc_.cell, c, true, true);
      } else {
        regions_.clear();
      }
    }
    for (const TableSpec& t : Tables(c)) PlaceTable(c, t);
  }

  // A crossword, or a solution: the grid as large as the page allows, then the answer word and
  // the clues in columns that run on to further pages.
  void LayWithFlow(const PageContent& c) {
    const TableSpec answer{BlockKind::Answer, "\x89\xF0\x93\x9A\x97\x93", &c.answer, m_.answerBox};
    const double reserve = c.answer.empty() ? 0 : TableHeight(answer, content_.w) + m_.gap;
    double cell = CellFor(c, content_.w, content_.h - reserve);
    if (cell < m_.minCell) cell = std::max(m_.minCell, CellFor(c, content_.w, content_.h));
    if (!c.solution) doc_.cell = cell;
    if (LayGrid(c, cell)) {
      RegionsAroundGrid(cell, c, true, true);
    } else {
      regions_.clear();
    }
    PlaceTable(c, answer);
    FlowClues(c);
  }

  // ---- clue columns ------------------------------------------------------------------------
  struct Entry {
    std::string number;             // empty for a heading
    std::vector<std::string> lines;
  };

  // Japanese lines break between any two characters, except that a line never starts with a
  // closing mark: the character before it goes down with it.
  static bool ClosingMark(const std::string& ch) {
    static const char* const kMarks[] = {"\x81\x41", "\x81\x42", "\x81\x43", "\x81\x44", "\x81\x48",
                                         "\x81\x49", "\x81\x5B", "\x81\x6A", "\x81\x76", "\x81\x78"};
    for (const char* m : kMarks) {
      if (ch == m) return true;
    }
    return ch == "," || ch == "." || ch == ")";
  }

  std::vector<std::string> Wrap(const std::string& text, double width, double size) const {
    std::vector<std::string> lines(1);
    for (const std::string& ch : Cp932Characters(text)) {
      if (!lines.back().empty() && TextEms(lines.back() + ch) * size > width) {
        std::string carried;
        if (ClosingMark(ch)) {
          const std::vector<std::string> chars = Cp932Characters(lines.back());
          if (chars.size() > 1) {
            carried = chars.back();
            lines.back().resize(lines.back().size() - carried.size());
          }
        }
        lines.push_back(carried);
      }
      lines.back() += ch;
    }
    return lines;
  }

  void FlowClues(const PageContent& c) {
    if (c.down.empty() && c.across.empty()) return;
    std::int32_t maxNumber = 0;
    for (const auto* list : {&c.down, &c.across}) {
      for (const PageClue& k : *list) maxNumber = std::max(maxNumber, k.number);
    }
    const double size = m_.textSize, lineH = size * 1.45;
    const double gutter = (static_cast<double>(std::to_string(maxNumber).size()) + 1) * 0.5 * size;
    std::size_t regionIndex = 0;
    for (;;) {
      // Columns of the regions left on this page, then of fresh pages.
      std::vector<PageRect> columns;
      for (; regionIndex < regions_.size(); ++regionIndex) {
        const Region& r = regions_[regionIndex];
        if (r.left() < lineH * 2) continue;
        const int k = std::max(1, static_cast<int>(std::floor((r.rect.w + m_.gap) / (m_.columnMin + m_.gap))));
        const double w = (r.rect.w - (k - 1) * m_.gap) / k;
        for (int i = 0; i < k; ++i) {
          columns.push_back(PageRect{r.rect.x + i * (w + m_.gap), r.rect.y + r.used, w, r.left()});
        }
      }
      if (PourInto(c, columns, gutter, size, lineH)) return;
      FreshPage(c);
      regionIndex = 0;
    }
  }

  // Pours the clues not yet placed into `columns`; true when every clue is placed.
  bool PourInto(const PageContent& c, const std::vector<PageRect>& columns, double gutter, double size, double lineH) {
    static const char* const kHeadings[2] = {"\x82\xBD\x82\xC4\x82\xCC\x83\x4A\x83\x4D",   // たてのカギ
                                             "\x82\xE6\x82\xB1\x82\xCC\x83\x4A\x83\x4D"};  // よこのカギ
    const std::vector<PageClue>* lists[2] = {&c.down, &c.across};
    for (const PageRect& col : columns) {
      PageBlock block{BlockKind::Clues, col};
      double y = col.y;
      const double textW = col.w - gutter;
      while (list_ < 2) {
        const std::vector<PageClue>& list = *lists[list_];
        if (next_ >= list.size()) {
          ++list_, next_ = 0, line_ = 0;
          headingDone_ = false;
          continue;
        }
        const bool heading = !headingDone_;
        const std::vector<std::string> lines = Wrap(list[next_].text, textW, size);
        const bool columnTop = y <= col.y + 1e-6;
        const double headH = heading ? m_.headSize * 1.7 + (columnTop ? 0 : lineH * 0.5) : 0;
        // A heading stays with its first clue, and a clue of up to three lines stays whole; in
        // an empty column whatever fits goes, so that a long clue runs on.
        const double need = headH + lineH * static_cast<double>(std::min<std::size_t>(lines.size() - line_, 3));
        if (y + need > col.bottom() + 1e-6 && (!columnTop || y + headH + lineH > col.bottom() + 1e-6)) break;
        if (heading) {
          if (!columnTop) y += lineH * 0.5;
          Text(Page(), PageRect{col.x, y, std::min(col.w, TextEms(kHeadings[list_]) * m_.headSize), m_.headSize * 1.4},
               m_.headSize, TextAlign::Left, kHeadings[list_]);
          headingDone_ = true;
          y += m_.headSize * 1.7;
        }
        if (line_ == 0) {
          const std::string number = std::to_string(list[next_].number);
          Text(Page(), PageRect{col.x, y, TextEms(number) * size, lineH}, size, TextAlign::Left, number);
        }
        while (line_ < lines.size() && y + lineH <= col.bottom() + 1e-6) {
          block.clueLines.push_back(Page().items.size());
          Text(Page(), PageRect{col.x + gutter, y, std::min(textW, TextEms(lines[line_]) * size), lineH}, size,
               TextAlign::Left, lines[line_]);
          ++line_;
          y += lineH;
        }
        if (line_ < lines.size()) break;
        ++next_, line_ = 0;
      }
      if (!block.clueLines.empty()) {
        block.rect.h = y - col.y;
        Page().blocks.push_back(std::move(block));
      }
      if (list_ >= 2) return true;
    }
    return list_ >= 2;
  }

  Metrics m_;
  PageDocument doc_;
  PageRect content_;
  std::vector<Region> regions_;
  // Where the clue flow stands: the list (down, across), its clue, and the clue's next line.
  int list_ = 0;
  std::size_t next_ = 0, line_ = 0;
  bool headingDone_ = false;
};

}  // namespace

PageDocument LayOutPages(const PageContent& puzzle, const PageContent* solution, const PageOptions& options) {
  Builder b(options);
  b.Lay(puzzle);
  if (solution != nullptr) b.Lay(*solution);
  return b.Finish();
}

PageDocument LayOutPuzzle(Puzzle& puzzle, PuzzleKind kind, const PageOptions& options) {
  const PageContent page = ComposePage(puzzle, kind, false);
  if (!options.solution) return LayOutPages(page, nullptr, options);
  const PageContent answers = ComposePage(puzzle, kind, true);
  return LayOutPages(page, &answers, options);
}

}  // namespace teku
