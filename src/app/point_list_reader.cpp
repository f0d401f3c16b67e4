#include "app/point_list_reader.h"

#include "io/statement.h"

namespace app {

template <class... Items>
void PointListReader::statement(Items&... items) {
    // After a failure the reporter let through, the statement is over.
    const auto step = [this](int number) { return number == 0 || io::finish_statement(records_.failure(number)) == 0; };
    if (step(scanner_.begin_statement(records_))) (step(scanner_.read_item(items)) && ...);
    scanner_.end_statement();
}

void PointListReader::read_count(PointSet& points) { statement(points.count); }

void PointListReader::read_point(PointSet& points, std::int32_t i) {
    statement(points.x_at(i), points.y_at(i), points.z_at(i));
}

}  // namespace app
