#include "framework/core/MersenneTwister.h"
#include "framework/core/RandomNumber.h"
#include "framework/core/RuntimeRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>
#include <vector>

using Lumo::MersenneTwister;

TEST(MersenneTwister, FirstOutputsOfTheDefaultSeed)
{
    for (uint32_t seed : {4357u, 0u}) {
        MersenneTwister random(seed);
        EXPECT_EQ(random.Next(), 2146374468u) << seed;
        EXPECT_EQ(random.Next(), 699692587u) << seed;
        EXPECT_EQ(random.Next(), 1213834231u) << seed;
    }
    MersenneTwister reseeded(12345);
    reseeded.Next();
    reseeded.Seed(0);
    EXPECT_EQ(reseeded.Next(), 2146374468u);
}

// The standard library's MT19937 seeds the same way; ours drops the top bit.
// Several thousand outputs cover more than one regeneration of the state.
TEST(MersenneTwister, MatchesTheStandardGeneratorWithoutItsTopBit)
{
    for (uint32_t seed : {1u, 4357u, 0xDEADBEEFu}) {
        MersenneTwister random(seed);
        std::mt19937 reference(seed);
        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ(random.Next(), uint32_t(reference()) & 0x7FFFFFFFu) << seed << " output " << i;
    }
}

TEST(MersenneTwister, NextBelowStaysInRange)
{
    MersenneTwister random;
    EXPECT_EQ(random.NextBelow(100), 68u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(random.NextBelow(1), 0u);
        EXPECT_EQ(random.NextBelow(0), 0u);
        EXPECT_LT(random.NextBelow(7), 7u);
    }
}

TEST(RandomNumber, GlobalGeneratorFollowsItsSeed)
{
    Lumo::SeedRandom(4357);
    EXPECT_EQ(Lumo::RandomNumber(100), 68);
    EXPECT_EQ(Lumo::RandomNumber(0), 0);
    Lumo::SeedRandom(4357);
    MersenneTwister reference;
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(Lumo::RandomNumber(1000), int32_t(reference.NextBelow(1000)));
}

// Two threads together draw exactly the numbers one thread would have drawn:
// none lost, none repeated.
TEST(RandomNumber, TwoThreadsShareOneSequence)
{
    const int perThread = 100000;
    const int32_t range = 0x7FFFFFFF;
    Lumo::SeedRandom(77);
    std::vector<int32_t> first(perThread), second(perThread);
    std::thread other([&] {
        for (int32_t& value : second)
            value = Lumo::RandomNumber(range);
    });
    for (int32_t& value : first)
        value = Lumo::RandomNumber(range);
    other.join();

    std::vector<int32_t> drawn = first;
    drawn.insert(drawn.end(), second.begin(), second.end());
    MersenneTwister reference(77);
    std::vector<int32_t> expected;
    for (int i = 0; i < 2 * perThread; ++i)
        expected.push_back(int32_t(reference.NextBelow(range)));
    std::sort(drawn.begin(), drawn.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(drawn, expected);
}

TEST(RuntimeRandom, FollowsTheRuntimeSequence)
{
    // Unseeded, a thread's sequence is that of seed 1.
    std::vector<int32_t> unseeded;
    std::thread([&] {
        for (int i = 0; i < 5; ++i)
            unseeded.push_back(Lumo::Rand());
    }).join();
    EXPECT_EQ(unseeded, (std::vector<int32_t>{41, 18467, 6334, 26500, 19169}));

    Lumo::SRand(1);
    EXPECT_EQ(Lumo::Rand(), 41);
    EXPECT_EQ(Lumo::Rand(), 18467);
    Lumo::SRand(0);
    EXPECT_EQ(Lumo::Rand(), 38);
    EXPECT_EQ(Lumo::Rand(), 7719);
}
