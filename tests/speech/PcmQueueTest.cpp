#include "speech/PcmQueue.h"

#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using velmor::PcmChunk;
using velmor::PcmQueue;

namespace {

using namespace std::chrono_literals;

PcmChunk audio(std::uint64_t textId, int bytes)
{
    return {textId, QByteArray(bytes, '\x01'), false};
}

PcmChunk endOf(std::uint64_t textId)
{
    return {textId, {}, true};
}

TEST(PcmQueue, HandsChunksOverInOrder)
{
    PcmQueue queue(1000);
    ASSERT_TRUE(queue.push(audio(1, 10), 0));
    ASSERT_TRUE(queue.push(endOf(1), 0));
    ASSERT_TRUE(queue.push(audio(2, 20), 0));
    EXPECT_EQ(queue.queuedBytes(), 30u);

    auto first = queue.tryPop();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->textId, 1u);
    EXPECT_EQ(first->samples.size(), 10);
    auto second = queue.tryPop();
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->endOfText);
    auto third = queue.tryPop();
    ASSERT_TRUE(third);
    EXPECT_EQ(third->textId, 2u);
    EXPECT_FALSE(queue.tryPop());
    EXPECT_EQ(queue.queuedBytes(), 0u);
}

TEST(PcmQueue, AProducerWaitsAtCapacityUntilAChunkIsTaken)
{
    PcmQueue queue(100);
    ASSERT_TRUE(queue.push(audio(1, 100), 0));
    std::atomic<bool> pushed{false};
    auto producer = std::async(std::launch::async, [&] {
        const bool accepted = queue.push(audio(1, 10), 0);
        pushed = true;
        return accepted;
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(pushed);
    ASSERT_TRUE(queue.tryPop());
    EXPECT_TRUE(producer.get());
    EXPECT_EQ(queue.queuedBytes(), 10u);
}

TEST(PcmQueue, EndMarksNeverWaitForRoom)
{
    PcmQueue queue(100);
    ASSERT_TRUE(queue.push(audio(1, 100), 0));
    EXPECT_TRUE(queue.push(endOf(1), 0));
}

TEST(PcmQueue, DiscardEmptiesTheQueueAndRefusesTheOldGeneration)
{
    PcmQueue queue(1000);
    ASSERT_TRUE(queue.push(audio(1, 10), 0));
    const std::uint64_t generation = queue.discard();
    EXPECT_NE(generation, 0u);
    EXPECT_EQ(queue.generation(), generation);
    EXPECT_FALSE(queue.tryPop());
    EXPECT_FALSE(queue.push(audio(1, 10), 0));
    EXPECT_FALSE(queue.push(endOf(1), 0));
    EXPECT_TRUE(queue.push(audio(2, 10), generation));
}

TEST(PcmQueue, DiscardReleasesABlockedProducer)
{
    PcmQueue queue(100);
    ASSERT_TRUE(queue.push(audio(1, 100), 0));
    auto producer = std::async(std::launch::async, [&] { return queue.push(audio(1, 10), 0); });
    std::this_thread::sleep_for(50ms);
    queue.discard();
    ASSERT_EQ(producer.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(producer.get());
    EXPECT_FALSE(queue.tryPop());
}

TEST(PcmQueue, CloseReleasesABlockedProducerAndRefusesAllLaterOnes)
{
    PcmQueue queue(100);
    ASSERT_TRUE(queue.push(audio(1, 100), 0));
    auto producer = std::async(std::launch::async, [&] { return queue.push(audio(1, 10), 0); });
    std::this_thread::sleep_for(50ms);
    queue.close();
    ASSERT_EQ(producer.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(producer.get());
    EXPECT_FALSE(queue.push(endOf(1), queue.generation()));
}

} // namespace
