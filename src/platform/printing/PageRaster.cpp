#include "platform/printing/PageRaster.h"

#include <cairo.h>
#include <cups/raster.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace platform {

ImageRef PageRaster::draw(const Image& print, const PageLayout& layout) {
    if (layout.pageWidth <= 0 || layout.pageHeight <= 0 || layout.pageWidth > Image::kMaxSide ||
        layout.pageHeight > Image::kMaxSide || print.pixelWidth() <= 0)
        return nullptr;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, layout.pageWidth, layout.pageHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    const double half = layout.printSide / 2;
    cairo_translate(cr, layout.printX + half, layout.printY + half);
    if (layout.turned)
        cairo_rotate(cr, std::numbers::pi / 2);
    cairo_scale(cr, layout.printSide / print.pixelWidth(), layout.printSide / print.pixelHeight());
    cairo_translate(cr, -print.pixelWidth() / 2.0, -print.pixelHeight() / 2.0);
    cairo_set_source_surface(cr, print.surface(), 0, 0);
    // A shrink of more than half needs more than bilinear's four pixels to stay smooth.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_rectangle(cr, 0, 0, print.pixelWidth(), print.pixelHeight());
    cairo_fill(cr);
    cairo_destroy(cr);
    return Image::fromSurface(surface);
}

namespace {

ssize_t append(void* context, unsigned char* bytes, size_t length) {
    static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(bytes), length);
    return static_cast<ssize_t>(length);
}

} // namespace

std::string PageRaster::pwgRaster(const Image& page, const std::string& mediaName,
                                  const std::string& type, int dotsPerInch) {
    cups_page_header2_t header{};
    pwg_media_t* media = pwgMediaForPWG(mediaName.c_str());
    if (!media || !cupsRasterInitPWGHeader(&header, media, type.c_str(), dotsPerInch, dotsPerInch,
                                           "one-sided", nullptr))
        return {};
    if (static_cast<int>(header.cupsWidth) != page.pixelWidth() ||
        static_cast<int>(header.cupsHeight) != page.pixelHeight())
        return {};
    std::string document;
    cups_raster_t* raster = cupsRasterOpenIO(append, &document, CUPS_RASTER_WRITE_PWG);
    if (!raster)
        return {};
    const bool grey = type == "sgray_8";
    std::vector<unsigned char> row(header.cupsBytesPerLine);
    bool written = cupsRasterWriteHeader2(raster, &header) != 0;
    for (int y = 0; written && y < page.pixelHeight(); ++y) {
        const auto* pixels =
            reinterpret_cast<const std::uint32_t*>(page.data() + y * page.stride());
        for (int x = 0; x < page.pixelWidth(); ++x) {
            // The sheet is opaque, so its premultiplied pixels are the colours themselves.
            const std::uint32_t p = pixels[x];
            const unsigned char r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
            if (grey) {
                row[x] = static_cast<unsigned char>((r * 2126 + g * 7152 + b * 722 + 5000) / 10000);
            } else {
                row[3 * x] = r;
                row[3 * x + 1] = g;
                row[3 * x + 2] = b;
            }
        }
        written = cupsRasterWritePixels(raster, row.data(), header.cupsBytesPerLine) ==
                  header.cupsBytesPerLine;
    }
    cupsRasterClose(raster);
    return written ? document : std::string();
}

} // namespace platform
