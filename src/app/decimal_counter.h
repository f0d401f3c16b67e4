// Letters and a number that counts 1, 2, 3 ... one value after the other,
// its digits carried in place: a handle or a name per entity then costs
// next to nothing, where formatting the number anew would not.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace app {

class DecimalCounter {
public:
    explicit DecimalCounter(std::string_view letters = {}) : letters_(letters.size()) {
        std::copy(letters.begin(), letters.end(), room_.begin());
        reset("0");
    }

    // Starts again from `digits` (decimal digits, at most 20).
    void reset(std::string_view digits) {
        std::copy(digits.begin(), digits.end(), room_.begin() + static_cast<std::ptrdiff_t>(letters_));
        end_ = letters_ + digits.size();
    }

    // The next number, with the letters before it.
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
        return current();
    }
    std::string_view current() const { return {room_.data(), end_}; }
    std::string_view digits() const { return current().substr(letters_); }

private:
    std::array<char, 32> room_{};
    std::size_t letters_;
    std::size_t end_ = 0;
};

}  // namespace app
