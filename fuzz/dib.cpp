// Background bitmaps (.bmp) as the installer checks and decodes them before drawing.
#include <QImage>

#include "FuzzInput.h"
#include "ui/background/DibFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = kestrel::fuzz::text(data, size);
    (void)kestrel::setup::checkDib(file);
    (void)kestrel::setup::decodeDib(file);
    return 0;
}
