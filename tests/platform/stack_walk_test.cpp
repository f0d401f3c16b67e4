#include "platform/stack_walk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

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

// The frame of the routine named `routine`, as the walk saw it.
struct Wanted {
    const char* routine;
    platform::StackFrame frame;
    bool found = false;
};

bool keep_wanted(const platform::StackFrame& frame, void* state) {
    Wanted& wanted = *static_cast<Wanted*>(state);
    if (frame.routine == nullptr || std::strcmp(frame.routine, wanted.routine) != 0) return true;
    wanted.frame = frame;
    wanted.found = true;
    return false;
}

using Word = std::uintptr_t;

// Arguments past the ones an ABI passes in registers (six on x86-64, none on
// 32-bit x86) go on the stack, right above the return address: the words
// the walk reports for the frame. noipa: the arguments are passed as written;
// the results go to globals so that no hidden argument takes a register.
Wanted g_wanted{"walk_with_arguments", {}};
const void* g_frame_address = nullptr;

__attribute__((noinline, noipa)) void walk_with_arguments(Word a1, Word a2, Word a3, Word a4, Word a5, Word a6,
                                                         Word a7, Word a8, Word a9, Word a10) {
    g_frame_address = __builtin_frame_address(0);
    platform::walk_stack(nullptr, keep_wanted, &g_wanted);
    // Uses every argument after the walk, so none is dropped before it.
    if (a1 + a2 + a3 + a4 + a5 + a6 + a7 + a8 + a9 + a10 == 0) g_wanted.found = false;
}

TEST(StackWalk, FrameWordsComeFromTheCallersStack) {
    walk_with_arguments(1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
    ASSERT_TRUE(g_wanted.found);
    const Word first_on_stack = sizeof(Word) == 8 ? 7 : 1;
    for (Word i = 0; i < 4; ++i) EXPECT_EQ(g_wanted.frame.params[i], first_on_stack + i) << i;
    // Built with a frame pointer, the routine's frame pointer is the frame's base.
    EXPECT_EQ(g_wanted.frame.frame_pointer, reinterpret_cast<Word>(g_frame_address));
}

// Built without a frame pointer, the base is where one would point: two
// words below the end of the caller's stack at the call. The first argument
// word is read during the call: on 32-bit x86 it is the hidden pointer to the
// returned struct, whose slot the caller may reuse once the call returns.
Word g_first_argument_word = 0;

__attribute__((noinline, noipa, optimize("omit-frame-pointer"))) Wanted walk_without_frame_pointer(
    const void** call_frame_address) {
    *call_frame_address = __builtin_dwarf_cfa();
    g_first_argument_word = *static_cast<const Word*>(__builtin_dwarf_cfa());
    Wanted wanted{"walk_without_frame_pointer", {}};
    platform::walk_stack(nullptr, keep_wanted, &wanted);
    return wanted;
}

TEST(StackWalk, FrameBaseWithoutAFramePointer) {
    const void* cfa = nullptr;
    const Wanted wanted = walk_without_frame_pointer(&cfa);
    ASSERT_TRUE(wanted.found);
    const Word call_frame_address = reinterpret_cast<Word>(cfa);
    EXPECT_EQ(wanted.frame.frame_pointer, call_frame_address - 2 * sizeof(Word));
    EXPECT_EQ(wanted.frame.params[0], g_first_argument_word);
    EXPECT_NE(wanted.frame.return_address, 0u);
}

}  // namespace
