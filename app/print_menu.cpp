// The print and export commands of the main window.
#include "app/print_menu.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>

#include "app/main_window.h"
#include "export/page_painter.h"
#include "services/cp932.h"
#include "surface/qt_cp932.h"

namespace teku {

namespace {

std::optional<PrintMenu::Choice> AskOptions(QWidget* parent, PrintMenu::Target target, const PrintMenu::Choice& last) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QString::fromUtf8(target == PrintMenu::Target::Printer ? "印刷" : "エクスポート"));
  auto* form = new QFormLayout(&dialog);
  auto* paper = new QComboBox(&dialog);
  paper->addItems({QStringLiteral("A4"), QStringLiteral("B5")});
  paper->setCurrentIndex(last.options.paper == Paper::B5 ? 1 : 0);
  auto* orientation = new QComboBox(&dialog);
  orientation->addItems({QString::fromUtf8("縦"), QString::fromUtf8("横")});
  orientation->setCurrentIndex(last.options.landscape ? 1 : 0);
  auto* large = new QCheckBox(QString::fromUtf8("大きな文字"), &dialog);
  large->setChecked(last.options.large);
  auto* solution = new QCheckBox(QString::fromUtf8("解答のページを付ける"), &dialog);
  solution->setChecked(last.options.solution);
  form->addRow(QString::fromUtf8("用紙"), paper);
  form->addRow(QString::fromUtf8("向き"), orientation);
  form->addRow(large);
  form->addRow(solution);
  QSpinBox* dpi = nullptr;
  if (target == PrintMenu::Target::Png) {
    dpi = new QSpinBox(&dialog);
    dpi->setRange(72, 600);
    dpi->setSuffix(QStringLiteral(" dpi"));
    dpi->setValue(last.dpi);
    form->addRow(QString::fromUtf8("解像度"), dpi);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("キャンセル"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  PrintMenu::Choice c;
  c.options.paper = paper->currentIndex() == 1 ? Paper::B5 : Paper::A4;
  c.options.landscape = orientation->currentIndex() == 1;
  c.options.large = large->isChecked();
  c.options.solution = solution->isChecked();
  c.dpi = dpi != nullptr ? dpi->value() : last.dpi;
  return c;
}

std::string MessageText(const QString& text) { return Utf8ToCp932Lossy(text.toStdString()); }

// The path chosen, with the kind's extension when it has none.
std::string WithExtension(std::string path, const char* ext) {
  const std::size_t slash = path.find_last_of('/');
  if (path.find('.', slash == std::string::npos ? 0 : slash) == std::string::npos) path += ext;
  return path;
}

}  // namespace

PrintMenu::PrintMenu(TForm1& form) : QObject(&form), form_(form) {
  ChooseOptions = [this](Target target) { return AskOptions(&form_, target, last_); };
  RunPreview = [this](QPrinter& printer, const std::function<void(QPrinter*)>& paint) {
    QPrintPreviewDialog preview(&printer, &form_);
    preview.setWindowTitle(QString::fromUtf8("印刷プレビュー"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&paint](QPrinter* p) { paint(p); });
    return preview.exec() == QDialog::Accepted;
  };

  QAction* print = new QAction(QString::fromUtf8("印刷(&P)..."), &form);
  print->setObjectName(QStringLiteral("MN_FILEPRINT"));
  print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  if (auto* fileMenu = form.menuBar()->findChild<QMenu*>(QStringLiteral("MN_FILE"))) {
    fileMenu->insertAction(form.item("MN_FILEDUMMY1"), print);
  }
  form.AddItem("MN_FILEPRINT", print);
  connect(print, &QAction::triggered, this, [this] { Print(); });

  auto* exportMenu = form.item("MN_FILEEXPORTIPUZ") != nullptr
                         ? qobject_cast<QMenu*>(form.item("MN_FILEEXPORTIPUZ")->parent())
                         : nullptr;
  const std::pair<const char*, Target> kinds[] = {
      {"PDF(&D)...", Target::Pdf}, {"PNG(&N)...", Target::Png}, {"SVG(&S)...", Target::Svg}};
  const char* names[] = {"MN_FILEEXPORTPDF", "MN_FILEEXPORTPNG", "MN_FILEEXPORTSVG"};
  for (std::size_t i = 0; i < 3; ++i) {
    QAction* a = new QAction(QString::fromUtf8(kinds[i].first), &form);
    a->setObjectName(QString::fromUtf8(names[i]));
    if (exportMenu != nullptr) exportMenu->addAction(a);
    form.AddItem(names[i], a);
    const Target target = kinds[i].second;
    connect(a, &QAction::triggered, this, [this, target] { Export(target); });
  }
}

bool PrintMenu::MayShowSolution(const Choice& choice) {
  const Puzzle& p = form_.puzzle;
  if (!choice.options.solution || p.Password.empty() || p.Password == p.EnteredPassword) return true;
  return form_.PasswordGate();
}

PageOptions PrintMenu::OptionsFor(const QPrinter& printer, PageOptions options) {
  const QPageLayout layout = printer.pageLayout();
  const QPageSize::PageSizeId id = layout.pageSize().id();
  options.landscape = layout.orientation() == QPageLayout::Landscape;
  options.widthMm = options.heightMm = 0;
  if (id == QPageSize::A4 || id == QPageSize::JisB5) {
    options.paper = id == QPageSize::JisB5 ? Paper::B5 : Paper::A4;
  } else {
    // Any other paper the printer was set to: the pages are laid out on it.
    const QSizeF size = layout.pageSize().size(QPageSize::Millimeter);
    options.widthMm = std::min(size.width(), size.height());
    options.heightMm = std::max(size.width(), size.height());
  }
  return options;
}

void PrintMenu::Print() {
  const std::optional<Choice> choice = ChooseOptions(Target::Printer);
  if (!choice || !MayShowSolution(*choice)) return;
  last_ = *choice;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(choice->options.paper == Paper::B5 ? QPageSize::JisB5 : QPageSize::A4));
  printer.setPageOrientation(choice->options.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer.setFullPage(true);
  printer.setDocName(Cp932ToQString(form_.puzzle.Title));
  if (QPrinterInfo::availablePrinterNames().isEmpty()) {
    // No printer here: the pages go into a PDF file.
    const std::optional<std::string> path = form_.ChooseExportFile(QString::fromUtf8("PDF (*.pdf)"));
    if (!path) return;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QFile::decodeName(QByteArray::fromStdString(WithExtension(*path, ".pdf"))));
  }
  const PuzzleKind kind = form_.Modes().kind;
  const PageOptions wanted = choice->options;
  RunPreview(printer, [this, kind, wanted](QPrinter* p) {
    // The preview's page setup may have changed the paper: the pages follow it.
    const PageDocument doc = LayOutPuzzle(form_.puzzle, kind, OptionsFor(*p, wanted));
    if (!PaintPages(*p, p->resolution(), doc)) {
      form_.ShowMessage(MessageText(QString::fromUtf8("印刷を始められません。")), MessageText(QString::fromUtf8("印刷")));
    }
  });
}

void PrintMenu::Export(Target target) {
  const std::optional<Choice> choice = ChooseOptions(target);
  if (!choice || !MayShowSolution(*choice)) return;
  last_ = *choice;
  const char* filter = target == Target::Pdf ? "PDF (*.pdf)" : target == Target::Png ? "PNG (*.png)" : "SVG (*.svg)";
  const char* ext = target == Target::Pdf ? ".pdf" : target == Target::Png ? ".png" : ".svg";
  const std::optional<std::string> chosen = form_.ChooseExportFile(QString::fromUtf8(filter));
  if (!chosen) return;
  const std::string path = WithExtension(*chosen, ext);
  const PageDocument doc = LayOutPuzzle(form_.puzzle, form_.Modes().kind, choice->options);
  const QString title = Cp932ToQString(form_.puzzle.Title);
  QString error;
  const bool ok = target == Target::Pdf   ? WritePdf(doc, path, title, error)
                  : target == Target::Png ? WritePng(doc, path, choice->dpi, error)
                                          : WriteSvg(doc, path, title, error);
  if (!ok) form_.ShowMessage(MessageText(error), MessageText(QString::fromUtf8("エクスポート")));
}

}  // namespace teku
