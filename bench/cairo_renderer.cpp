#include "bench/cairo_renderer.h"

#ifdef RASTER_BENCH_HAVE_CAIRO

#include <cairo.h>

#include <vector>

namespace bench {

using namespace swf::raster;

struct CairoRenderer::State {
    const Scene* scene = nullptr;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    std::vector<cairo_path_t*> paths;
    std::vector<cairo_pattern_t*> sources;
};

namespace {

// Builds the path once with Cairo's path API, quadratics raised to cubics.
cairo_path_t* ToCairoPath(cairo_t* cr, const Path& path) {
    cairo_new_path(cr);
    const auto& points = path.points();
    std::size_t next = 0;
    Point current{}, start{};
    for (PathVerb verb : path.verbs()) {
        switch (verb) {
        case PathVerb::MoveTo:
            current = start = points[next++];
            cairo_move_to(cr, current.x, current.y);
            break;
        case PathVerb::LineTo:
            current = points[next++];
            cairo_line_to(cr, current.x, current.y);
            break;
        case PathVerb::QuadTo: {
            Point c = points[next], e = points[next + 1];
            next += 2;
            cairo_curve_to(cr, current.x + 2.0 / 3 * (c.x - current.x), current.y + 2.0 / 3 * (c.y - current.y),
                           e.x + 2.0 / 3 * (c.x - e.x), e.y + 2.0 / 3 * (c.y - e.y), e.x, e.y);
            current = e;
            break;
        }
        case PathVerb::Close:
            cairo_close_path(cr);
            current = start;
            break;
        }
    }
    cairo_path_t* copy = cairo_copy_path(cr);
    cairo_new_path(cr);
    return copy;
}

cairo_pattern_t* ToCairoSource(const SceneShape& shape) {
    if (!shape.gradient) {
        return cairo_pattern_create_rgba(shape.color.r / 255.0, shape.color.g / 255.0, shape.color.b / 255.0,
                                         shape.color.a / 255.0);
    }
    const Gradient& g = shape.gradientStyle;
    cairo_pattern_t* p = g.shape == GradientShape::Linear ? cairo_pattern_create_linear(-16384, 0, 16384, 0)
                                                          : cairo_pattern_create_radial(0, 0, 0, 0, 0, 16384);
    for (const GradientStop& s : g.stops) {
        cairo_pattern_add_color_stop_rgba(p, s.ratio / 255.0, s.color.r / 255.0, s.color.g / 255.0, s.color.b / 255.0,
                                          s.color.a / 255.0);
    }
    cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
    // Cairo's pattern matrix maps user space to pattern space: the inverse.
    cairo_matrix_t m;
    cairo_matrix_init(&m, g.matrix.a, g.matrix.b, g.matrix.c, g.matrix.d, g.matrix.tx, g.matrix.ty);
    cairo_matrix_invert(&m);
    cairo_pattern_set_matrix(p, &m);
    return p;
}

}  // namespace

bool CairoRenderer::available() { return true; }

CairoRenderer::CairoRenderer(const Scene& scene) : state_(std::make_unique<State>()) {
    state_->scene = &scene;
    state_->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, scene.width, scene.height);
    state_->cr = cairo_create(state_->surface);
    for (const SceneShape& shape : scene.shapes) {
        state_->paths.push_back(ToCairoPath(state_->cr, shape.path));
        state_->sources.push_back(ToCairoSource(shape));
    }
}

CairoRenderer::~CairoRenderer() {
    for (cairo_path_t* p : state_->paths) cairo_path_destroy(p);
    for (cairo_pattern_t* p : state_->sources) cairo_pattern_destroy(p);
    cairo_destroy(state_->cr);
    cairo_surface_destroy(state_->surface);
}

void CairoRenderer::render() {
    cairo_t* cr = state_->cr;
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    const Scene& scene = *state_->scene;
    for (std::size_t i = 0; i < scene.shapes.size(); ++i) {
        const SceneShape& shape = scene.shapes[i];
        cairo_new_path(cr);
        cairo_append_path(cr, state_->paths[i]);
        cairo_set_source(cr, state_->sources[i]);
        if (shape.stroked) {
            cairo_set_line_width(cr, std::max(shape.stroke.width, 1.0));
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_stroke(cr);
        } else {
            cairo_set_fill_rule(cr,
                                shape.rule == FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
            cairo_fill(cr);
        }
    }
    cairo_surface_flush(state_->surface);
}

void CairoRenderer::WritePng(const std::string& file) const {
    cairo_surface_write_to_png(state_->surface, file.c_str());
}

void CairoRenderer::WriteSurfacePng(const Surface& surface, const std::string& file) {
    cairo_surface_t* image = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(surface.row(0))), CAIRO_FORMAT_ARGB32,
        surface.width(), surface.height(), static_cast<int>(surface.strideBytes()));
    cairo_surface_write_to_png(image, file.c_str());
    cairo_surface_destroy(image);
}

}  // namespace bench

#else

namespace bench {

struct CairoRenderer::State {};
bool CairoRenderer::available() { return false; }
CairoRenderer::CairoRenderer(const Scene&) {}
CairoRenderer::~CairoRenderer() = default;
void CairoRenderer::render() {}
void CairoRenderer::WritePng(const std::string&) const {}
void CairoRenderer::WriteSurfacePng(const swf::raster::Surface&, const std::string&) {}

}  // namespace bench

#endif
