// The whole-file checks for plain ASCII and valid UTF-8 find a single
// non-ASCII byte wherever it sits in a long run of plain text.
#include <gtest/gtest.h>

#include <string>

#include "host/db/dxffile_decode.h"

TEST(DxfTextScan, one_byte_anywhere_in_a_long_ascii_run_is_found) {
    const std::string plain(131, 'a');
    EXPECT_TRUE(host::dxf::isAscii(plain));
    EXPECT_TRUE(host::dxf::isUtf8(plain));
    for (std::size_t at = 0; at + 2 <= plain.size(); ++at) {
        std::string valid = plain, cut = plain, overlong = plain;
        valid.replace(at, 2, "\xC5\x82");     // ł
        cut.replace(at, 2, "a\xC5");          // a lead byte and no continuation
        overlong.replace(at, 2, "\xC0\x80");  // NUL in two bytes
        EXPECT_FALSE(host::dxf::isAscii(valid)) << at;
        EXPECT_TRUE(host::dxf::isUtf8(valid)) << at;
        EXPECT_FALSE(host::dxf::isUtf8(overlong)) << at;
        EXPECT_FALSE(host::dxf::isUtf8(cut)) << at;
    }
}
