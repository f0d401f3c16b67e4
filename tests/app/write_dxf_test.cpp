#include "app/write_dxf.h"

#include <gtest/gtest.h>

#include <vector>

// The record texts themselves are checked byte for byte by the whole-program
// suite; here only what it cannot reach: a refused record stops the writer.
namespace {

TEST(EachDxfRecord, StopsAtTheFirstRefusedRecord) {
    std::vector<float> coordinates{1.0f, 2.0f};
    app::PointSet points;
    points.count = 2;
    for (io::ArrayStorage* axis : {&points.x, &points.y, &points.z}) {
        axis->base = coordinates.data();
        axis->extent = 2;
    }
    // The first record, the last of the header, inside a point, the trailer.
    for (const int refused : {0, 33, 34, 40, 45, 46, 61}) {
        int calls = 0;
        const bool done = app::each_dxf_record(points, [&](const app::DxfRecord&) {
            return calls++ != refused;
        });
        EXPECT_FALSE(done);
        EXPECT_EQ(calls, refused + 1);
    }
}

}  // namespace
