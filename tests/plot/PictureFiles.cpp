#include "PictureFiles.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <gif_lib.h>
#include <jpeglib.h>

namespace {

struct JpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void JpegFail(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Kept free of objects with destructors: libjpeg's errors jump back into this frame.
bool DecodeJpegBytes(const unsigned char* data, unsigned long size, DecodedJpeg* out) {
    jpeg_decompress_struct cinfo;
    JpegErrors err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JpegFail;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    out->width = int(cinfo.image_width);
    out->height = int(cinfo.image_height);
    out->components = cinfo.num_components;
    out->progressive = cinfo.progressive_mode;
    if (cinfo.quant_tbl_ptrs[0]) out->lumaQ0 = cinfo.quant_tbl_ptrs[0]->quantval[0];
    if (cinfo.quant_tbl_ptrs[1]) out->chromaQ0 = cinfo.quant_tbl_ptrs[1]->quantval[0];
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out->rgb.resize(std::size_t(out->width) * out->height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out->rgb.data() + std::size_t(cinfo.output_scanline) * out->width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

DecodedJpeg DecodeJpegFile(const QString& path) {
    const QByteArray bytes = ReadAll(path);
    DecodedJpeg d;
    if (!bytes.isEmpty())
        d.ok = DecodeJpegBytes(reinterpret_cast<const unsigned char*>(bytes.constData()),
                               static_cast<unsigned long>(bytes.size()), &d);
    return d;
}

DecodedGif DecodeGifFile(const QString& path) {
    DecodedGif d;
    const QByteArray bytes = ReadAll(path);
    if (bytes.isEmpty()) return d;
    d.lastByte = std::uint8_t(bytes.back());
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (!gif) return d;
    if (DGifSlurp(gif) == GIF_OK && gif->SColorMap && gif->ImageCount >= 1) {
        d.width = gif->SWidth;
        d.height = gif->SHeight;
        d.imageCount = gif->ImageCount;
        d.tableEntries = gif->SColorMap->ColorCount;
        for (int i = 0; i < d.tableEntries; ++i) {
            const GifColorType& c = gif->SColorMap->Colors[i];
            d.table.push_back({c.Red, c.Green, c.Blue});
        }
        const SavedImage& img = gif->SavedImages[0];
        const std::size_t n = std::size_t(img.ImageDesc.Width) * img.ImageDesc.Height;
        d.indices.assign(img.RasterBits, img.RasterBits + n);
        d.ok = img.ImageDesc.Width == d.width && img.ImageDesc.Height == d.height;
        for (std::uint8_t i : d.indices)
            if (i >= d.tableEntries) d.ok = false;
    }
    DGifCloseFile(gif, &error);
    return d;
}

std::string FileHead(const QString& path, int n) {
    return ReadAll(path).left(n).toStdString();
}
