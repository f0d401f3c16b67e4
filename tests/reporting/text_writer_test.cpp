#include "reporting/text_writer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

template <typename... Args>
std::string formatted(std::size_t room, const char* format, Args... args) {
    std::vector<char> out(room + 4, '#');
    rt::TextWriter text(std::span<char>{out}.first(room));
    rt::format_text(text, format, args...);
    for (std::size_t i = room; i < out.size(); ++i) EXPECT_EQ(out[i], '#') << "written past the room";
    return {out.data(), text.size()};
}

template <typename... Args>
std::string reference(const char* format, Args... args) {
    char out[256];
    const int length = std::snprintf(out, sizeof out, format, args...);
    return {out, static_cast<std::size_t>(length)};
}

// Every conversion the catalogue texts and prefixes use, as the C library
// writes it, down to the edges of each type.
TEST(FormatText, MatchesTheLibraryOnTheCatalogueConversions) {
    EXPECT_EQ(formatted(256, "forrtl: severe (%i): ", 24), reference("forrtl: severe (%i): ", 24));
    EXPECT_EQ(formatted(256, "unit %d, file %s", -5, "/a b"), reference("unit %d, file %s", -5, "/a b"));
    for (const int value : {0, 1, -1, INT_MAX, INT_MIN, 65535})
        EXPECT_EQ(formatted(256, "%d|%i|%u|%x|%X", value, value, value, value, value),
                  reference("%d|%i|%u|%x|%X", value, value, value, value, value));
    for (const long value : {0L, 0x1234L, -1L, LONG_MAX, LONG_MIN})
        EXPECT_EQ(formatted(256, "0x%lx (%ld)", value, value), reference("0x%lx (%ld)", value, value));
    for (const long long value : {0LL, LLONG_MAX, LLONG_MIN})
        EXPECT_EQ(formatted(256, "%lld %llX", value, value), reference("%lld %llX", value, value));
    EXPECT_EQ(formatted(256, "%.*s|%.3s|%c|%%|%zu", 2, "abcdef", "abcdef", 'q', std::size_t{77}),
              reference("%.*s|%.3s|%c|%%|%zu", 2, "abcdef", "abcdef", 'q', std::size_t{77}));
}

TEST(FormatText, WhatItDoesNotKnowStandsAsWritten) {
    EXPECT_EQ(formatted(256, "a %q b"), "a %q b");
    EXPECT_EQ(formatted(256, "ends in %"), "ends in %");
    EXPECT_EQ(formatted(256, "ends in %l"), "ends in %l");
    EXPECT_EQ(formatted(256, "%s", static_cast<const char*>(nullptr)), "(null)");
}

TEST(FormatText, CutAtTheRoom) {
    EXPECT_EQ(formatted(5, "unit %d", 12345), "unit ");
    EXPECT_EQ(formatted(7, "unit %d", 12345), "unit 12");
    EXPECT_EQ(formatted(0, "unit %d", 12345), "");
}

TEST(TextWriter, FieldsAndMeasure) {
    char out[64];
    rt::TextWriter text(out);
    text.put_left("Image", 8);
    text.put('|');
    text.put_left("a-name-too-long", 6);
    text.put('|');
    text.put_right("42", 5);
    text.put('|');
    text.put_hex(0xABC, 8);
    text.put('|');
    text.put_hex(0x1122334455667788, 8);  // never cut to the width
    text.put('|');
    text.put_hex(0xabc, 8, false);
    EXPECT_EQ(std::string(out, text.size()), "Image   |a-name|   42|00000ABC|1122334455667788|00000abc");
    EXPECT_FALSE(text.cut());

    rt::TextWriter measure({});
    rt::format_text(measure, "%s-%d", "abc", -12);
    EXPECT_EQ(measure.size(), 0u);
    EXPECT_EQ(measure.wanted(), 7u);
    EXPECT_TRUE(measure.cut());
}

}  // namespace
