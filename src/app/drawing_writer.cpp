#include "app/drawing_writer.h"

#include <array>
#include <limits>

#include "app/dxf/entities.h"
#include "app/dxf/header.h"
#include "app/dxf/sections.h"
#include "app/dxf/tables.h"
#include "app/progress.h"

namespace app {
namespace {

using dxf::RecordWriter;

template <class Real>
io::ItemValue coordinate(Real v) {
    return io::ItemValue::of(v);
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
            out.plan(point.plan(), point.values(room, position, {}, coordinate(xs[k]), coordinate(ys[k]), coordinate(zs[k])));
            if (out.number() != 0) return;
        }
    }
}

// Points with their layers and labels.
template <class Real>
void write_points_with_texts(RecordWriter& out, const RunPlan& plan, const dxf::PointPlan& point,
                             const PointStore& store) {
    const dxf::LabelPlan label{plan.coordinate, plan.label_height};
    PointStore::TextReader texts{store};
    const LayerTable& layers = store.layers();
    std::array<io::ItemValue, 5> room;
    std::array<char, 24> handle_room;
    std::array<char, 24> position_room;
    std::int32_t position = 0;
    for (const PointRun& run : store.runs()) {
        const auto* xs = static_cast<const Real*>(run.x);
        const auto* ys = static_cast<const Real*>(run.y);
        const auto* zs = static_cast<const Real*>(run.z);
        for (std::size_t k = 0; k < run.count; ++k) {
            ++position;
            std::string_view name;
            std::uint32_t layer_index = 0;
            texts.next(name, layer_index);
            const std::string_view layer = layers.name(layer_index);
            const io::ItemValue x = coordinate(xs[k]), y = coordinate(ys[k]), z = coordinate(zs[k]);
            out.plan(point.plan(), point.values(room, position, layer, x, y, z));
            if (!plan.labels) continue;
            // A point without a name column is named by its position.
            if (!store.keeps_names()) name = dxf::tagged_handle('F', static_cast<std::uint64_t>(position), position_room).substr(1);
            if (name.empty()) continue;  // an empty name field: nothing to show
            const io::ItemValue values[] = {
                io::ItemValue::of(dxf::tagged_handle('F', static_cast<std::uint64_t>(position), handle_room)),
                io::ItemValue::of(layer), x, y, z, io::ItemValue::of(name)};
            out.plan(label.plan(), values);
            if (out.number() != 0) return;
        }
    }
}

template <class Real>
void write_entities(RecordWriter& out, const RunPlan& plan, const PointStore& store) {
    const dxf::PointPlan point{plan.layers, plan.coordinate};
    if (!plan.layers && !plan.labels) write_plain_points<Real>(out, point, store);
    else write_points_with_texts<Real>(out, plan, point, store);
}

}  // namespace

std::uint32_t records_per_point(const RunPlan& plan) { return plan.labels ? 12 + 16 : 12; }

int write_drawing(std::int32_t unit, const RunPlan& plan, const PointStore& store, ProgressLine* progress) {
    RecordWriter out(unit, progress);
    dxf::write_header(out, plan.header, plan.coordinate, plan.header.extents ? store.extents() : Extents{});
    dxf::write_tables(out, plan.layers ? &store.layers() : nullptr);
    out.all(dxf::section("BLOCKS")).all(dxf::end_section);
    out.all(dxf::section("ENTITIES"));
    if (out.number() == 0) {
        if (store.precision() == Precision::single) write_entities<float>(out, plan, store);
        else write_entities<double>(out, plan, store);
    }
    out.all(dxf::end_section).all(dxf::end_of_file);
    return out.number();
}

}  // namespace app
