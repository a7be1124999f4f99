// The drawing tests' helpers, and the program's resource directory, which serves their
// bitmaps.
#include "draw_test_support.h"

#include <algorithm>
#include <climits>

#include "platform/resources.h"

namespace drawtest {
namespace {

constexpr int32_t MaxTestBitmaps = 16;
plat::ResourceEntry Entries[MaxTestBitmaps];
int32_t EntryCount = 0;

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<uint32_t> Snapshot() {
    const size_t n = static_cast<size_t>(plat::draw::PixelWidth()) * static_cast<size_t>(plat::draw::PixelHeight());
    return std::vector<uint32_t>(plat::draw::Pixels(), plat::draw::Pixels() + n);
}

uint32_t DevicePixel(int32_t x, int32_t y) {
    return plat::draw::Pixels()[static_cast<size_t>(y) * static_cast<size_t>(plat::draw::PixelWidth()) + static_cast<size_t>(x)];
}

plat::Rect InkBox() {
    plat::Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t y = 0; y < plat::draw::PixelHeight(); ++y) {
        for (int32_t x = 0; x < plat::draw::PixelWidth(); ++x) {
            if (DevicePixel(x, y) == White) continue;
            box = plat::Rect{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                             std::max(box.bottom, y + 1)};
        }
    }
    return box.left == INT32_MAX ? plat::Rect{0, 0, 0, 0} : box;
}

int32_t ChangesOutside(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after,
                       const plat::Rect& keep) {
    const int32_t s = plat::draw::Scale(), w = plat::draw::PixelWidth();
    int32_t changes = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        const auto x = static_cast<int32_t>(i % static_cast<size_t>(w)) / s;
        const auto y = static_cast<int32_t>(i / static_cast<size_t>(w)) / s;
        const bool inside = x >= keep.left && x < keep.right && y >= keep.top && y < keep.bottom;
        if (!inside && before[i] != after[i]) ++changes;
    }
    return changes;
}

std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, int32_t bits, const std::vector<uint32_t>& palette,
                             const std::vector<uint32_t>& pixels) {
    const size_t stride = (static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32 * 4;
    const size_t offset = 14 + 40 + palette.size() * 4;
    std::vector<uint8_t> out(offset + stride * static_cast<size_t>(height), 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<uint32_t>(out.size()));
    Put32(out, 10, static_cast<uint32_t>(offset));
    Put32(out, 14, 40);
    Put32(out, 18, static_cast<uint32_t>(width));
    Put32(out, 22, static_cast<uint32_t>(height));
    Put16(out, 26, 1);
    Put16(out, 28, static_cast<uint32_t>(bits));
    Put32(out, 46, static_cast<uint32_t>(palette.size()));
    for (size_t i = 0; i < palette.size(); ++i) Put32(out, 54 + i * 4, palette[i]);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = out.data() + offset + stride * static_cast<size_t>(height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t v = pixels[static_cast<size_t>(y * width + x)];
            switch (bits) {
                case 1: row[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8)); break;
                case 4: row[x / 2] |= static_cast<uint8_t>((v & 0xF) << (x % 2 == 0 ? 4 : 0)); break;
                case 8: row[x] = static_cast<uint8_t>(v); break;
                default:
                    row[x * 3] = static_cast<uint8_t>(v);
                    row[x * 3 + 1] = static_cast<uint8_t>(v >> 8);
                    row[x * 3 + 2] = static_cast<uint8_t>(v >> 16);
            }
        }
    }
    return out;
}

void AddBitmap(int32_t id, const std::vector<uint8_t>& bytes) {
    if (EntryCount == MaxTestBitmaps) return;
    Entries[EntryCount++] = plat::ResourceEntry{plat::ResourceType::Bitmap, id, nullptr, bytes.data(),
                                                static_cast<uint32_t>(bytes.size())};
}

void ClearBitmaps() {
    for (plat::ResourceEntry& e : Entries) e = plat::ResourceEntry{};
    EntryCount = 0;
}

}  // namespace drawtest

namespace plat {

const ResourceDirectory ProgramResources{drawtest::Entries, drawtest::MaxTestBitmaps};

}  // namespace plat
