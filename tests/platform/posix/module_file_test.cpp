// The image of the program's own frames is its executable file, whatever
// name it was started by: the test starts itself again as "bogus.exe".
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/stack_walk.h"

extern char** environ;

namespace {

constexpr char kChildVariable[] = "TDP_MODULE_FILE_CHILD";

constexpr char kMark[] = "\nimage: ";

bool print_first_image(const platform::StackFrame& frame, void*) {
    const std::string image = kMark + std::string(frame.image != nullptr ? frame.image : "(none)") + "\n";
    (void)!::write(STDOUT_FILENO, image.data(), image.size());
    return false;
}

std::string own_file() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string{};
}

// What the test, started again under `start_name`, prints as the image of
// its first frame.
std::string image_when_started_as(const char* start_name) {
    int ends[2];
    if (::pipe(ends) != 0) return "(no pipe)";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    std::string filter = "--gtest_filter=ModuleFile.NamesTheExecutableNotTheStartName";
    char* argv[] = {const_cast<char*>(start_name), filter.data(), nullptr};
    std::vector<std::string> variables{std::string(kChildVariable) + "=1"};
    for (char** variable = environ; *variable != nullptr; ++variable) variables.emplace_back(*variable);
    std::vector<char*> env;
    for (std::string& variable : variables) env.push_back(variable.data());
    env.push_back(nullptr);
    pid_t child = 0;
    const std::string self = own_file();
    const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, argv, env.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    std::string out;
    char piece[512];
    for (ssize_t got; (got = ::read(ends[0], piece, sizeof piece)) > 0;) out.append(piece, static_cast<std::size_t>(got));
    ::close(ends[0]);
    if (spawned != 0) return "(not started)";
    int status = 0;
    ::waitpid(child, &status, 0);
    // The test framework writes to standard output as well.
    const std::size_t mark = out.find(kMark);
    if (mark == std::string::npos) return "(nothing printed)";
    out.erase(0, mark + sizeof kMark - 1);
    return out.substr(0, out.find('\n'));
}

TEST(ModuleFile, NamesTheExecutableNotTheStartName) {
    if (std::getenv(kChildVariable) != nullptr) {
        // The first frame is inside the walk, which this executable holds.
        platform::walk_stack(nullptr, print_first_image, nullptr);
        std::_Exit(0);
    }
    const std::string self = own_file();
    ASSERT_FALSE(self.empty());
    for (const char* start_name : {"bogus.exe", ""}) EXPECT_EQ(image_when_started_as(start_name), self) << start_name;
}

}  // namespace
