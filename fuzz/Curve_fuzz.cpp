#include "library/Bytereader.h"
#include "library/Bytewriter.h"
#include "chromatogram/Graphics.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Any bytes as a stored curve; what was read completely must be written back the same way.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ByteReader in(bytes);
    MyGraphics curve;
    if (!curve.readFrom(in))
        return 0;
    const std::size_t consumed = size - in.remaining();

    ByteWriter out;
    curve.writeTo(out);
    MyGraphics again;
    ByteReader back(out.bytes());
    if (!again.readFrom(back) || back.remaining() != 0 || out.bytes().size() > consumed)
        std::abort();
    // Compared as bytes: a NaN sample is never equal to itself.
    ByteWriter outAgain;
    again.writeTo(outAgain);
    if (outAgain.bytes() != out.bytes())
        std::abort();
    return 0;
}
