#pragma once
// view_write_png(): writes a cairo image surface as a PNG stream that reads
// back as the very pixels cairo's own writer
// (cairo_surface_write_to_png_stream) gives: an opaque image as 8-bit RGB
// (8-bit grey when every pixel is grey, as an export in the light palette
// is: the same pixels in a third of the bytes), any other as 8-bit RGBA with
// the colours divided by alpha as cairo divides them. It is built for the large
// images an export makes (tens of millions of pixels): every row is filtered
// against the row above (most become zeros), and the rows are compressed in
// bands on several threads at once, each band a piece of one zlib stream.
//
// Only ARGB32 and RGB24 surfaces are written this way; any other format
// goes to cairo's writer.

#include <cairo.h>

namespace velkaro {

// Writes surface (flushed by the caller) through write; the status of the
// first failure, or CAIRO_STATUS_SUCCESS.
cairo_status_t view_write_png(cairo_surface_t* surface, cairo_write_func_t write, void* closure);

} // namespace velkaro
