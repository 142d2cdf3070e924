// JPEG decoding with libjpeg(-turbo), straight into the bitmap's B, G, R, X
// rows.

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <vector>

#include <jpeglib.h>
// jerror.h after jpeglib.h: it needs its types.
#include <jerror.h>

#include "platform/graphics/PictureDecode.h"

namespace ls::picture_detail {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: we
// jump back to the decoding function. Damage that loses picture data only
// raises a warning (the missing part would be filled grey), so those warnings
// end the decoding the same way.
struct JpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

// The data in memory, followed by one end-of-image marker of our own: files
// that lack only their end marker (all picture data present) decode without
// complaint. Asking for data after that marker means the file was cut short,
// which is reported as the end of the file.
struct JpegSource {
  jpeg_source_mgr pub;
  bool endServed = false;
};

const JOCTET kEndMarker[2] = {0xFF, JPEG_EOI};

void JpegInitSource(j_decompress_ptr) {}
void JpegTermSource(j_decompress_ptr) {}

boolean JpegFillInputBuffer(j_decompress_ptr cinfo) {
  auto* src = reinterpret_cast<JpegSource*>(cinfo->src);
  if (src->endServed) WARNMS(cinfo, JWRN_JPEG_EOF);
  src->endServed = true;
  src->pub.next_input_byte = kEndMarker;
  src->pub.bytes_in_buffer = sizeof kEndMarker;
  return TRUE;
}

void JpegSkipInputData(j_decompress_ptr cinfo, long count) {
  jpeg_source_mgr* src = cinfo->src;
  if (count <= 0) return;
  while (static_cast<size_t>(count) > src->bytes_in_buffer) {
    count -= static_cast<long>(src->bytes_in_buffer);
    src->fill_input_buffer(cinfo);
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= static_cast<size_t>(count);
}

bool LosesPictureData(int messageCode) {
  switch (messageCode) {
    case JWRN_JPEG_EOF:         // data wanted after the end of the file
    case JWRN_HIT_MARKER:       // an entropy-coded segment ends early
    case JWRN_HUFF_BAD_CODE:    // undecodable entropy-coded data
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:      // a restart marker is missing or out of order
      return true;
    default:
      return false;
  }
}

void JpegEmitMessage(j_common_ptr cinfo, int msgLevel) {
  // Levels above -1 are trace messages, which we never ask for.
  if (msgLevel >= 0) return;
  cinfo->err->num_warnings++;
  if (LosesPictureData(cinfo->err->msg_code)) JpegErrorExit(cinfo);
}

// libjpeg's own working memory (whole-picture coefficient buffers of
// progressive files) is bounded too; there is no backing store, so a picture
// that needs more is an error.
constexpr long kMaxDecoderMemory = 1L << 30;

// Adobe CMYK files store inverted inks (0 = full ink); those without the
// Adobe marker store plain inks.
inline uint8_t InkToChannel(unsigned ink, unsigned black, bool inverted) {
  if (!inverted) {
    ink = 255 - ink;
    black = 255 - black;
  }
  return static_cast<uint8_t>((ink * black + 127) / 255);
}

// Decodes the prepared decompressor into `out`. Called between setjmp and
// longjmp's possible arrival: nothing here may own resources that a jump would
// leak, so `out` and `cmykRow` belong to the caller.
void ReadScanlines(jpeg_decompress_struct& cinfo, Bitmap& out, std::vector<uint8_t>& cmykRow) {
  const int width = static_cast<int>(cinfo.output_width);
  const bool cmyk = cinfo.out_color_space == JCS_CMYK;
  const bool inverted = cinfo.saw_Adobe_marker;
  while (cinfo.output_scanline < cinfo.output_height) {
    const int y = static_cast<int>(cinfo.output_scanline);
    if (cmyk) {
      JSAMPROW row = cmykRow.data();
      if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
      Pixel* dst = out.Row(y);
      for (int x = 0; x < width; ++x) {
        const uint8_t* s = row + 4 * x;
        const Pixel r = InkToChannel(s[0], s[3], inverted);
        const Pixel g = InkToChannel(s[1], s[3], inverted);
        const Pixel b = InkToChannel(s[2], s[3], inverted);
        dst[x] = (r << 16) | (g << 8) | b;
      }
      continue;
    }
    JSAMPROW rows[16];
    const int count = std::min<int>(16, static_cast<int>(cinfo.output_height) - y);
    for (int i = 0; i < count; ++i) rows[i] = reinterpret_cast<JSAMPROW>(out.Row(y + i));
    const int got = static_cast<int>(jpeg_read_scanlines(&cinfo, rows, count));
    if (got <= 0) break;
    // libjpeg writes 0xFF into the X byte; ours is 0.
    for (int i = 0; i < got; ++i) {
      Pixel* p = out.Row(y + i);
      for (int x = 0; x < width; ++x) p[x] &= 0x00FFFFFFu;
    }
  }
}

// Chooses the reduced scale for the fit box and computes the output size.
void ChooseScale(jpeg_decompress_struct& cinfo, const PictureLoadOptions& options) {
  cinfo.scale_num = 1;
  if (options.fitWidth > 0 && options.fitHeight > 0) {
    for (unsigned denom : {8u, 4u, 2u}) {
      cinfo.scale_denom = denom;
      jpeg_calc_output_dimensions(&cinfo);
      if (cinfo.output_width >= static_cast<JDIMENSION>(options.fitWidth) &&
          cinfo.output_height >= static_cast<JDIMENSION>(options.fitHeight)) {
        return;
      }
    }
  }
  cinfo.scale_denom = 1;
  jpeg_calc_output_dimensions(&cinfo);
}

bool TryAllocate(Bitmap& out, std::vector<uint8_t>& cmykRow, const jpeg_decompress_struct& cinfo) {
  try {
    out.Resize(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
    if (cinfo.out_color_space == JCS_CMYK) cmykRow.resize(4u * cinfo.output_width);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// The decompressor and its error manager, kept in the caller's frame: the
// function that calls setjmp must not own objects a jump could leave
// half-updated.
struct JpegDecoder {
  jpeg_decompress_struct cinfo;
  JpegErrorManager err;
  JpegSource source;
};

// Runs one decoding into the caller's buffers.
bool RunJpegDecoder(JpegDecoder& d, std::span<const uint8_t> data,
                    const PictureLoadOptions& options, Bitmap& out,
                    std::vector<uint8_t>& cmykRow) {
  jpeg_decompress_struct& cinfo = d.cinfo;
  cinfo.err = jpeg_std_error(&d.err.pub);
  d.err.pub.error_exit = JpegErrorExit;
  d.err.pub.emit_message = JpegEmitMessage;
  if (setjmp(d.err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_source_mgr& src = d.source.pub;
  src.init_source = JpegInitSource;
  src.fill_input_buffer = JpegFillInputBuffer;
  src.skip_input_data = JpegSkipInputData;
  src.resync_to_restart = jpeg_resync_to_restart;
  src.term_source = JpegTermSource;
  src.next_input_byte = data.data();
  src.bytes_in_buffer = data.size();
  cinfo.src = &src;
  jpeg_read_header(&cinfo, TRUE);

  switch (cinfo.jpeg_color_space) {
    case JCS_CMYK:
    case JCS_YCCK:
      cinfo.out_color_space = JCS_CMYK;
      break;
    default:
      cinfo.out_color_space = JCS_EXT_BGRX;
      break;
  }
  ChooseScale(cinfo, options);
  // Refused from the header alone, before any pixel memory exists.
  const int64_t pixels = static_cast<int64_t>(cinfo.output_width) * cinfo.output_height;
  if (pixels == 0 || pixels > kMaxPicturePixels) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  if (!TryAllocate(out, cmykRow, cinfo)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }

  jpeg_start_decompress(&cinfo);
  ReadScanlines(cinfo, out, cmykRow);
  const bool complete = cinfo.output_scanline == cinfo.output_height;
  if (complete) jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return complete;
}

}  // namespace

std::optional<Bitmap> DecodeJpeg(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  Bitmap out;
  std::vector<uint8_t> cmykRow;
  JpegDecoder decoder;
  if (!RunJpegDecoder(decoder, data, options, out, cmykRow)) return std::nullopt;
  return out;
}

}  // namespace ls::picture_detail
