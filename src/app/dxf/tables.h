// The TABLES section: empty, or the LAYER table of the points' layers.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/dxf/dxf_record.h"

namespace app::dxf {

// An integer value right-aligned in six columns, as drawing programs write
// them, or as long as it is when six are too few.
Record integer_value(std::int32_t v);

// A handle made of letters and a number: see entities.h for the families.
std::string_view tagged_handle(std::string_view letters, std::uint64_t number, std::span<char, 24> room);

// Letters and a number that counts 1, 2, 3 ... one handle after the other,
// its digits carried in place: a handle per vertex costs next to nothing.
class HandleCounter {
public:
    explicit HandleCounter(std::string_view letters) : letters_(letters.size()) {
        std::copy(letters.begin(), letters.end(), room_.begin());
        room_[letters_] = '0';
        end_ = letters_ + 1;
    }
    std::string_view next() {
        std::size_t k = end_;
        while (k > letters_ && room_[k - 1] == '9') room_[--k] = '0';
        if (k == letters_) {
            // All nines: one digit more, "1" and the zeros after it.
            room_[letters_] = '1';
            room_[end_++] = '0';
        } else {
            ++room_[k - 1];
        }
        return {room_.data(), end_};
    }

private:
    std::array<char, 32> room_{};
    std::size_t letters_;
    std::size_t end_;
};

// The layers a drawing declares, as written: layer "0", then its codes'
// layers in order of first use (`codes` of them, "0" included), each with
// the palette's colour, then the layers of the kinds of label it writes.
struct LayerList {
    std::span<const std::string_view> names;
    std::size_t codes = 1;
    std::span<const std::uint8_t> colours;  // of the codes' layers, 0 for the palette's; empty: all the palette's
};

// With only layer "0" to declare, the section is empty, as in the classic file.
void write_tables(RecordWriter& out, const LayerList& layers);

}  // namespace app::dxf
