// Windows-1253 and UTF-8 on arbitrary bytes.
//
// Properties:
// - Windows-1253 bytes become valid UTF-8 and go back to the same bytes,
//   the eight undefined byte values included, so no file loses a byte;
// - where the C library's iconv knows every byte (an independent table of
//   the code page), it gives the same UTF-8;
// - a file's bytes (after a byte-order mark, which is dropped) are taken as
//   UTF-8 exactly when they are valid UTF-8, and the text written for a file reads back
//   to the same text in the encoding chosen for it.

#include "fuzz_check.h"
#include "text/text_codec.h"

#include <cstdint>
#include <iconv.h>
#include <string>

using namespace hattsheet::text;
using hattsheet::fuzz::require;

namespace {

// The UTF-8 of Windows-1253 bytes by iconv; empty optional when iconv does
// not define one of them.
std::optional<std::string> iconvFrom1253(std::string_view bytes)
{
    static iconv_t cd = iconv_open("UTF-8", "CP1253");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(bytes.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* o = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string utf8 = windows1253ToUtf8(bytes);
    require(isValidUtf8(utf8), "Windows-1253 becomes valid UTF-8", bytes);
    const auto back = utf8ToWindows1253(utf8);
    require(back && *back == bytes, "Windows-1253 goes back byte for byte", bytes);
    if (const auto oracle = iconvFrom1253(bytes)) {
        require(*oracle == utf8, "the same UTF-8 as iconv's CP1253", bytes);
    }

    const DecodedText decoded = decodeFileBytes(bytes);
    require(isValidUtf8(decoded.utf8), "a decoded file is valid UTF-8", bytes);
    // A byte-order mark is dropped whatever follows it.
    const std::string_view bom = "\xEF\xBB\xBF";
    const std::string_view body = bytes.substr(0, 3) == bom ? bytes.substr(3) : bytes;
    if (isValidUtf8(body)) {
        require(decoded.encoding == Encoding::Utf8 && decoded.utf8 == body, "valid UTF-8 is taken as it stands",
                bytes);
    } else {
        require(decoded.encoding == Encoding::Windows1253 && decoded.utf8 == windows1253ToUtf8(body),
                "anything else is read as Windows-1253", bytes);
    }

    const EncodedText encoded = encodeForFile(decoded.utf8);
    require(decodeAs(encoded.bytes, encoded.encoding) == decoded.utf8, "a written text reads back", bytes);
    return 0;
}
