#include "plot/JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>
// after jpeglib.h, which it needs
#include <jerror.h>

namespace vemo {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr, int) {} // warnings are not the user's business

// Destination that appends the compressed bytes to a vector, one chunk at a time.
constexpr std::size_t ChunkSize = 64 * 1024;

struct VectorDestination {
    jpeg_destination_mgr pub;
    std::vector<std::uint8_t>* out;
    JOCTET chunk[ChunkSize];
};

// Appends n bytes of the chunk; false when memory ran out.
bool Flush(VectorDestination* dest, std::size_t n) {
    try {
        dest->out->insert(dest->out->end(), dest->chunk, dest->chunk + n);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void InitDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->chunk;
    dest->pub.free_in_buffer = ChunkSize;
}

boolean EmptyBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
    if (!Flush(dest, ChunkSize)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    dest->pub.next_output_byte = dest->chunk;
    dest->pub.free_in_buffer = ChunkSize;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
    if (!Flush(dest, ChunkSize - dest->pub.free_in_buffer)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
}

} // namespace

bool CompressJpeg(const std::uint8_t* rgb, int width, int height, std::ptrdiff_t stride,
                  int quality, std::vector<std::uint8_t>& out, std::string& message) {
    // Nothing with a destructor may live in this frame between setjmp and the last library
    // call: the error handler jumps straight back here.
    jpeg_compress_struct cinfo;
    ErrorManager err;
    auto* dest = new (std::nothrow) VectorDestination;
    if (!dest) {
        message = "Out of memory";
        return false;
    }
    out.clear();
    dest->out = &out;
    dest->pub.init_destination = InitDestination;
    dest->pub.empty_output_buffer = EmptyBuffer;
    dest->pub.term_destination = TermDestination;

    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.emit_message = OnMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        delete dest;
        message = err.message;
        out.clear();
        return false;
    }
    jpeg_create_compress(&cinfo);
    cinfo.dest = &dest->pub;
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + std::ptrdiff_t(cinfo.next_scanline) * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    delete dest;
    return true;
}

} // namespace vemo
