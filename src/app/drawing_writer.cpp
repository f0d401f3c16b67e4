#include "app/drawing_writer.h"

#include <array>
#include <memory>
#include <optional>

#include "app/decimal_counter.h"
#include "app/dxf/annotation.h"
#include "app/dxf/entities.h"
#include "app/dxf/header.h"
#include "app/dxf/sections.h"
#include "app/dxf/tables.h"
#include "app/progress.h"
#include "app/text/code_page_chooser.h"
#include "app/text/drawing_text.h"
#include "app/text/layer_name_writer.h"
#include "app/text_arena.h"

namespace app {
namespace {

using dxf::RecordWriter;

template <class Real>
io::ItemValue coordinate(double v) {
    return io::ItemValue::of(static_cast<Real>(v));
}

bool shows(const RunPlan& plan, const dxf::LabelKind& kind) { return (plan.label_fields & kind.field) != 0; }

// The names of the drawing's layers as it writes them, in its code page and
// each distinct: "0", the codes' layers, then the layers of the kinds of
// label it writes (a block carries all three).
class DrawingNames {
public:
    DrawingNames(const RunPlan& plan, const PointStore& store, text::CodePage page) {
        const std::size_t codes = plan.layers ? store.layers().size() : 1;
        std::size_t kinds = 0;
        for (const dxf::LabelKind& kind : dxf::kLabelKinds) kinds += plan.blocks || shows(plan, kind);
        text::LayerNameWriter writer{page, codes + kinds};
        names_.reserve(codes + kinds);
        for (std::size_t k = 0; k < codes; ++k)
            names_.push_back(arena_.keep(writer.next(store.layers().name(static_cast<std::uint32_t>(k)))));
        for (std::size_t k = 0; k < dxf::kLabelKinds.size(); ++k) {
            const dxf::LabelKind& kind = dxf::kLabelKinds[k];
            if (!plan.blocks && !shows(plan, kind)) continue;
            label_[k] = arena_.keep(writer.next(kind.layer));
            names_.push_back(label_[k]);
        }
        codes_ = codes;
        if (plan.layers) colours_ = store.layers().colours();
    }
    dxf::LayerList list() const { return {{names_.data(), names_.size()}, codes_, colours_}; }
    std::string_view layer(std::uint32_t index) const { return names_[index]; }
    std::string_view label_layer(std::size_t kind) const { return label_[kind]; }

private:
    TextArena arena_;
    io::PlatformVector<std::string_view> names_;
    std::array<std::string_view, 3> label_{};
    std::size_t codes_ = 1;
    std::span<const std::uint8_t> colours_;
};

// The block every point inserts: its marker at the origin, and one
// attribute definition per kind of label at the label's place.
void write_blocks(RecordWriter& out, const RunPlan& plan, const DrawingNames& names) {
    using dxf::code, dxf::text, dxf::integer, dxf::section, dxf::end_section, dxf::tagged_handle, dxf::size_text,
        dxf::kLabelKinds, dxf::kPointBlock, dxf::LabelKind;
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
        for (std::size_t k = 0; k < kLabelKinds.size(); ++k) {
            const LabelKind& kind = kLabelKinds[k];
            out(code(0))(text("ATTDEF"))(code(5))(text(tagged_handle("C", next++, handle)))(code(8))(text(names.label_layer(k)));
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
    AnnotatedPoints(const RunPlan& plan, const PointStore& store, const DrawingNames& names, text::CodePage page)
        : plan_(plan), store_(store), names_(names), page_(page), texts_(store) {
        for (std::size_t k = 0; k < dxf::kLabelKinds.size(); ++k) {
            const dxf::LabelKind& kind = dxf::kLabelKinds[k];
            const io::FieldSpec value = kind.field == kLabelElevation ? plan.elevation : io::field::A;
            const std::string_view layer = names.label_layer(k);
            if (shows(plan, kind) && !plan.blocks) labels_[k].emplace(layer, plan.coordinate, plan.text_height, value);
            if (plan.blocks) attributes_[k].emplace(kind.tag, layer, plan.coordinate, plan.text_height, value);
        }
        if (plan.blocks) insert_.emplace(dxf::kPointBlock, plan.coordinate);
        text_room_.resize(text::kTextGrowth * store.longest_text());
    }

    void write(RecordWriter& out) {
        const dxf::PointPlan point{plan_.layers, plan_.coordinate};
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
                const std::string_view digits = position_.next();
                // A point without a name column is named by its position.
                if (!store_.keeps_names()) name = digits;
                const Point p{position, digits, names_.layer(layer_index), xs[k], ys[k], zs[k], name, description};
                if (plan_.blocks) write_insert(out, p);
                else write_point(out, point, room, p);
                if (out.number() != 0) return;
            }
        }
    }

private:
    struct Point {
        std::int32_t position;
        std::string_view digits;  // the position's
        std::string_view layer;
        double x, y, z;
        std::string_view name, description;
    };

    // The label's value: the elevation as a number, a text as the drawing's
    // code page writes it.
    io::ItemValue value_of(const dxf::LabelKind& kind, const Point& p) {
        if (kind.field == kLabelElevation) return io::ItemValue::of(p.z);
        const std::string_view typed = kind.field == kLabelName ? p.name : p.description;
        // A position for a name is digits, the same in every code page.
        if (kind.field == kLabelName && !store_.keeps_names()) return io::ItemValue::of(typed);
        const std::size_t n = text::write_drawing_text(typed, page_, {text_room_.data(), text_room_.size()});
        // The room was made for the longest text kept.
        if (n == text::kNoRoom) return io::ItemValue::of(std::string_view{});
        return io::ItemValue::of(std::string_view{text_room_.data(), n});
    }

    // A handle of `letters` and the point's position.
    std::string_view handle(std::string_view letters, const Point& p) {
        std::copy(letters.begin(), letters.end(), handle_room_.begin());
        std::copy(p.digits.begin(), p.digits.end(), handle_room_.begin() + static_cast<std::ptrdiff_t>(letters.size()));
        return {handle_room_.data(), letters.size() + p.digits.size()};
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
            if ((kind.field == kLabelName ? p.name : kind.field == kLabelDescription ? p.description : "z").empty()) continue;
            const auto [x, y, z] = place(kind, p);
            const io::ItemValue values[] = {
                io::ItemValue::of(handle(kind.label_handle, p)),
                x, y, z, value_of(kind, p)};
            out.plan(labels_[k]->plan(), values);
        }
    }

    void write_insert(RecordWriter& out, const Point& p) {
        const io::ItemValue insert[] = {io::ItemValue::of(handle("D", p)),
                                        io::ItemValue::of(p.layer), coordinate<Real>(p.x), coordinate<Real>(p.y),
                                        coordinate<Real>(p.z)};
        out.plan(insert_->plan(), insert);
        for (std::size_t k = 0; k < attributes_.size(); ++k) {
            const dxf::LabelKind& kind = dxf::kLabelKinds[k];
            const auto [x, y, z] = place(kind, p);
            const io::ItemValue values[] = {
                io::ItemValue::of(handle(kind.attribute_handle, p)), x, y, z,
                value_of(kind, p)};
            out.plan(attributes_[k]->plan(), values);
        }
        const io::ItemValue end[] = {io::ItemValue::of(handle("DD", p)),
                                     io::ItemValue::of(p.layer)};
        out.plan(sequence_end_.plan(), end);
    }

    const RunPlan& plan_;
    const PointStore& store_;
    const DrawingNames& names_;
    text::CodePage page_;
    PointStore::TextReader texts_;
    io::PlatformVector<char> text_room_;
    std::array<std::optional<dxf::LabelPlan>, 3> labels_;
    std::array<std::optional<dxf::AttributePlan>, 3> attributes_;
    std::optional<dxf::InsertPlan> insert_;
    dxf::SequenceEndPlan sequence_end_;
    std::array<char, 32> handle_room_;
    DecimalCounter position_;
};

// Each line a polyline of its points in order, on its string's layer.
template <class Real>
void write_lines(RecordWriter& out, const RunPlan& plan, const PointStore& store, const Linework& linework,
                 const DrawingNames& names) {
    const dxf::PolylinePlan polyline{linework.flat};
    const dxf::VertexPlan vertex{linework.flat, plan.coordinate};
    const dxf::SequenceEndPlan sequence_end;
    const linework::LineWork& lines = linework.lines;
    std::array<char, 24> handle_room;
    DecimalCounter vertex_handles{"BA"};
    for (std::size_t k = 0; k < lines.size() && out.number() == 0; ++k) {
        const std::string_view layer = names.layer(linework.string_layers[lines.string_of(k)]);
        const io::ItemValue head[] = {io::ItemValue::of(dxf::tagged_handle("B", k + 1, handle_room)),
                                      io::ItemValue::of(layer)};
        out.plan(polyline.plan(lines.closed(k)), head);
        for (const std::uint32_t point : lines.vertices(k)) {
            Real x, y, z;
            store.coordinates<Real>(point, x, y, z);
            const io::ItemValue values[] = {io::ItemValue::of(vertex_handles.next()),
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

}  // namespace

struct DrawingWriter::Parts {
    Parts(const RunPlan& plan, const PointStore& store, text::CodePage page) : names(plan, store, page) {
        const bool annotated = plan.layers || plan.label_fields != 0 || plan.blocks;
        if (!annotated) return;
        if (store.precision() == Precision::single) single.emplace(plan, store, names, page);
        else wide.emplace(plan, store, names, page);
    }
    DrawingNames names;
    std::optional<AnnotatedPoints<float>> single;
    std::optional<AnnotatedPoints<double>> wide;
};

namespace {

// The first code page that holds every text written, layer names too.
text::CodePage page_for(const RunPlan& plan, const PointStore& store) {
    if (plan.codepage) return *plan.codepage;
    text::CodePageChooser chooser = store.code_pages();
    if (plan.layers)
        for (std::uint32_t k = 0; k < store.layers().size(); ++k) chooser.feed(store.layers().name(k));
    return chooser.choice();
}

template <class Real>
void write_entities(RecordWriter& out, const RunPlan& plan, const PointStore& store, const Linework* linework,
                    const DrawingNames& names, std::optional<AnnotatedPoints<Real>>& annotated) {
    const bool lines = linework != nullptr && linework->enabled;
    if (!lines || !linework->lines_only) {
        if (annotated) {
            annotated->write(out);
        } else {
            const dxf::PointPlan point{false, plan.coordinate};
            write_plain_points<Real>(out, point, store);
        }
    }
    if (lines && out.number() == 0) write_lines<Real>(out, plan, store, *linework, names);
}

}  // namespace

namespace {

RunPlan resolved(RunPlan plan, const PointStore& store) {
    if (plan.decimals_from_input) plan.coordinate = plan.elevation = io::field::decimals(store.decimals());
    return plan;
}

}  // namespace

DrawingWriter::DrawingWriter(const RunPlan& plan, const PointStore& store, const Linework* linework)
    : plan_(resolved(plan, store)), store_(store), linework_(linework), page_(page_for(plan, store)),
      parts_(std::make_unique<Parts>(plan_, store, page_)) {}

DrawingWriter::~DrawingWriter() = default;

std::uint32_t DrawingWriter::records_per_point() const {
    const bool lines = linework_ != nullptr && linework_->enabled;
    // A point's vertex, when lines are drawn, is of a size with its POINT.
    const std::uint32_t vertex = lines ? 14 : 0;
    if (lines && linework_->lines_only) return vertex;
    if (plan_.blocks) return 16 + 3 * 20 + 6 + vertex;
    std::uint32_t records = 12 + vertex;
    for (const dxf::LabelKind& kind : dxf::kLabelKinds)
        if (shows(plan_, kind)) records += 16;
    return records;
}

int DrawingWriter::write(std::int32_t unit, ProgressLine* progress) {
    RecordWriter out(unit, progress);
    dxf::write_header(out, plan_.header, plan_.coordinate, plan_.header.extents ? store_.extents() : Extents{},
                      plan_.survey ? text::dxf_name(page_) : std::string_view{});
    dxf::write_tables(out, parts_->names.list());
    write_blocks(out, plan_, parts_->names);
    out.all(dxf::section("ENTITIES"));
    if (out.number() == 0) {
        if (store_.precision() == Precision::single)
            write_entities<float>(out, plan_, store_, linework_, parts_->names, parts_->single);
        else
            write_entities<double>(out, plan_, store_, linework_, parts_->names, parts_->wide);
    }
    out.all(dxf::end_section).all(dxf::end_of_file);
    return out.number();
}

int write_drawing(std::int32_t unit, const RunPlan& plan, const PointStore& store, ProgressLine* progress,
                  const Linework* linework) {
    return DrawingWriter{plan, store, linework}.write(unit, progress);
}

}  // namespace app
