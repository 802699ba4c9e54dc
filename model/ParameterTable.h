#pragma once

#include "device/QuorrelProtocol.h"
#include "model/ValueCodecs.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The device keeps its configuration in one 64-byte flash block right after
// script memory. The program describes every parameter in that block with a
// compiled-in table; the settings panel and the command-line tool are driven
// entirely by it. The program holds no default values: the device restores
// its own when told to.

inline constexpr uint32_t ParameterBlockBase = 0x3FC0;
inline constexpr int ParameterBlockSize = 64; // also the device's erase unit
inline constexpr int ParameterChunkSize = 16; // bytes moved by one memory read or write

static_assert(ParameterBlockSize == MemoryEraseSize, "the block is erased as one unit");
static_assert(ParameterChunkSize == MemoryChunkSize, "the block moves in memory chunks");
static_assert(ParameterBlockBase % ParameterBlockSize == 0, "erases start at a block boundary");

// One slot per byte of the block, although only the first 44 are used.
inline constexpr int ParameterSlotCount = 64;

using ParameterBlock = std::array<uint8_t, ParameterBlockSize>;

// One row of the table. The slot number, not the name, is a parameter's
// identity: list entries carry it and "Voltage n" is found as slot n.
//
// An empty slot is ParameterDef{}: size 0, every number zero, and every text
// "" (never null), so callers may show any slot's texts without checking.
struct ParameterDef
{
    int32_t offset = 0;             // first byte in the block, 0..63
    int32_t size = 0;               // 1 or 2 bytes (two-byte values are big-endian); 0 for an empty slot
    const char* name = "";          // shown in the settings list
    bool listed = false;            // false: kept and written back, but never offered for editing
    ValueType type = ValueType{0};  // 0 only in empty slots
    double factor = 0;              // 0 where the type does not use it
    const char* description = "";
    const char* unit = "";

    bool IsEmpty() const { return size == 0; }
};

extern const std::array<ParameterDef, ParameterSlotCount> ParameterTable;

// The row in slot; a slot outside 0..63 gives an empty row rather than
// undefined behaviour, since slot numbers come back from list item data.
const ParameterDef& ParameterAt(int slot);

// The non-empty slots, in slot order.
std::vector<int> ParameterSlots();

// The slots offered for editing, in slot order: the order of the settings list.
std::vector<int> ListedParameterSlots();

// The slot whose name is exactly name (case and spaces count); empty slots
// never match, not even "".
std::optional<int> FindParameterSlot(std::string_view name);

// The text of the parameter in slot as held in block; "" for an empty slot.
std::string FormatParameter(std::span<const uint8_t, ParameterBlockSize> block, int slot);

// Stores the typed text as the parameter's bytes in block (high byte at the
// offset and low byte after it for size 2; the low byte alone for size 1).
// Only the parameter's own bytes change, so the unused bytes and the
// parameters not offered for editing go back to the device as they were read.
// False, with block untouched, when the text is refused or the slot is empty.
bool StoreParameter(std::span<uint8_t, ParameterBlockSize> block, int slot, std::string_view text);
