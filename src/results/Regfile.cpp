#include "results/Regfile.h"

#include <bit>

namespace reg_file {
namespace {

void storeUnsigned(char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t loadUnsigned(const char* at)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t{static_cast<unsigned char>(at[i])} << (8 * i);
    return value;
}

} // namespace

File::Bytes File::bytes() const
{
    Bytes record{};
    record[flagOffset] = static_cast<char>(flag);
    storeUnsigned(record.data() + timeOffset, time);
    storeReal(record.data(), depthOffset, depth);
    for (std::size_t slot = 0; slot < slotCount; ++slot)
        storeReal(record.data(), valueOffset(slot), values[slot]);
    return record;
}

File File::fromBytes(const char* record)
{
    File file;
    file.flag = static_cast<std::uint8_t>(record[flagOffset]);
    file.time = loadUnsigned(record + timeOffset);
    file.depth = loadReal(record, depthOffset);
    for (std::size_t slot = 0; slot < slotCount; ++slot)
        file.values[slot] = loadReal(record, valueOffset(slot));
    return file;
}

void File::storeReal(char* record, std::size_t offset, float value)
{
    storeUnsigned(record + offset, std::bit_cast<std::uint32_t>(value));
}

float File::loadReal(const char* record, std::size_t offset)
{
    return std::bit_cast<float>(loadUnsigned(record + offset));
}

} // namespace reg_file
