// Test helpers: state-file records built and read byte by byte, as the file lays them out.
#pragma once

#include <cstdint>
#include <vector>

#include "book/state_file.h"

namespace startup_test {

inline constexpr int CoinsVariable = 5;  // a NumberValue variable of the startup_basic book

inline std::vector<uint8_t> Record(int16_t paragraph, int32_t version, uint8_t soundOn) {
    std::vector<uint8_t> r(book::ReadingStateSize, 0);
    r[0] = static_cast<uint8_t>(paragraph & 0xFF);
    r[1] = static_cast<uint8_t>((paragraph >> 8) & 0xFF);
    r[book::SoundOnOffset] = soundOn;
    for (int i = 0; i < 4; ++i) r[book::VersionOffset + i] = static_cast<uint8_t>(static_cast<uint32_t>(version) >> (8 * i));
    return r;
}

inline int SlotOffset(int variable) { return book::VariableStatesOffset + variable * book::VariableSlotSize; }

// The two state bytes of a variable's slot.
inline uint8_t* StateBytes(std::vector<uint8_t>& r, int variable) {
    return r.data() + SlotOffset(variable) + book::VariableStateInSlot;
}

inline int32_t Paragraph(const std::vector<uint8_t>& r) { return static_cast<int16_t>(r[0] | r[1] << 8); }

inline int32_t Version(const std::vector<uint8_t>& r) {
    return static_cast<int32_t>(r[28] | r[29] << 8 | r[30] << 16 | static_cast<uint32_t>(r[31]) << 24);
}

}  // namespace startup_test
