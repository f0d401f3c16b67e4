#include "platform/stack_walk.h"

#include <gtest/gtest.h>

#include "support/faulting_code.h"

namespace {

// A damaged frame makes the walk read unmapped memory; a visitor that does
// the same stands in for it.
bool fault_at_second_frame(const platform::StackFrame&, void* state) {
    int& visited = *static_cast<int*>(state);
    if (++visited == 2) test_support::write_null();
    return true;
}

TEST(StackWalk, AFaultWhileWalkingEndsTheWalkNotTheProcess) {
    for (int round = 0; round < 2; ++round) {  // the guard is undone after each walk
        int visited = 0;
        EXPECT_EQ(platform::walk_stack(nullptr, fault_at_second_frame, &visited), platform::WalkEnd::faulted);
        EXPECT_EQ(visited, 2);
    }
    EXPECT_DEATH(test_support::write_null(), "");
}

}  // namespace
