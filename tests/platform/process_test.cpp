#include "platform/process.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

class ProcessFiles : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = testing::TempDir() + "process_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(ProcessFiles, AppendCreatesThenAppends) {
    const std::string file = (dir_ / "log").string();
    for (std::string_view part : {"first\r\n", "second\n"}) EXPECT_TRUE(platform::append_to_file(file.c_str(), part));
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "first\r\nsecond\n");
}

TEST_F(ProcessFiles, UnopenablePathsFail) {
    const std::string file = (dir_ / "no-dir" / "log").string();
    EXPECT_FALSE(platform::append_to_file(file.c_str(), std::string_view("x")));
    EXPECT_FALSE(platform::reopen_standard_error(file.c_str()));
}

}  // namespace
