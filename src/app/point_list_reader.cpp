#include "app/point_list_reader.h"

#include "io/statement.h"
#include "io/unit_record_source.h"
#include "io/value_scanner.h"

namespace app {
namespace {

// One free-form read statement on a unit. A failing step hands its number to
// the reporter, which ends the run; the statement is closed on every path.
class ReadStatement {
public:
    explicit ReadStatement(std::int32_t unit) : unit_(unit), records_(unit) {
        open_ = io::finish_statement(scanner_.beginStatement(records_), unit_) == 0;
    }
    ~ReadStatement() {
        if (open_) scanner_.endStatement();
    }
    ReadStatement(const ReadStatement&) = delete;
    ReadStatement& operator=(const ReadStatement&) = delete;

    template <class Item>
    void item(Item& storage) {
        if (!open_) return;
        if (io::finish_statement(scanner_.readItem(storage), unit_) != 0) {
            // The statement is over after a failure that the reporter let through.
            scanner_.endStatement();
            open_ = false;
        }
    }

private:
    std::int32_t unit_;
    io::UnitRecordSource records_;
    io::ValueScanner scanner_;
    bool open_ = false;
};

}  // namespace

void read_point_count(std::int32_t unit, PointSet& points) {
    ReadStatement statement(unit);
    statement.item(points.count);
}

void read_point(std::int32_t unit, PointSet& points, std::int32_t i) {
    ReadStatement statement(unit);
    statement.item(points.x_at(i));
    statement.item(points.y_at(i));
    statement.item(points.z_at(i));
}

}  // namespace app
