#include "app/drawing_writer.h"

#include <array>
#include <optional>

#include "app/dxf/annotation.h"
#include "app/dxf/entities.h"
#include "app/dxf/header.h"
#include "app/dxf/sections.h"
#include "app/dxf/tables.h"
#include "app/progress.h"

namespace app {
namespace {

using dxf::RecordWriter;

template <class Real>
io::ItemValue coordinate(double v) {
    return io::ItemValue::of(static_cast<Real>(v));
}

bool shows(const RunPlan& plan, const dxf::LabelKind& kind) { return (plan.label_fields & kind.field) != 0; }

// The layers of the kinds of label a drawing writes; a block carries all three.
std::size_t label_layers(const RunPlan& plan, std::array<std::string_view, 3>& out) {
    std::size_t n = 0;
    for (const dxf::LabelKind& kind : dxf::kLabelKinds)
        if (plan.blocks || shows(plan, kind)) out[n++] = kind.layer;
    return n;
}

// The block every point inserts: its marker at the origin, and one
// attribute definition per kind of label at the label's place.
void write_blocks(RecordWriter& out, const RunPlan& plan) {
    using namespace dxf;
    out.all(section("BLOCKS"));
    if (plan.blocks) {
        std::array<char, 24> handle;
        std::array<char, io::kFixedDecimalsRoom> height, x, y;
        std::uint64_t next = 1;
        const double h = plan.text_height;
        out(code(0))(text("BLOCK"))(code(5))(text(tagged_handle("C", next++, handle)))(code(8))(text("0"));
        out(code(2))(text(kPointBlock))(code(70))(integer(2));
        out(code(10))(text("0.0"))(code(20))(text("0.0"))(code(30))(text("0.0"))(code(3))(text(kPointBlock));
        out(code(0))(text("POINT"))(code(5))(text(tagged_handle("C", next++, handle)))(code(8))(text("0"));
        out(code(10))(text("0.0"))(code(20))(text("0.0"))(code(30))(text("0.0"));
        for (const LabelKind& kind : kLabelKinds) {
            out(code(0))(text("ATTDEF"))(code(5))(text(tagged_handle("C", next++, handle)))(code(8))(text(kind.layer));
            out(code(10))(text(size_text(kind.dx * h, x)))(code(20))(text(size_text(kind.dy * h, y)));
            out(code(30))(text("0.0"))(code(40))(text(size_text(h, height)))(code(1))(text(""));
            out(code(3))(text(kind.prompt))(code(2))(text(kind.tag))(code(70))(integer(0));
        }
        out(code(0))(text("ENDBLK"))(code(5))(text(tagged_handle("C", next++, handle)))(code(8))(text("0"));
    }
    out.all(end_section);
}

// Points alone, without layers or labels: only the handle and the three
// values change from one point to the next, as in the classic file.
template <class Real>
void write_plain_points(RecordWriter& out, const dxf::PointPlan& point, const PointStore& store) {
    std::int32_t position = 0;
    std::array<io::ItemValue, 5> room;
    for (const PointRun& run : store.runs()) {
        const auto* xs = static_cast<const Real*>(run.x);
        const auto* ys = static_cast<const Real*>(run.y);
        const auto* zs = static_cast<const Real*>(run.z);
        for (std::size_t k = 0; k < run.count; ++k) {
            ++position;
            out.plan(point.plan(),
                     point.values(room, position, {}, io::ItemValue::of(xs[k]), io::ItemValue::of(ys[k]), io::ItemValue::of(zs[k])));
            if (out.number() != 0) return;
        }
    }
}

// Points with their layers, labels or blocks.
template <class Real>
class AnnotatedPoints {
public:
    AnnotatedPoints(const RunPlan& plan, const PointStore& store) : plan_(plan), store_(store), texts_(store) {
        for (std::size_t k = 0; k < dxf::kLabelKinds.size(); ++k) {
            const dxf::LabelKind& kind = dxf::kLabelKinds[k];
            const io::FieldSpec value = kind.field == kLabelElevation ? plan.elevation : io::field::A;
            if (shows(plan, kind) && !plan.blocks) labels_[k].emplace(kind.layer, plan.coordinate, plan.text_height, value);
            if (plan.blocks) attributes_[k].emplace(kind.tag, kind.layer, plan.coordinate, plan.text_height, value);
        }
        if (plan.blocks) insert_.emplace(dxf::kPointBlock, plan.coordinate);
    }

    void write(RecordWriter& out) {
        const dxf::PointPlan point{plan_.layers, plan_.coordinate};
        const LayerTable& layers = store_.layers();
        std::array<io::ItemValue, 5> room;
        std::int32_t position = 0;
        for (const PointRun& run : store_.runs()) {
            const auto* xs = static_cast<const Real*>(run.x);
            const auto* ys = static_cast<const Real*>(run.y);
            const auto* zs = static_cast<const Real*>(run.z);
            for (std::size_t k = 0; k < run.count; ++k) {
                ++position;
                std::string_view name, description;
                std::uint32_t layer_index = 0;
                texts_.next(name, layer_index, description);
                // A point without a name column is named by its position.
                if (!store_.keeps_names()) name = dxf::tagged_handle("", static_cast<std::uint64_t>(position), name_room_);
                const Point p{position, layers.name(layer_index), xs[k], ys[k], zs[k], name, description};
                if (plan_.blocks) write_insert(out, p);
                else write_point(out, point, room, p);
                if (out.number() != 0) return;
            }
        }
    }

private:
    struct Point {
        std::int32_t position;
        std::string_view layer;
        double x, y, z;
        std::string_view name, description;
    };

    io::ItemValue value_of(const dxf::LabelKind& kind, const Point& p) const {
        if (kind.field == kLabelElevation) return io::ItemValue::of(p.z);
        return io::ItemValue::of(kind.field == kLabelName ? p.name : p.description);
    }

    // x, y, z of a label's start, as the drawing holds them.
    std::array<io::ItemValue, 3> place(const dxf::LabelKind& kind, const Point& p) const {
        const double h = plan_.text_height;
        return {coordinate<Real>(p.x + kind.dx * h), coordinate<Real>(p.y + kind.dy * h), coordinate<Real>(p.z)};
    }

    void write_point(RecordWriter& out, const dxf::PointPlan& point, std::array<io::ItemValue, 5>& room, const Point& p) {
        out.plan(point.plan(), point.values(room, p.position, p.layer, coordinate<Real>(p.x), coordinate<Real>(p.y),
                                            coordinate<Real>(p.z)));
        for (std::size_t k = 0; k < labels_.size(); ++k) {
            if (!labels_[k]) continue;
            const dxf::LabelKind& kind = dxf::kLabelKinds[k];
            // An empty name or description: nothing to show.
            if (kind.field != kLabelElevation && value_of(kind, p).text.empty()) continue;
            const auto [x, y, z] = place(kind, p);
            const io::ItemValue values[] = {
                io::ItemValue::of(dxf::tagged_handle(kind.label_handle, static_cast<std::uint64_t>(p.position), handle_room_)),
                x, y, z, value_of(kind, p)};
            out.plan(labels_[k]->plan(), values);
        }
    }

    void write_insert(RecordWriter& out, const Point& p) {
        const auto position = static_cast<std::uint64_t>(p.position);
        const io::ItemValue insert[] = {io::ItemValue::of(dxf::tagged_handle("D", position, handle_room_)),
                                        io::ItemValue::of(p.layer), coordinate<Real>(p.x), coordinate<Real>(p.y),
                                        coordinate<Real>(p.z)};
        out.plan(insert_->plan(), insert);
        for (std::size_t k = 0; k < attributes_.size(); ++k) {
            const dxf::LabelKind& kind = dxf::kLabelKinds[k];
            const auto [x, y, z] = place(kind, p);
            const io::ItemValue values[] = {
                io::ItemValue::of(dxf::tagged_handle(kind.attribute_handle, position, handle_room_)), x, y, z,
                value_of(kind, p)};
            out.plan(attributes_[k]->plan(), values);
        }
        const io::ItemValue end[] = {io::ItemValue::of(dxf::tagged_handle("DD", position, handle_room_)),
                                     io::ItemValue::of(p.layer)};
        out.plan(sequence_end_.plan(), end);
    }

    const RunPlan& plan_;
    const PointStore& store_;
    PointStore::TextReader texts_;
    std::array<std::optional<dxf::LabelPlan>, 3> labels_;
    std::array<std::optional<dxf::AttributePlan>, 3> attributes_;
    std::optional<dxf::InsertPlan> insert_;
    dxf::SequenceEndPlan sequence_end_;
    std::array<char, 24> handle_room_;
    std::array<char, 24> name_room_;
};

// Each line a polyline of its points in order, on its string's layer.
template <class Real>
void write_lines(RecordWriter& out, const RunPlan& plan, const PointStore& store, const Linework& linework) {
    const dxf::PolylinePlan polyline{linework.flat};
    const dxf::VertexPlan vertex{linework.flat, plan.coordinate};
    const dxf::SequenceEndPlan sequence_end;
    const LayerTable& layers = store.layers();
    const linework::LineWork& lines = linework.lines;
    std::array<char, 24> handle_room;
    std::uint64_t vertex_number = 0;
    for (std::size_t k = 0; k < lines.size() && out.number() == 0; ++k) {
        const std::string_view layer = layers.name(linework.string_layers[lines.string_of(k)]);
        const io::ItemValue head[] = {io::ItemValue::of(dxf::tagged_handle("B", k + 1, handle_room)),
                                      io::ItemValue::of(layer)};
        out.plan(polyline.plan(lines.closed(k)), head);
        for (const std::uint32_t point : lines.vertices(k)) {
            Real x, y, z;
            store.coordinates<Real>(point, x, y, z);
            const io::ItemValue values[] = {io::ItemValue::of(dxf::tagged_handle("BA", ++vertex_number, handle_room)),
                                            io::ItemValue::of(layer), io::ItemValue::of(x), io::ItemValue::of(y),
                                            io::ItemValue::of(z)};
            // Flat vertices have no z slot: the values beyond the plan's slots go unread.
            out.plan(vertex.plan(), std::span{values}.first(vertex.plan().slot_count()));
        }
        const io::ItemValue end[] = {io::ItemValue::of(dxf::tagged_handle("BB", k + 1, handle_room)),
                                     io::ItemValue::of(layer)};
        out.plan(sequence_end.plan(), end);
    }
}

template <class Real>
void write_points(RecordWriter& out, const RunPlan& plan, const PointStore& store) {
    if (!plan.layers && plan.label_fields == 0 && !plan.blocks) {
        const dxf::PointPlan point{false, plan.coordinate};
        write_plain_points<Real>(out, point, store);
        return;
    }
    AnnotatedPoints<Real>{plan, store}.write(out);
}

template <class Real>
void write_entities(RecordWriter& out, const RunPlan& plan, const PointStore& store, const Linework* linework) {
    const bool lines = linework != nullptr && linework->enabled;
    if (!lines || !linework->lines_only) write_points<Real>(out, plan, store);
    if (lines && out.number() == 0) write_lines<Real>(out, plan, store, *linework);
}

}  // namespace

std::uint32_t records_per_point(const RunPlan& plan, const Linework* linework) {
    // A point's vertex, when lines are drawn, is of a size with its POINT.
    const std::uint32_t vertex = linework != nullptr && linework->enabled ? 14 : 0;
    if (linework != nullptr && linework->enabled && linework->lines_only) return vertex;
    if (plan.blocks) return 16 + 3 * 20 + 6 + vertex;
    std::uint32_t records = 12 + vertex;
    for (const dxf::LabelKind& kind : dxf::kLabelKinds)
        if (shows(plan, kind)) records += 16;
    return records;
}

int write_drawing(std::int32_t unit, const RunPlan& plan, const PointStore& store, ProgressLine* progress,
                  const Linework* linework) {
    RecordWriter out(unit, progress);
    dxf::write_header(out, plan.header, plan.coordinate, plan.header.extents ? store.extents() : Extents{});
    std::array<std::string_view, 3> labels;
    const std::size_t label_count = label_layers(plan, labels);
    dxf::write_tables(out, {plan.layers ? &store.layers() : nullptr, std::span{labels}.first(label_count)});
    write_blocks(out, plan);
    out.all(dxf::section("ENTITIES"));
    if (out.number() == 0) {
        if (store.precision() == Precision::single) write_entities<float>(out, plan, store, linework);
        else write_entities<double>(out, plan, store, linework);
    }
    out.all(dxf::end_section).all(dxf::end_of_file);
    return out.number();
}

}  // namespace app
