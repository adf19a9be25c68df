#pragma once
// The binary resources of src/res compiled into the program (generated sources, see
// text/resources.cmake).

#include <cstddef>

#include "store/bytes.h"

extern const unsigned char tarvo_res_jiscode[];
extern const std::size_t tarvo_res_jiscode_size;
extern const unsigned char tarvo_res_sjis_unicode[];
extern const std::size_t tarvo_res_sjis_unicode_size;
extern const unsigned char tarvo_res_glyphs[];
extern const std::size_t tarvo_res_glyphs_size;

namespace tarvo::embedded {

inline ByteSpan jiscode() { return {tarvo_res_jiscode, tarvo_res_jiscode_size}; }
// The character (u16 big-endian, 0 = unassigned) of every two-byte code, 189 trail bytes
// (0x40 to 0xFC) per lead byte, lead bytes 0x81 to 0x9F and 0xE0 to 0xFC.
inline ByteSpan sjisUnicode() { return {tarvo_res_sjis_unicode, tarvo_res_sjis_unicode_size}; }
inline ByteSpan glyphs() { return {tarvo_res_glyphs, tarvo_res_glyphs_size}; }

}  // namespace tarvo::embedded
