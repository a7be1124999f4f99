// Story variables and snapshots over the book's StoryVariableTable, SnapshotSlot and
// SnapshotStates. A variable's two state bytes are either held/index or a little-endian
// 16-bit number; every reader and writer of values comes through here.
#include "book/variables.h"

#include <cstring>

#include "book/tables.h"

namespace book {
namespace {

// The variable, or null for a number outside the table.
StoryVariable* Find(int v) {
    return v >= 0 && v < VariableCount ? &StoryVariableTable[v] : nullptr;
}

bool ValidSlot(int slot) { return slot >= 0 && slot < SlotCount; }

// The list position of a variable of the given kind when it has a list and its index lies
// inside it; -1 otherwise.
int ListIndex(const StoryVariable* variable, int8_t kind) {
    if (variable == nullptr || variable->kind != kind || variable->values == nullptr) return -1;
    int index = variable->state[1];
    return index < variable->upperBound ? index : -1;
}

}  // namespace

int KindOf(int v) {
    const StoryVariable* variable = Find(v);
    return variable == nullptr ? -1 : variable->kind;
}

int32_t VariableValue(int v) {
    const StoryVariable* variable = Find(v);
    if (variable == nullptr) return 0;
    if (variable->kind == NumberValue)
        return static_cast<int16_t>(variable->state[0] | variable->state[1] << 8);
    return variable->state[1];
}

void SetVariableValue(int v, int32_t x) {
    StoryVariable* variable = Find(v);
    if (variable == nullptr) return;
    if (variable->kind == NumberValue) {
        variable->state[0] = static_cast<uint8_t>(x);
        variable->state[1] = static_cast<uint8_t>(x >> 8);
    } else {
        variable->state[1] = static_cast<uint8_t>(x);
    }
}

int32_t ClampValue(int v, int32_t x) {
    const StoryVariable* variable = Find(v);
    if (variable == nullptr) return 0;
    if (x > variable->upperBound - 1) x = variable->upperBound - 1;
    if (x < variable->lowerBound) x = variable->lowerBound;
    return x;
}

int8_t HeldByte(int v) {
    const StoryVariable* variable = Find(v);
    return variable == nullptr ? 0 : static_cast<int8_t>(variable->state[0]);
}

void SetHeld(int v, int8_t held) {
    if (StoryVariable* variable = Find(v)) variable->state[0] = static_cast<uint8_t>(held);
}

const char* CurrentText(int v) {
    const StoryVariable* variable = Find(v);
    int index = ListIndex(variable, TextChoice);
    return index < 0 ? nullptr : static_cast<const char* const*>(variable->values)[index];
}

int CurrentPicture(int v) {
    const StoryVariable* variable = Find(v);
    int index = ListIndex(variable, PictureChoice);
    return index < 0 ? -1 : static_cast<const int16_t*>(variable->values)[index];
}

void SaveSnapshot(int slot, int16_t paragraph) {
    if (!ValidSlot(slot)) return;
    SnapshotSlot[slot].saved = 1;
    SnapshotSlot[slot].paragraph = static_cast<int16_t>(paragraph - 1);
    for (int i = 0; i < VariableCount; ++i)
        std::memcpy(&SnapshotStates[slot][2 * i], StoryVariableTable[i].state, 2);
}

void RestoreSnapshot(int slot) {
    if (!ValidSlot(slot)) return;
    for (int i = 0; i < VariableCount; ++i)
        std::memcpy(StoryVariableTable[i].state, &SnapshotStates[slot][2 * i], 2);
}

bool SlotSaved(int slot) { return ValidSlot(slot) && SnapshotSlot[slot].saved != 0; }

int16_t SlotParagraph(int slot) { return ValidSlot(slot) ? SnapshotSlot[slot].paragraph : -1; }

void ResetStoryVariables() {
    for (StoryVariable& variable : StoryVariableTable) variable.state[0] = variable.state[1] = 0;
}

void ClearSnapshotFlags() {
    for (SnapshotSlotRecord& slot : SnapshotSlot) slot.saved = 0;
}

}  // namespace book
