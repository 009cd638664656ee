// The export's frame queue: chunks reassembled into whole frames, written
// once and in order; orphan chunks ignored; frames that cannot be taken
// refused; the writer task's abort, back-pressure and idle end.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "modules/stream/remote_backup.h"
#include "platform/avi/frame_header.h"

namespace {

zq_frame_header frame_header(int32_t length)
{
    zq_frame_header header{};
    header.frame_type = kFrameTypeVideo;
    header.key_frame = 1;
    header.frame_rate = 25;
    header.data_length = length;
    return header;
}

std::string read_all(FILE *fp)
{
    std::string bytes;
    rewind(fp);
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, fp)) > 0;)
        bytes.append(buffer, got);
    return bytes;
}

// The data of the file's frame chunks, one after the other.
std::string frame_data(const std::string &file)
{
    std::string data;
    for (size_t at = 224; at + 8 <= file.size() && file.compare(at, 4, "00dc") == 0;) {
        uint32_t size = 0;
        memcpy(&size, file.data() + at + 4, sizeof size);
        data += file.substr(at + 8, size) + "|";
        at += 8 + size + (size & 1);
    }
    return data;
}

bool wait_until_stopped(int seconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (remote_backup_task_run_status() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return !remote_backup_task_run_status();
}

class RemoteBackup : public ::testing::Test {
protected:
    void SetUp() override
    {
        out_ = tmpfile();
        ASSERT_EQ(remote_backup_zqfs_open(out_, &avi_), 0);
        EXPECT_TRUE(remote_backup_task_run_status());
    }
    void TearDown() override { fclose(out_); }

    std::string close_and_read()
    {
        remote_backup_zqfs_close(avi_);
        return frame_data(read_all(out_));
    }

    FILE *out_ = nullptr;
    zq_avi *avi_ = nullptr;
};

} // namespace

TEST_F(RemoteBackup, ChunksMakeOneFrameEachWrittenInOrder)
{
    const zq_frame_header three = frame_header(9);
    EXPECT_EQ(remote_backup_zqfs_write(&three, "abc", 0, 3), 0);
    EXPECT_EQ(remote_backup_zqfs_write(&three, "def", 1, 3), 0);
    EXPECT_EQ(remote_backup_queued_frames(), 0u);                   // not whole yet
    EXPECT_EQ(remote_backup_zqfs_write(&three, "ghiXXX", 1, 6), 0); // cut to the frame
    const zq_frame_header two = frame_header(2);
    EXPECT_EQ(remote_backup_zqfs_write(&two, "12", 0, 2), 0);
    // A new first chunk drops the frame in assembly; an orphan is ignored.
    EXPECT_EQ(remote_backup_zqfs_write(&three, "lost", 0, 4), 0);
    EXPECT_EQ(remote_backup_zqfs_write(&two, "34", 0, 2), 0);
    EXPECT_EQ(remote_backup_zqfs_write(&two, "56", 1, 2), 0);
    EXPECT_EQ(close_and_read(), "abcdefghi|12|34|");
    EXPECT_FALSE(remote_backup_task_run_status());
}

TEST_F(RemoteBackup, FramesOfNoOrImpossibleLengthAreRefused)
{
    for (const int32_t length : {0, -5, kBackupMaxFrameBytes + 1}) {
        const zq_frame_header header = frame_header(length);
        EXPECT_EQ(remote_backup_zqfs_write(&header, "x", 0, 1), -1) << length;
        EXPECT_EQ(remote_backup_zqfs_write(&header, "x", 1, 1), 0) << length; // nothing in assembly
    }
    const zq_frame_header header = frame_header(4);
    EXPECT_EQ(remote_backup_zqfs_write(&header, nullptr, 0, 4), -1);
    EXPECT_EQ(close_and_read(), "");
}

// A frame longer than the queue's budget still goes through an empty queue,
// whole.
TEST_F(RemoteBackup, TheLargestFrameGoesThroughAnEmptyQueue)
{
    const std::string large(static_cast<size_t>(kBackupMaxFrameBytes), 'L');
    const zq_frame_header header = frame_header(kBackupMaxFrameBytes);
    for (int round = 0; round < 2; ++round) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (remote_backup_queued_frames() > 0 && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_EQ(remote_backup_zqfs_write(&header, large.data(), 0, header.data_length), 0);
    }
    const std::string written = close_and_read();
    EXPECT_EQ(written.size(), 2 * (large.size() + 1));
    EXPECT_TRUE(written == large + "|" + large + "|"); // not printed: 20 MB
}

TEST_F(RemoteBackup, AbortStopsTheTaskAndRefusesLaterFrames)
{
    remote_backup_zqfs_interrup();
    ASSERT_TRUE(wait_until_stopped(5));
    const zq_frame_header header = frame_header(2);
    EXPECT_EQ(remote_backup_zqfs_write(&header, "ab", 0, 2), -1);
    EXPECT_EQ(remote_backup_queued_frames(), 0u);
    EXPECT_EQ(close_and_read(), "");
}

TEST_F(RemoteBackup, WithoutFramesTheTaskEndsAfterItsIdleLimit)
{
    // Test polls are 1 ms: the idle limit is about a second and a half.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(wait_until_stopped(30));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(kBackupIdlePolls));
    EXPECT_EQ(close_and_read(), "");
}

// A writer stuck on an output nobody reads: the queue fills to its budget,
// then a frame waits its polls and is dropped; the export still closes
// once the output is gone.
TEST(RemoteBackupQueue, FullQueueDropsTheFrameAfterItsWaits)
{
    signal(SIGPIPE, SIG_IGN);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    FILE *out = fdopen(ends[1], "w");
    zq_avi *avi = nullptr;
    ASSERT_EQ(remote_backup_zqfs_open(out, &avi), 0);
    const std::string frame(100000, 'm');
    const zq_frame_header header = frame_header(static_cast<int32_t>(frame.size()));
    int taken = 0;
    while (taken < 64 && remote_backup_zqfs_write(&header, frame.data(), 0, header.data_length) == 0)
        ++taken;
    ASSERT_LT(taken, 64);
    // The writer holds one frame; the rest wait up to the budget.
    EXPECT_LE(remote_backup_queued_bytes(), kBackupQueueBudget);
    EXPECT_GT(remote_backup_queued_bytes() + frame.size(), kBackupQueueBudget);
    const size_t queued = remote_backup_queued_frames();
    EXPECT_EQ(remote_backup_zqfs_write(&header, frame.data(), 0, header.data_length), -1);
    EXPECT_EQ(remote_backup_queued_frames(), queued);
    close(ends[0]); // the browser goes away: the writer's output fails
    remote_backup_zqfs_close(avi);
    EXPECT_EQ(remote_backup_queued_frames(), 0u);
    fclose(out);
    signal(SIGPIPE, SIG_DFL);
}
