// A fresh directory and a clean record layer for each test.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "io/io_settings.h"
#include "io/read_write_record.h"
#include "io/open_close_unit.h"
#include "io/unit_record_source.h"
#include "io/unit_table.h"
#include "platform/testing.h"
#include "io/io_size_settings.h"
#include "support/temp_dir.h"

namespace test_support {

// The unit's connection if it is connected, else null.
inline io::UnitConnection* connected_unit(std::int32_t unit) {
    io::UnitSlot* slot = io::find_slot(unit);
    return slot != nullptr && slot->connection && slot->connection->connected ? slot->connection.get() : nullptr;
}

class RecordsTest : public ::testing::Test {
protected:
    RecordsTest() {
        io::read_io_size_settings();
        io::testing::forget_terminator_rule();
    }
    ~RecordsTest() override {
        platform::testing::clear_syscall_failures();
        io::close_unit(10);
        io::close_unit(20);
        io::read_io_size_settings();
        io::testing::forget_terminator_rule();
    }

    // Settings read at start-up, taken again after the variables change.
    static void reread_settings() {
        io::read_io_size_settings();
        io::testing::forget_terminator_rule();
    }

    io::IoResult open(std::int32_t unit, const std::string& path) { return io::open_unit(unit, path, platform::Missing::create); }

    // Builds one output record the way a write statement does and writes it.
    static io::IoResult put_record(std::int32_t unit, std::string_view text) {
        const io::ConnectedUnit held{unit};
        if (!held) return {-1, unit};
        held->next_position = held->record_start;
        if (const io::IoResult room = io::reserve_record_room(*held, text.size()); !room.ok()) return room;
        std::memcpy(held->buffer.data() + held->next_position, text.data(), text.size());
        held->next_position += text.size();
        return io::write_record(*held);
    }

    // Every record up to the end of the file; `last` gets the number that ended it.
    static std::vector<std::string> read_all(std::int32_t unit, int& last) {
        std::vector<std::string> records;
        io::UnitRecordSource source{unit};
        std::string_view record;
        while ((last = source.next_record(record)) == 0) records.emplace_back(record);
        return records;
    }

    TempDir dir;
    // The variables of the record layer, unset unless a test sets them.
    ScopedEnv buffered{"FORT_BUFFERED", nullptr};
    ScopedEnv terminator{"FOR_FMT_TERMINATOR", nullptr};
    ScopedEnv block_size{"FORT_BLOCKSIZE", nullptr};
    ScopedEnv buffer_count{"FORT_BUFFERCOUNT", nullptr};
    ScopedEnv record_length{"FORT_FMT_RECL", nullptr};
};

}  // namespace test_support
