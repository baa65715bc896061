#include "bench/cairo_bitmap_renderer.h"

#ifdef RASTER_BENCH_HAVE_CAIRO

#include <cairo.h>

#include <cstring>

namespace bench {

using namespace swf::raster;

struct CairoBitmapRenderer::State {
    const BitmapScene* scene = nullptr;
    cairo_surface_t* picture = nullptr;
    cairo_pattern_t* pattern = nullptr;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
};

CairoBitmapRenderer::CairoBitmapRenderer(const BitmapScene& scene, CairoFilter filter)
    : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.scene = &scene;
    const Image& image = *scene.picture;
    // The bench picture is opaque: RGB24 tells Cairo so, as our paint knows it.
    s.picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
    cairo_surface_flush(s.picture);
    unsigned char* data = cairo_image_surface_get_data(s.picture);
    const int stride = cairo_image_surface_get_stride(s.picture);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride,
                    &image.pixels[static_cast<std::size_t>(y) * image.width],
                    static_cast<std::size_t>(image.width) * 4);
    }
    cairo_surface_mark_dirty(s.picture);

    s.pattern = cairo_pattern_create_for_surface(s.picture);
    cairo_pattern_set_extend(s.pattern, scene.repeat ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(s.pattern, filter == CairoFilter::Good ? CAIRO_FILTER_GOOD : CAIRO_FILTER_BILINEAR);
    // Cairo's pattern matrix maps user space to pattern space: the inverse.
    cairo_matrix_t m;
    cairo_matrix_init(&m, scene.matrix.a, scene.matrix.b, scene.matrix.c, scene.matrix.d, scene.matrix.tx,
                      scene.matrix.ty);
    cairo_matrix_invert(&m);
    cairo_pattern_set_matrix(s.pattern, &m);

    s.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, scene.width, scene.height);
    s.cr = cairo_create(s.surface);
}

CairoBitmapRenderer::~CairoBitmapRenderer() {
    cairo_destroy(state_->cr);
    cairo_surface_destroy(state_->surface);
    cairo_pattern_destroy(state_->pattern);
    cairo_surface_destroy(state_->picture);
}

void CairoBitmapRenderer::render() {
    cairo_t* cr = state_->cr;
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, 0, state_->scene->width, state_->scene->height);
    cairo_set_source(cr, state_->pattern);
    cairo_fill(cr);
    cairo_surface_flush(state_->surface);
}

void CairoBitmapRenderer::WritePng(const std::string& file) const {
    cairo_surface_write_to_png(state_->surface, file.c_str());
}

}  // namespace bench

#else

namespace bench {

struct CairoBitmapRenderer::State {};
CairoBitmapRenderer::CairoBitmapRenderer(const BitmapScene&, CairoFilter) {}
CairoBitmapRenderer::~CairoBitmapRenderer() = default;
void CairoBitmapRenderer::render() {}
void CairoBitmapRenderer::WritePng(const std::string&) const {}

}  // namespace bench

#endif
