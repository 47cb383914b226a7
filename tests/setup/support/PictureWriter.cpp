#include "PictureWriter.h"

#include <map>

#include "LittleEndian.h"

namespace kestrel::setup::test {

using kestrel::test::put16;
using kestrel::test::put32;

namespace {

std::vector<std::int16_t> colourWords(std::uint32_t colourRef) {
    return {static_cast<std::int16_t>(colourRef & 0xFFFF),
            static_cast<std::int16_t>(colourRef >> 16)};
}

}  // namespace

std::string bitmapFile(int width, int height, int bits,
                       const std::function<std::uint32_t(int, int)>& rgb) {
    std::vector<std::uint32_t> palette;
    std::map<std::uint32_t, unsigned> index;
    const auto paletteIndex = [&](std::uint32_t colour) {
        auto [at, added] = index.emplace(colour, static_cast<unsigned>(palette.size()));
        if (added) palette.push_back(colour);
        return at->second;
    };
    const int rowBytes = (width * bits + 31) / 32 * 4;
    std::string pixels;
    for (int y = height - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(rowBytes), '\0');
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = rgb(x, y);
            if (bits >= 24) {
                const std::size_t at = static_cast<std::size_t>(x * bits / 8);
                row[at] = static_cast<char>(colour & 0xFF);
                row[at + 1] = static_cast<char>((colour >> 8) & 0xFF);
                row[at + 2] = static_cast<char>((colour >> 16) & 0xFF);
            } else {
                const unsigned value = paletteIndex(colour);
                const int bit = x * bits;
                const int shift = 8 - bits - bit % 8;
                row[static_cast<std::size_t>(bit / 8)] |= static_cast<char>(value << shift);
            }
        }
        pixels += row;
    }
    if (bits <= 8) palette.resize(1u << bits);

    std::string file = "BM";
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size()) * 4;
    put32(file, offset + static_cast<std::uint32_t>(pixels.size()));
    put32(file, 0);
    put32(file, offset);
    put32(file, 40);
    put32(file, static_cast<std::uint32_t>(width));
    put32(file, static_cast<std::uint32_t>(height));
    put16(file, 1);
    put16(file, static_cast<unsigned>(bits));
    put32(file, 0);  // uncompressed
    put32(file, static_cast<std::uint32_t>(pixels.size()));
    put32(file, 2835);
    put32(file, 2835);
    put32(file, static_cast<std::uint32_t>(palette.size()));
    put32(file, 0);
    for (std::uint32_t colour : palette) put32(file, colour);  // as BGR0 in the file
    return file + pixels;
}

std::string plainBitmapFile(int width, int height, int bits, std::uint32_t rgb) {
    return bitmapFile(width, height, bits, [rgb](int, int) { return rgb; });
}

MetafileWriter::MetafileWriter(int left, int top, int right, int bottom, int unitsPerInch)
    : left_(left), top_(top), right_(right), bottom_(bottom), unitsPerInch_(unitsPerInch) {}

void MetafileWriter::record(std::uint16_t function, std::vector<std::int16_t> params) {
    put32(records_, static_cast<std::uint32_t>(3 + params.size()));
    put16(records_, function);
    for (std::int16_t word : params) put16(records_, static_cast<std::uint16_t>(word));
}

int MetafileWriter::solidBrush(std::uint32_t colourRef) {
    std::vector<std::int16_t> params = {0};
    for (std::int16_t word : colourWords(colourRef)) params.push_back(word);
    params.push_back(0);
    record(0x02FC, params);
    return objects_++;
}

int MetafileWriter::pen(int style, int width, std::uint32_t colourRef) {
    std::vector<std::int16_t> params = {static_cast<std::int16_t>(style),
                                        static_cast<std::int16_t>(width), 0};
    for (std::int16_t word : colourWords(colourRef)) params.push_back(word);
    record(0x02FA, params);
    return objects_++;
}

void MetafileWriter::select(int slot) {
    record(0x012D, {static_cast<std::int16_t>(slot)});
}

void MetafileWriter::rectangle(int left, int top, int right, int bottom) {
    record(0x041B, {static_cast<std::int16_t>(bottom), static_cast<std::int16_t>(right),
                    static_cast<std::int16_t>(top), static_cast<std::int16_t>(left)});
}

void MetafileWriter::ellipse(int left, int top, int right, int bottom) {
    record(0x0418, {static_cast<std::int16_t>(bottom), static_cast<std::int16_t>(right),
                    static_cast<std::int16_t>(top), static_cast<std::int16_t>(left)});
}

std::string MetafileWriter::bytes() const {
    std::string file;
    put32(file, 0x9AC6CDD7);
    put16(file, 0);
    for (int edge : {left_, top_, right_, bottom_}) put16(file, static_cast<unsigned>(edge));
    put16(file, static_cast<unsigned>(unitsPerInch_));
    put32(file, 0);
    unsigned checksum = 0;
    for (std::size_t i = 0; i + 1 < file.size(); i += 2)
        checksum ^= static_cast<unsigned char>(file[i]) |
                    static_cast<unsigned>(static_cast<unsigned char>(file[i + 1])) << 8;
    put16(file, checksum);
    std::string body = records_;
    put32(body, 3);  // the end record
    put16(body, 0);
    put16(file, 1);  // in memory
    put16(file, 9);
    put16(file, 0x300);
    put32(file, static_cast<std::uint32_t>((18 + body.size()) / 2));
    put16(file, static_cast<unsigned>(objects_));
    put32(file, 16);
    put16(file, 0);
    return file + body;
}

}  // namespace kestrel::setup::test
