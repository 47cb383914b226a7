#include "CabinetSetWriter.h"

#include "LittleEndian.h"

#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string_view>

namespace kestrel::test {
namespace {

constexpr std::size_t kBlockSize = 32768;
constexpr std::size_t kDataHeaderSize = 8;
constexpr std::uint16_t kContinuedFromPrev = 0xFFFD;
constexpr std::uint16_t kContinuedToNext = 0xFFFE;
constexpr std::uint16_t kContinuedPrevAndNext = 0xFFFF;

// An MSZIP block: "CK" and a complete raw deflate stream that may refer back into the block
// before it, as the format's decoders keep their window from block to block.
std::string mszipBlock(std::string_view chunk, std::string_view previous) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    if (!previous.empty())
        deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(previous.data()),
                             static_cast<uInt>(previous.size()));
    std::string out(2 + deflateBound(&z, static_cast<uLong>(chunk.size())) + 16, '\0');
    out[0] = 'C';
    out[1] = 'K';
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.data()));
    z.avail_in = static_cast<uInt>(chunk.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data() + 2);
    z.avail_out = static_cast<uInt>(out.size() - 2);
    const int result = deflate(&z, Z_FINISH);
    out.resize(2 + z.total_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
    return out;
}

// The block checksum: XOR of the data's little-endian 32-bit words (a short tail taken most
// significant byte first), then of the header's size fields.
std::uint32_t checksum(std::string_view bytes, std::uint32_t seed) {
    std::size_t i = 0;
    for (; i + 4 <= bytes.size(); i += 4) {
        std::uint32_t word = 0;
        for (int k = 3; k >= 0; --k) word = word << 8 | static_cast<unsigned char>(bytes[i + k]);
        seed ^= word;
    }
    std::uint32_t tail = 0;
    for (; i < bytes.size(); ++i) tail = tail << 8 | static_cast<unsigned char>(bytes[i]);
    return seed ^ tail;
}

struct Piece {
    std::string bytes;
    std::uint16_t uncompressed;  // 0 for a block that goes on in the next cabinet
};

struct PlacedFile {
    const CabinetFile* file;
    std::uint32_t offset;
};

struct Folder {
    CabinetCompression compression;
    std::vector<PlacedFile> files;
    std::vector<std::uint32_t> blockStarts;  // uncompressed offset of each block
};

// A folder's blocks as one cabinet holds them.
struct FolderPart {
    std::size_t folder;
    std::size_t firstBlock = 0, lastBlock = 0;
    bool fromPrevious = false, toNext = false;
    std::vector<Piece> pieces;
};

struct Cabinet {
    std::vector<FolderPart> parts;
    std::size_t used = 0;
};

class SetBuilder {
  public:
    explicit SetBuilder(const CabinetSetLayout& layout) : layout_(layout) {
        cabinets_.emplace_back();
    }

    void add(const CabinetFolder& folder) {
        startFolder(folder.compression);
        for (const auto& file : folder.files) {
            if (folderEnded_) startFolder(folder.compression);
            Folder& current = folders_.back();
            current.files.push_back({&file, length_});
            length_ += static_cast<std::uint32_t>(file.data.size());
            pending_ += file.data;
            while (pending_.size() >= kBlockSize) emitBlock(kBlockSize);
            // A folder that ran over a cabinet's end ends with this file.
            if (splitInFile_) flushFolder();
        }
        flushFolder();
    }

    std::vector<std::string> write(const std::filesystem::path& directory) const {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < cabinets_.size(); ++i) {
            names.push_back(layout_.cabinetName(static_cast<int>(i + 1)));
            std::ofstream(directory / names.back(), std::ios::binary) << cabinetBytes(i);
        }
        return names;
    }

  private:
    void startFolder(CabinetCompression compression) {
        folders_.push_back({compression, {}, {}});
        length_ = 0;
        pending_.clear();
        previous_.clear();
        folderEnded_ = splitInFile_ = false;
    }

    void flushFolder() {
        if (folderEnded_) return;
        if (!pending_.empty()) emitBlock(pending_.size());
        folderEnded_ = true;
    }

    void emitBlock(std::size_t size) {
        const std::string chunk = pending_.substr(0, size);
        pending_.erase(0, size);
        Folder& folder = folders_.back();
        folder.blockStarts.push_back(length_ - static_cast<std::uint32_t>(pending_.size() + size));
        const std::string bytes =
            folder.compression == CabinetCompression::Mszip ? mszipBlock(chunk, previous_) : chunk;
        previous_ = chunk;
        place(bytes, static_cast<std::uint16_t>(size));
    }

    FolderPart& partFor(Cabinet& cabinet, std::size_t block) {
        const std::size_t folder = folders_.size() - 1;
        if (cabinet.parts.empty() || cabinet.parts.back().folder != folder)
            cabinet.parts.push_back({folder, block, block, false, false, {}});
        return cabinet.parts.back();
    }

    // Puts a block into the cabinets, splitting it where a cabinet is full.
    void place(std::string_view bytes, std::uint16_t uncompressed) {
        const std::size_t block = folders_.back().blockStarts.size() - 1;
        for (;;) {
            Cabinet& cabinet = cabinets_.back();
            FolderPart& part = partFor(cabinet, block);
            part.lastBlock = block;
            const std::size_t room = layout_.cabinetData > cabinet.used + kDataHeaderSize
                                         ? layout_.cabinetData - cabinet.used - kDataHeaderSize
                                         : 1;
            if (bytes.size() <= room || bytes.size() < 2) {
                part.pieces.push_back({std::string(bytes), uncompressed});
                cabinet.used += kDataHeaderSize + bytes.size();
                return;
            }
            const std::size_t left = std::min(room, bytes.size() - 1);
            part.pieces.push_back({std::string(bytes.substr(0, left)), 0});
            part.toNext = true;
            bytes.remove_prefix(left);
            cabinets_.emplace_back();
            FolderPart& continued = partFor(cabinets_.back(), block);
            continued.fromPrevious = true;
            splitInFile_ = true;
        }
    }

    std::size_t blockOf(const Folder& folder, std::uint32_t position) const {
        const auto after = std::ranges::upper_bound(folder.blockStarts, position);
        return after == folder.blockStarts.begin()
                   ? 0
                   : static_cast<std::size_t>(after - folder.blockStarts.begin() - 1);
    }

    std::string cabinetBytes(std::size_t index) const {
        const Cabinet& cabinet = cabinets_[index];
        const bool hasPrevious = index > 0;
        const bool hasNext = index + 1 < cabinets_.size();
        const int number = static_cast<int>(index + 1);

        std::string names;
        if (hasPrevious) {
            names += layout_.cabinetName(number - 1) + '\0';
            names += layout_.diskName(number - 1) + '\0';
        }
        if (hasNext) {
            names += layout_.cabinetName(number + 1) + '\0';
            names += layout_.diskName(number + 1) + '\0';
        }

        std::string files;
        unsigned fileCount = 0;
        for (std::size_t p = 0; p < cabinet.parts.size(); ++p) {
            const FolderPart& part = cabinet.parts[p];
            const Folder& folder = folders_[part.folder];
            for (const auto& placed : folder.files) {
                const std::uint32_t size = static_cast<std::uint32_t>(placed.file->data.size());
                const std::size_t first = blockOf(folder, placed.offset);
                const std::size_t last = blockOf(folder, placed.offset + (size ? size - 1 : 0));
                if (last < part.firstBlock || first > part.lastBlock) continue;
                const bool previous = part.fromPrevious && first <= part.firstBlock;
                const bool next = part.toNext && last >= part.lastBlock;
                const std::uint16_t folderIndex = previous && next ? kContinuedPrevAndNext
                                                  : previous       ? kContinuedFromPrev
                                                  : next           ? kContinuedToNext
                                                                   : static_cast<std::uint16_t>(p);
                put32(files, size);
                put32(files, placed.offset);
                put16(files, folderIndex);
                put16(files, placed.file->date);
                put16(files, placed.file->time);
                put16(files, placed.file->attributes);
                files += placed.file->name + '\0';
                ++fileCount;
            }
        }

        const std::size_t headerSize = 36 + names.size();
        const std::size_t filesAt = headerSize + 8 * cabinet.parts.size();
        std::size_t dataAt = filesAt + files.size();

        std::string folderEntries, data;
        for (const auto& part : cabinet.parts) {
            put32(folderEntries, static_cast<std::uint32_t>(dataAt + data.size()));
            put16(folderEntries, static_cast<unsigned>(part.pieces.size()));
            put16(folderEntries, static_cast<unsigned>(folders_[part.folder].compression));
            for (const auto& piece : part.pieces) {
                std::string sizes;
                put16(sizes, static_cast<unsigned>(piece.bytes.size()));
                put16(sizes, piece.uncompressed);
                put32(data, checksum(sizes, checksum(piece.bytes, 0)));
                data += sizes + piece.bytes;
            }
        }

        std::string out = "MSCF";
        put32(out, 0);
        put32(out, static_cast<std::uint32_t>(filesAt + files.size() + data.size()));
        put32(out, 0);
        put32(out, static_cast<std::uint32_t>(filesAt));
        put32(out, 0);
        out += '\x03';
        out += '\x01';
        put16(out, static_cast<unsigned>(cabinet.parts.size()));
        put16(out, fileCount);
        put16(out, (hasPrevious ? 0x1u : 0u) | (hasNext ? 0x2u : 0u));
        put16(out, layout_.setId);
        put16(out, static_cast<unsigned>(index));
        return out + names + folderEntries + files + data;
    }

    const CabinetSetLayout& layout_;
    std::vector<Folder> folders_;
    std::vector<Cabinet> cabinets_;
    std::uint32_t length_ = 0;
    std::string pending_;
    std::string previous_;
    bool folderEnded_ = true;
    bool splitInFile_ = false;
};

}  // namespace

std::vector<std::string> writeCabinetSet(const std::filesystem::path& directory,
                                         const std::vector<CabinetFolder>& folders,
                                         const CabinetSetLayout& layout) {
    SetBuilder builder(layout);
    for (const auto& folder : folders) builder.add(folder);
    return builder.write(directory);
}

}  // namespace kestrel::test
