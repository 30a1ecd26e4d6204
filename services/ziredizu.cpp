// The services component's identity and key access.
#include "services/ziredizu.h"

#include <cctype>
#include <climits>
#include <unistd.h>
#include <utility>

#include "desktop/puzzle_path.h"
#include "services/palette_merge.h"
#include "services/profile_file.h"
#include "surface/image_loader.h"
#include "surface/icon_reader.h"
#include "surface/jpeg_decoder.h"
#include "surface/mag_decoder.h"
#include "surface/picture_source.h"

namespace teku {

std::string ZIREDIZU::SectionNameFor(const std::string& exeFileName) {
  std::string name = exeFileName;
  const std::size_t dot = name.find('.');
  if (dot == std::string::npos) return name;
  // Everything from the first '.' up to, not including, the last character goes.
  const std::size_t count = name.size() - 1 - dot;
  name.erase(dot, count);
  return name;
}

std::string ZIREDIZU::RunningExecutable() {
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::string();
  return std::string(buffer, static_cast<std::size_t>(n));
}

ZIREDIZU::ZIREDIZU() : ZIREDIZU(RunningExecutable()) {}

ZIREDIZU::ZIREDIZU(const std::string& exePath) : ZIREDIZU(exePath, PaletteSetup{}) {}

ZIREDIZU::ZIREDIZU(const std::string& exePath, const PaletteSetup& setup) {
  BuildPalette(setup);
  SetIdentity(exePath);
  LoadStartPicture(setup);
}

ZIREDIZU::ZIREDIZU(const std::string& exeDir, const std::string& sectionName)
    : ZIREDIZU(exeDir, sectionName, PaletteSetup{}) {}

ZIREDIZU::ZIREDIZU(const std::string& exeDir, const std::string& sectionName,
                   const PaletteSetup& setup) {
  BuildPalette(setup);
  SetIdentity(exeDir, sectionName);
  LoadStartPicture(setup);
}

ZIREDIZU::ZIREDIZU(const ProgramFolders& folders, const std::string& sectionName, const PaletteSetup& setup) {
  BuildPalette(setup);
  SetIdentity(folders.programDir, sectionName);
  // Without a settings folder there is no settings file, rather than one in the current folder.
  IniFileName = folders.settingsDir.empty() ? std::string() : folders.settingsDir + "TEKUINI.INI";
  LoadStartPicture(setup);
}

ZIREDIZU::~ZIREDIZU() {
  if (PaletteHandle != nullptr) DeletePalette(PaletteHandle);
}

ZIREDIZU::ZIREDIZU(const ZIREDIZU& other)
    : IniFileName(other.IniFileName),
      ExeDir(other.ExeDir),
      SectionName(other.SectionName),
      Palette(other.Palette),
      SavedPalette(other.SavedPalette),
      PaletteHandle(other.PaletteHandle != nullptr ? new LogicalPalette(*other.PaletteHandle)
                                                   : nullptr),
      display_(other.display_),
      messages_(other.messages_) {}

ZIREDIZU& ZIREDIZU::operator=(const ZIREDIZU& other) {
  if (this != &other) {
    ZIREDIZU copy(other);
    *this = std::move(copy);
  }
  return *this;
}

ZIREDIZU::ZIREDIZU(ZIREDIZU&& other) noexcept
    : IniFileName(std::move(other.IniFileName)),
      ExeDir(std::move(other.ExeDir)),
      SectionName(std::move(other.SectionName)),
      Palette(other.Palette),
      SavedPalette(other.SavedPalette),
      PaletteHandle(std::exchange(other.PaletteHandle, nullptr)),
      display_(other.display_),
      messages_(other.messages_) {}

ZIREDIZU& ZIREDIZU::operator=(ZIREDIZU&& other) noexcept {
  if (this != &other) {
    IniFileName = std::move(other.IniFileName);
    ExeDir = std::move(other.ExeDir);
    SectionName = std::move(other.SectionName);
    Palette = other.Palette;
    SavedPalette = other.SavedPalette;
    std::swap(PaletteHandle, other.PaletteHandle);
    display_ = other.display_;
    messages_ = other.messages_;
  }
  return *this;
}

void ZIREDIZU::SetIdentity(const std::string& exePath) {
  const std::size_t slash = exePath.find_last_of('/');
  ExeDir = slash == std::string::npos ? std::string() : exePath.substr(0, slash + 1);
  SectionName = SectionNameFor(slash == std::string::npos ? exePath : exePath.substr(slash + 1));
  IniFileName = ExeDir + "TEKUINI.INI";
}

void ZIREDIZU::SetIdentity(const std::string& exeDir, const std::string& sectionName) {
  ExeDir = exeDir.empty() || exeDir.back() == '/' ? exeDir : exeDir + "/";
  SectionName = sectionName;
  IniFileName = ExeDir + "TEKUINI.INI";
}

void ZIREDIZU::BuildPalette(const PaletteSetup& setup) {
  display_ = setup.display != nullptr ? setup.display : &DefaultDisplay();
  messages_ = setup.messages;
  Palette = DefaultPalette;
  const int n = display_->NumColors();
  if (n >= 1 && n <= 256) {
    const int c = n / 2;
    for (int i = 0; i < c; ++i) Palette[static_cast<std::size_t>(i)] = display_->SystemPaletteEntry(i);
    for (int i = 256 - c; i < 256; ++i) {
      Palette[static_cast<std::size_t>(i)] = display_->SystemPaletteEntry(i);
    }
    for (int i = 0; i < c; ++i) Palette[static_cast<std::size_t>(i)].flags = 0;
    for (int i = 256 - c; i < 256; ++i) Palette[static_cast<std::size_t>(i)].flags = 0;
  }
  SavedPalette = Palette;
  PaletteHandle = nullptr;
  CreateScreenPalette(PaletteHandle);
}

void ZIREDIZU::LoadStartPicture(const PaletteSetup& setup) {
  if (!setup.startPicture) {
    LoadStartPalette();
    return;
  }
  Palette = SavedPalette;
  MergePictureColors(*setup.startPicture);
  CreateScreenPalette(PaletteHandle);
}

HPalette ZIREDIZU::GetPalette(Palette256& destination) const {
  destination = Palette;
  return PaletteHandle;
}

void ZIREDIZU::CreateScreenPalette(HPalette& handle) const {
  if (handle != nullptr) {
    DeletePalette(handle);
    handle = nullptr;
  }
  auto* palette = new LogicalPalette;
  palette->entries = Palette;
  const int n = display_->NumColors();
  if (n >= 1 && n <= 256) {
    const int c = n / 2;
    for (int i = 0; i < c; ++i) palette->entries[static_cast<std::size_t>(i)] = display_->SystemPaletteEntry(i);
    for (int i = 256 - c; i < 256; ++i) {
      palette->entries[static_cast<std::size_t>(i)] = display_->SystemPaletteEntry(i);
    }
  }
  for (auto& e : palette->entries) e.flags = 0;
  handle = palette;
}

void ZIREDIZU::LoadStartPalette(const ProgressSink& progress) {
  Palette = SavedPalette;
  // The default applies to a missing key only: an empty value names no picture.
  const std::string fileName = ReadIniOr("INITBMP", ExeDir + "TEKUCINI.BMP");
  MergePictureColors(fileName, progress);
  CreateScreenPalette(PaletteHandle);
}


void ZIREDIZU::MergePictureColors(const std::string& fileName, const ProgressSink& progress) {
  const std::string ext = UpperExtension(fileName);
  if (ext == ".JPG") {
    MergeJpegColors(fileName, progress);
    return;
  }
  // The decoders start the temporary picture's colour table from the palette as it stands.
  DibSurface surface;
  surface.Palette = Palette;
  if (ext == ".MAG") {
    TDibImage image;
    DecodeMag(surface, PictureFile(fileName), image, MagLineWidth::kPictureOnly);
    if (image.allocated()) MergeImageColors(image);
    FreeImage(image);
    return;
  }
  if (ext == ".ICO") {
    // Read for its message only: an icon gives the palette nothing.
    TDibImage image;
    ReadIcon(surface, PictureFile(fileName), image, messages_, /*remap=*/false);
    FreeImage(image);
    return;
  }
  UsedColors colors;
  if (!ScanBmpColors(PictureFile(fileName), colors, messages_)) return;
  MergeUsedColors(Palette, colors, MergeForm::kBmp);
  CreateScreenPalette(PaletteHandle);
}

void ZIREDIZU::MergeImageColors(TDibImage& image) {
  UsedColors colors;
  UsedColorsOfImage(image, colors);
  MergeUsedColors(Palette, colors, MergeForm::kImage);
  CreateScreenPalette(PaletteHandle);
}

void ZIREDIZU::MergeJpegColors(const std::string& fileName, const ProgressSink& progress) {
  if (GetFileLength(fileName) < 0) return;
  JpegColorTally tally;
  // Block colours of the preview pass only: the full pass's pixels would cost a tally search
  // each and add mostly near repeats of the block colours.
  PaletteEntry last{};
  const JpegColorOffer offer = [&tally, &last](std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const PaletteEntry colour{r, g, b, 0};
    if (colour == last) return;
    last = colour;
    tally.Offer(r, g, b);
  };
  {
    DibSurface surface;
    surface.Palette = Palette;
    TDibImage image;
    LoadJpegColors(surface, fileName, image, progress, offer);
    FreeImage(image);
  }
  tally.MergeInto(Palette);
  for (auto& e : Palette) e.flags = 0;
  CreateScreenPalette(PaletteHandle);
}

std::int64_t ZIREDIZU::ReadFileBlock(const std::string& fileName, void* buffer,
                                     std::int64_t count, std::int64_t offset) {
  return ReadFileAt(fileName, buffer, offset, count);
}

std::int64_t ZIREDIZU::GetFileLength(const std::string& fileName) { return FileSizeOf(fileName); }

std::string ZIREDIZU::ReadIni(const std::string& key) const {
  return ReadProfileString(IniFileName, SectionName, key, "");
}

std::string ZIREDIZU::ReadIniOr(const std::string& key, const std::string& defaultValue) const {
  return ReadProfileString(IniFileName, SectionName, key, defaultValue);
}

void ZIREDIZU::WriteIni(const std::string& key, const std::string& value) const {
  WriteProfileString(IniFileName, SectionName, key, value);
}

std::string ZIREDIZU::ReadFileIni(const std::string& fileName, const std::string& key) const {
  return ReadProfileString(ResolveInFolder(ExeDir, fileName), SectionName, key, "");
}

void ZIREDIZU::WriteFileIni(const std::string& fileName, const std::string& key,
                            const std::string& value) const {
  WriteProfileString(ResolveInFolder(ExeDir, fileName), SectionName, key, value);
}

void ZIREDIZU::DeleteFileIni(const std::string& fileName, const std::string& key) const {
  DeleteProfileKey(ResolveInFolder(ExeDir, fileName), SectionName, key);
}

}  // namespace teku
