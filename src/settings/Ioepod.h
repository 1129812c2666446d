#pragma once

#include "settings/Ioebase.h"

#include <cstddef>

namespace lib::opt_detailed {

// A block of bytes written as upper-case hexadecimal pairs, byte 0 first (a 32-bit 1 is
// "01000000"). Read only when the text holds exactly the block's pairs (an odd extra
// character is tolerated); a pair that is no number reads as 0.
class ioe_pod : public ioe_base {
public:
    ioe_pod(void* block, std::size_t size, std::string section, std::string key);

    void save(IniFile& ini) const override;
    void load(IniFile& ini) override;

private:
    std::byte* block_;
    std::size_t size_;
};

} // namespace lib::opt_detailed
