#include "store/DiskCheck.h"

#include <gtest/gtest.h>

#include "support/FaultyFileIo.h"
#include "support/TempDir.h"

namespace keyrack {
namespace {

using testing::FaultyFileIo;
using testing::FileOp;

TEST(DiskCheckTest, ReadsOnlyWhenTheIdentityMovedAndThenComparesTheRecords) {
    testing::TempDir dir;
    const std::string path = dir.File("cli.rkd");
    const std::string held = std::string(RecordLength, 'a') + std::string(RecordLength, '\0');
    RecordList records = RecordsOf(held);
    records[2].Blank();  // read once: the store cleaned the NULs in memory
    records.emplace_back();
    struct Case {
        const char* name;
        std::string onDisk;  // empty: no file
        bool staleIdentity;
        bool readFails;
        DiskCheck::State state;
    };
    const Case cases[] = {
        {"untouched, never read", held, false, true, DiskCheck::State::Same},
        {"touched, same records", held, true, false, DiskCheck::State::Same},
        {"a record changed", std::string(RecordLength, 'b') + held.substr(RecordLength), true,
         false, DiskCheck::State::Changed},
        {"a record added", held + std::string(RecordLength, 'c'), true, false,
         DiskCheck::State::Changed},
        {"cut mid-record", held.substr(0, 100), true, false, DiskCheck::State::Changed},
        {"gone", "", true, false, DiskCheck::State::Missing},
        {"unreadable", held, true, true, DiskCheck::State::Unreadable},
    };
    for (const Case& c : cases) {
        FaultyFileIo io;
        io.Remove(path);
        if (!c.onDisk.empty()) {
            testing::WriteBytes(path, c.onDisk);
        }
        FileIdentity known = io.Identity(path);
        known.modified -= c.staleIdentity ? 1 : 0;
        if (c.readFails) {
            io.FailOn(FileOp::Read);
        }
        const DiskCheck check = CheckDataFile(io, path, known, records);
        EXPECT_EQ(check.state, c.state) << c.name;
        EXPECT_EQ(check.content, c.state == DiskCheck::State::Changed ? c.onDisk : "") << c.name;
    }
}

}  // namespace
}  // namespace keyrack
