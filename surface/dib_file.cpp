// BMP output of picture records, written to a temporary file and renamed into place.
#include "surface/dib_file.h"

#include <cstdio>

namespace teku {

bool SaveDibImage(TDibImage& image, const std::string& path) {
  PixelLock lock(image);
  if (!lock.ok()) return false;
  const std::string temp = path + ".tmp";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(&image.FileHeader, 1, kBmpHeaderBytes, f) ==
            static_cast<std::size_t>(kBmpHeaderBytes);
  ok = ok && std::fwrite(lock.bytes(), 1, lock.size(), f) == lock.size();
  ok = (std::fflush(f) == 0) && ok;
  ok = (std::fclose(f) == 0) && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  std::remove(temp.c_str());
  return false;
}

}  // namespace teku
