// The draw recorder: keeps the drawing observer's text, bitmap and inversion reports in a
// fixed ring for tests. Started and read through the headless device's hooks.
#include "platform/draw_record.h"

#include <algorithm>

#include "platform/draw_internal.h"

namespace plat::record {
namespace {

struct Ring {
    Record records[RecordCapacity];
    int32_t next;   // where the next record goes
    int32_t total;  // records made since the last Clear
};
Ring Recorded;

void Observe(const draw::DrawRecord& drawn) {
    Record record = {};
    record.rect = drawn.rect;
    switch (drawn.op) {
    case draw::DrawOp::Text: {
        record.kind = Kind::Text;
        record.flags = drawn.flags;
        record.font = drawn.id;
        record.length = drawn.count;
        int32_t kept = std::clamp(drawn.count, 0, RecordTextSize - 1);
        if (drawn.text != nullptr) std::copy(drawn.text, drawn.text + kept, record.text);
        record.text[kept] = 0;
        break;
    }
    case draw::DrawOp::Bitmap:
        record.kind = Kind::Bitmap;
        record.resourceId = draw::BitmapResourceId(drawn.id);
        break;
    case draw::DrawOp::Invert:
        record.kind = Kind::Invert;
        break;
    default:
        return;
    }
    Recorded.records[Recorded.next] = record;
    Recorded.next = (Recorded.next + 1) % RecordCapacity;
    ++Recorded.total;
}

}  // namespace

void Start() {
    Clear();
    draw::SetDrawObserver(Observe);
}

void Stop() {
    draw::SetDrawObserver(nullptr);
}

void Clear() {
    Recorded.next = 0;
    Recorded.total = 0;
}

int32_t Count() {
    return std::min(Recorded.total, RecordCapacity);
}

const Record& At(int32_t index) {
    static const Record None = {};
    if (index < 0 || index >= Count()) return None;
    int32_t first = Recorded.total > RecordCapacity ? Recorded.next : 0;
    return Recorded.records[(first + index) % RecordCapacity];
}

int32_t Dropped() {
    return std::max(0, Recorded.total - RecordCapacity);
}

}  // namespace plat::record
