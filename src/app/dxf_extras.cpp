#include "app/dxf_extras.h"

#include <charconv>

#include "app/write_dxf.h"
#include "io/statement.h"
#include "io/write_field.h"

namespace app {
namespace {

using dxf_records::code;
using dxf_records::text;

// One statement per record, as the classic header's; stops at the first
// failure a report let through.
class RecordWriter {
public:
    explicit RecordWriter(std::int32_t unit) : unit_(unit) {}
    RecordWriter& operator()(const DxfRecord& record) {
        return all({&record, 1});
    }
    RecordWriter& all(std::span<const DxfRecord> records) {
        if (number_ == 0) number_ = write_records(unit_, records);
        return *this;
    }
    int number() const { return number_; }

private:
    std::int32_t unit_;
    int number_ = 0;
};

void write_point_variable(RecordWriter& out, std::string_view name, const SurveyPoint& p, const CoordinateFormat& format) {
    std::array<char, io::kFixedDecimalsRoom> room;
    out(code(9))(text(name));
    out(code(10))({format.field(), format.value(p.x, room)});
    out(code(20))({format.field(), format.value(p.y, room)});
    out(code(30))({format.field(), format.value(p.z, room)});
}

constexpr DxfRecord kSectionsBeforeTables[] = {code(0), text("ENDSEC"), code(0), text("SECTION"), code(2), text("TABLES")};
constexpr DxfRecord kSectionsAfterTables[] = {
    code(0), text("ENDSEC"),   code(0), text("SECTION"), code(2), text("BLOCKS"), code(0),
    text("ENDSEC"), code(0), text("SECTION"), code(2), text("ENTITIES"),
};

}  // namespace

std::string size_text(double size) {
    std::array<char, io::kFixedDecimalsRoom> room;
    std::string text{room.data(), io::format_fixed_decimals(size, io::kMostFixedDecimals, '.', room)};
    while (text.back() == '0' && text[text.size() - 2] != '.') text.pop_back();
    return text;
}

double label_height(const SurveyChoices& choices) {
    // A size of 0 or below is a share of the view, no length.
    return choices.point_size_given && choices.point_size > 0.0 ? choices.point_size : 1.0;
}

std::string_view tagged_handle(char tag, std::int32_t number, std::span<char, 16> room) {
    room[0] = tag;
    const auto end = std::to_chars(room.data() + 1, room.data() + room.size(), number).ptr;
    return {room.data(), static_cast<std::size_t>(end - room.data())};
}

int write_survey_head(std::int32_t unit, const SurveyChoices& choices, const SurveyPoints& points) {
    RecordWriter out(unit);
    // The classic header up to $PDMODE's value, which the style may change.
    out.all(std::span{dxf_records::header}.first(11));
    out({io::field::I6, io::ItemValue::of(choices.point_mode)});
    const std::string size = choices.point_size_given ? size_text(choices.point_size) : std::string{};
    out(code(9))(text("$PDSIZE"))(code(40));
    out(choices.point_size_given ? DxfRecord{io::field::A, io::ItemValue::of(std::string_view{size})}
                                 : dxf_records::header[15]);
    if (choices.extents && points.size() > 0) {
        const CoordinateFormat format{choices};
        write_point_variable(out, "$EXTMIN", points.box.low, format);
        write_point_variable(out, "$EXTMAX", points.box.high, format);
    }
    out.all(kSectionsBeforeTables);
    if (choices.layers) {
        const auto& names = points.layers.names();
        out(code(0))(text("TABLE"))(code(2))(text("LAYER"))(code(70));
        out({io::field::I6, io::ItemValue::of(static_cast<std::int32_t>(names.size()))});
        std::array<char, 16> handle_room;
        for (std::size_t k = 0; k < names.size(); ++k) {
            const std::string_view handle = tagged_handle('E', static_cast<std::int32_t>(k), handle_room);
            out(code(0))(text("LAYER"))(code(5))(text(handle))(code(2))(text(names[k]));
            out(code(70))({io::field::I6, io::ItemValue::of(0)});
            out(code(62))({io::field::I6, io::ItemValue::of(7)})(code(6))(text("CONTINUOUS"));
        }
        out(code(0))(text("ENDTAB"));
    }
    out.all(kSectionsAfterTables);
    return out.number();
}

EntityPlans::EntityPlans(const SurveyChoices& choices)
    : layered_(choices.layers),
      height_(size_text(label_height(choices))),
      point_records_{dxf_records::fixed(code(0)), dxf_records::fixed(text("POINT")),
                     dxf_records::fixed(code(5)), dxf_records::slot(io::field::I0),
                     dxf_records::fixed(code(8)),
                     choices.layers ? dxf_records::slot(io::field::A) : dxf_records::point[5],
                     dxf_records::fixed(code(10)), dxf_records::slot(CoordinateFormat{choices}.field()),
                     dxf_records::fixed(code(20)), dxf_records::slot(CoordinateFormat{choices}.field()),
                     dxf_records::fixed(code(30)), dxf_records::slot(CoordinateFormat{choices}.field())},
      label_records_{dxf_records::fixed(code(0)), dxf_records::fixed(text("TEXT")),
                     dxf_records::fixed(code(5)), dxf_records::slot(io::field::A),
                     dxf_records::fixed(code(8)), dxf_records::slot(io::field::A),
                     dxf_records::fixed(code(10)), dxf_records::slot(CoordinateFormat{choices}.field()),
                     dxf_records::fixed(code(20)), dxf_records::slot(CoordinateFormat{choices}.field()),
                     dxf_records::fixed(code(30)), dxf_records::slot(CoordinateFormat{choices}.field()),
                     dxf_records::fixed(code(40)), dxf_records::fixed(text(height_)),
                     dxf_records::fixed(code(1)), dxf_records::slot(io::field::A)},
      point_plan_(point_records_),
      label_plan_(label_records_) {}

}  // namespace app
