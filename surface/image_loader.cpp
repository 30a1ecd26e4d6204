// The loader's dispatch: the reader is chosen by the file name's extension alone.
#include "surface/image_loader.h"

#include <cctype>

#include "surface/bmp_reader.h"
#include "surface/icon_reader.h"
#include "surface/jpeg_decoder.h"
#include "surface/mag_decoder.h"

namespace teku {

std::string UpperExtension(const std::string& fileName) {
  const auto slash = fileName.find_last_of('/');
  const auto dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = fileName.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

bool LoadImageFile(const DibSurface& surface, const std::string& fileName, TDibImage& image,
                   const ProgressSink& progress, MessageSink* messages) {
  const std::string ext = UpperExtension(fileName);
  if (ext == ".MAG") return LoadMag(surface, fileName, image);
  if (ext == ".JPG") return LoadJpeg(surface, fileName, image, progress);
  if (ext == ".ICO") return ReadIcon(surface, PictureFile(fileName), image, messages);
  return ReadBmp(surface, PictureFile(fileName), image, messages);
}

}  // namespace teku
