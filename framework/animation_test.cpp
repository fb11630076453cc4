#include "framework/animation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using qv::FadeStep;

std::vector<FadeStep> FadeSequence(int alpha, FadeStep (*step)(int)) {
    std::vector<FadeStep> steps;
    for (FadeStep next{alpha, false}; !next.done;) {
        next = step(next.alpha);
        steps.push_back(next);
    }
    return steps;
}

std::vector<int> Alphas(const std::vector<FadeStep>& steps) {
    std::vector<int> alphas;
    for (const FadeStep& step : steps) {
        alphas.push_back(step.alpha);
    }
    return alphas;
}

TEST(Fade, InClimbsByFiftyAndStopsAtTwoThirty) {
    EXPECT_EQ(FadeSequence(0, qv::FadeInStep),
              (std::vector<FadeStep>{
                  {50, false}, {100, false}, {150, false}, {200, false}, {230, true}}));
    EXPECT_EQ(qv::FadeInStep(230), (FadeStep{230, true}));
    // Reaching 230 exactly takes one more step to notice the end.
    EXPECT_EQ(Alphas(FadeSequence(130, qv::FadeInStep)), (std::vector<int>{180, 230, 230}));
}

TEST(Fade, OutFallsByFiftyAndStopsAtZero) {
    EXPECT_EQ(Alphas(FadeSequence(230, qv::FadeOutStep)), (std::vector<int>{180, 130, 80, 30, 0}));
    EXPECT_EQ(qv::FadeOutStep(0), (FadeStep{0, true}));
    EXPECT_EQ(Alphas(FadeSequence(0, qv::FadeOutStep)), (std::vector<int>{0}));
    // Only a negative result ends it: reaching 0 exactly takes one more step.
    EXPECT_EQ(Alphas(FadeSequence(100, qv::FadeOutStep)), (std::vector<int>{50, 0, 0}));
}

} // namespace
