// Small picture files made for the tests: device-independent bitmaps of any depth and
// placeable metafiles record by record.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kestrel::setup::test {

// A bottom-up bitmap file of 1, 4, 8, 24 or 32 bits per pixel. `rgb` gives each pixel as
// 0xRRGGBB; up to 8 bits the palette holds the colours in the order first met (the picture
// may use no more than the depth allows).
std::string bitmapFile(int width, int height, int bits,
                       const std::function<std::uint32_t(int x, int y)>& rgb);
// One colour all over.
std::string plainBitmapFile(int width, int height, int bits, std::uint32_t rgb);

class MetafileWriter {
  public:
    // The bounding box in units, `unitsPerInch` of them to the inch.
    MetafileWriter(int left, int top, int right, int bottom, int unitsPerInch);

    void record(std::uint16_t function, std::vector<std::int16_t> params);
    // Objects go into the table's lowest free slot; the helpers return the slot.
    int solidBrush(std::uint32_t colourRef);
    int pen(int style, int width, std::uint32_t colourRef);
    void select(int slot);
    void rectangle(int left, int top, int right, int bottom);
    void ellipse(int left, int top, int right, int bottom);

    // The whole file, ended by the end record.
    std::string bytes() const;

  private:
    int left_, top_, right_, bottom_, unitsPerInch_;
    int objects_ = 0;
    std::string records_;
};

}  // namespace kestrel::setup::test
