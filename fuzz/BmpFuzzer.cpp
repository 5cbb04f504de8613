// Loads arbitrary bytes as a background BMP file through a memory file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "gui/widgets/BackgroundBitmap.h"

using namespace ravelmoor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int file = memfd_create("bmp", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(file);
    if (ftruncate(file, 0) != 0 || pwrite(file, data, size, 0) != static_cast<ssize_t>(size)) {
        return 0;
    }
    BackgroundBitmap bitmap;
    if (bitmap.LoadFromFile(path) && (bitmap.Width() <= 0 || bitmap.Height() <= 0)) abort();
    return 0;
}
