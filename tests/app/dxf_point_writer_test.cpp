#include "app/dxf_point_writer.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

namespace {

// Points held in vectors the test owns, laid out as the driver lays them.
struct TestPoints {
    std::vector<float> x, y, z;
    app::PointSet set;

    TestPoints(std::vector<float> xs, std::vector<float> ys, std::vector<float> zs, std::int32_t count)
        : x(std::move(xs)), y(std::move(ys)), z(std::move(zs)) {
        set.count = count;
        set.x.base = x.data();
        set.y.base = y.data();
        set.z.base = z.data();
        set.x.extent = set.y.extent = set.z.extent = static_cast<std::int32_t>(x.size());
    }
};

std::vector<std::string> records_of(const app::PointSet& points) {
    std::vector<std::string> records;
    app::DxfPointWriter::each_record(points, [&](const app::DxfRecord& r) {
        char out[64];
        const auto text = io::format_field(r.spec, r.value, out);
        EXPECT_EQ(text.status, io::FieldStatus::ok);
        records.emplace_back(out, text.length);
        return true;
    });
    return records;
}

std::string file_of(const std::vector<std::string>& records) {
    std::string file;
    for (const auto& r : records) file += r + "\r\n";
    return file;
}

constexpr const char* header_text =
    "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1009\r\n"
    "  9\r\n$PDMODE\r\n 70\r\n    35\r\n  9\r\n$PDSIZE\r\n 40\r\n0.0\r\n  0\r\nENDSEC\r\n"
    "  0\r\nSECTION\r\n  2\r\nTABLES\r\n  0\r\nENDSEC\r\n"
    "  0\r\nSECTION\r\n  2\r\nBLOCKS\r\n  0\r\nENDSEC\r\n"
    "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
constexpr const char* trailer_text = "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";

TEST(DxfPointWriter, OnePointFile) {
    const TestPoints points({1.5f}, {-2.25f}, {0.0f}, 1);
    EXPECT_EQ(file_of(records_of(points.set)),
              std::string(header_text) +
                  "  0\r\nPOINT\r\n  5\r\n1\r\n  8\r\n0\r\n 10\r\n1.5\r\n 20\r\n-2.2\r\n 30\r\n.0\r\n" +
                  trailer_text);
}

TEST(DxfPointWriter, NoPointsGiveHeaderAndTrailerOnly) {
    for (const std::int32_t count : {0, -1, -2147483647 - 1}) {
        const TestPoints points({}, {}, {}, count);
        const auto records = records_of(points.set);
        EXPECT_EQ(records.size(), 38u) << count;
        EXPECT_EQ(file_of(records), std::string(header_text) + trailer_text) << count;
    }
}

TEST(DxfPointWriter, HandlesAreDecimalPositions) {
    const std::vector<float> zeros(12, 0.0f);
    const TestPoints points(zeros, zeros, zeros, 12);
    const auto records = records_of(points.set);
    ASSERT_EQ(records.size(), 38u + 12 * 12);
    const auto handle = [&](int i) { return records[34 + 12 * (i - 1) + 3]; };
    EXPECT_EQ(handle(1), "1");
    EXPECT_EQ(handle(10), "10");
    EXPECT_EQ(handle(12), "12");
}

TEST(DxfPointWriter, WideCoordinateLengthensOnlyItsRecord) {
    const float largest = std::bit_cast<float>(0x7f7fffffu);
    const TestPoints plain({1.0f}, {1.0f}, {1.0f}, 1);
    const TestPoints wide({largest}, {-largest}, {9.96f}, 1);
    const auto a = records_of(plain.set);
    const auto b = records_of(wide.set);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (i == 34 + 7) {
            EXPECT_EQ(b[i].size(), 41u);
        } else if (i == 34 + 9) {
            EXPECT_EQ(b[i].size(), 42u);
        } else if (i == 34 + 11) {
            EXPECT_EQ(b[i], "10.0");
        } else {
            EXPECT_EQ(a[i], b[i]) << "record " << i;
        }
    }
}

TEST(DxfPointWriter, StopsAtTheFirstRefusedRecord) {
    const TestPoints points({1.0f, 2.0f}, {1.0f, 2.0f}, {1.0f, 2.0f}, 2);
    for (const int refused : {0, 33, 34, 40, 45, 46, 61}) {
        int calls = 0;
        const bool done = app::DxfPointWriter::each_record(points.set, [&](const app::DxfRecord&) {
            return calls++ != refused;
        });
        EXPECT_FALSE(done);
        EXPECT_EQ(calls, refused + 1);
    }
}

}  // namespace
