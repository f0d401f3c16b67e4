#include "app/linework/line_codes.h"

#include <gtest/gtest.h>

#include <string>

#include "app/linework/line_controls.h"

namespace {

using app::linework::ControlFaultKind;
using app::linework::kNoLine;
using app::linework::LineControl;

TEST(LineControls, WordsAfterTheCode) {
    struct Case {
        const char* after_code;
        LineControl control;
        const char* refused;  // the word refused, or nullptr
        std::size_t refused_at;  // where it stands: the reader tells it
    };
    const Case cases[] = {
        {"", LineControl::none, nullptr, 0},
        {"B CURB", LineControl::begin, nullptr, 0},
        {"  kerb\tc\t", LineControl::close, nullptr, 0},
        {"TOP e", LineControl::end, nullptr, 0},
        {"BEGIN END CLOSE B2 C. E- BE", LineControl::none, nullptr, 0},
        {"B E", LineControl::none, "E", 2},
        {"e CURB e", LineControl::none, "e", 7},
        {"C SIDE B", LineControl::none, "B", 7},
    };
    for (const Case& test : cases) {
        LineControl control = LineControl::close;
        app::linework::ControlFault fault;
        const bool taken = app::linework::parse_line_controls(test.after_code, control, fault);
        EXPECT_EQ(taken, test.refused == nullptr) << test.after_code;
        if (taken) {
            EXPECT_EQ(control, test.control) << test.after_code;
        } else {
            EXPECT_EQ(fault.kind, ControlFaultKind::second_control_word) << test.after_code;
            EXPECT_EQ(fault.word, test.refused) << test.after_code;
            EXPECT_EQ(fault.word.data(), test.after_code + test.refused_at) << test.after_code;
        }
    }
    const auto parts = app::linework::split_description(" \tEP1  B CURB");
    EXPECT_EQ(parts.code, "EP1");
    EXPECT_EQ(parts.after_code, "  B CURB");
}

TEST(LineCodes, NumberedCodes) {
    struct Case {
        const char* code;
        const char* base;
        std::uint32_t number;
        bool numbered;
    };
    const Case cases[] = {
        {"EP12", "EP", 12, true}, {"EP01", "EP", 1, true},    {"EP0", "EP", 0, true},
        {"EP", "EP", 0, false},   {"12", "12", 0, false},     {"E1P", "E1P", 0, false},
        {"EP123456789", "EP", 123456789, true}, {"EP1234567890", "EP1234567890", 0, false},
    };
    for (const Case& test : cases) {
        const auto split = app::linework::split_numbered_code(test.code);
        EXPECT_EQ(split.base, test.base) << test.code;
        EXPECT_EQ(split.number, test.number) << test.code;
        EXPECT_EQ(split.numbered, test.numbered) << test.code;
    }

    app::linework::LineCodes codes;
    EXPECT_EQ(codes.string_for("MH"), kNoLine);
    for (const char* code : {"EP", "T1", "fl", "MH"}) ASSERT_EQ(codes.add(code), app::linework::LineCodeFault::none);
    EXPECT_EQ(codes.add(""), app::linework::LineCodeFault::empty);
    EXPECT_EQ(codes.add("E P"), app::linework::LineCodeFault::has_blank);
    EXPECT_EQ(codes.add("Ep"), app::linework::LineCodeFault::named_twice);
    struct Lookup {
        const char* code;
        std::uint32_t string;
        std::uint32_t code_index;
    };
    // A spelling seen as no line before MH was named is one now.
    const Lookup lookups[] = {
        {"MH", 0, 3},   {"ep1", 1, 0}, {"EP01", 1, 0}, {"EP", 2, 0},       {"EP2", 3, 0},
        {"T1", 4, 1},   {"T2", kNoLine, 0}, {"FL", 5, 2}, {"TREE", kNoLine, 0}, {"EP1X", kNoLine, 0},
        {"Ep1", 1, 0},  {"EP0", 6, 0},
    };
    for (const Lookup& test : lookups) {
        EXPECT_EQ(codes.string_for(test.code), test.string) << test.code;
        if (test.string != kNoLine) {
            EXPECT_EQ(codes.code_of(test.string), test.code_index) << test.code;
        }
    }
    EXPECT_EQ(codes.string_names()[1], "EP1");
    // Past the spellings remembered, each is worked out again, the same.
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(codes.string_for("EP" + std::to_string(100 + i)), 7u + static_cast<std::uint32_t>(i)) << i;
    EXPECT_EQ(codes.string_for("EP4000"), 7u + 3900u);
    EXPECT_EQ(codes.string_for("EP5099"), 7u + 4999u);
}

}  // namespace
