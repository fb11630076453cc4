#pragma once

// Every panel animates itself on two window timers, every millisecond: id 10 steps it towards
// shown (slide down or fade in), id 11 towards hidden. Starting one stops the other, so the
// animation asked for last wins.
namespace qv {

// The timer ids of a panel (the playlist and news panels, the balloon, the player frame).
enum PanelTimer : unsigned {
    SlideInTimer = 10,
    FadeInTimer = 10,
    SlideOutTimer = 11,
    FadeOutTimer = 11,
};
inline constexpr unsigned kAnimationPeriodMs = 1;

// One tick of a fade; done means its timer stops.
struct FadeStep {
    int alpha;
    bool done;
    bool operator==(const FadeStep&) const = default;
};

inline constexpr int kFadedInAlpha = 230;
inline constexpr int kFadeStepSize = 50;

// In by 50 up to 230; reaching 230 exactly takes one more tick to notice the end.
constexpr FadeStep FadeInStep(int alpha) {
    alpha += kFadeStepSize;
    return alpha > kFadedInAlpha ? FadeStep{kFadedInAlpha, true} : FadeStep{alpha, false};
}

// Out by 50 down to 0.
constexpr FadeStep FadeOutStep(int alpha) {
    alpha -= kFadeStepSize;
    return alpha < 0 ? FadeStep{0, true} : FadeStep{alpha, false};
}

} // namespace qv
