#include "dock/core/TFloatingSizes.h"

#include <algorithm>
#include <cstdlib>

namespace zb {

std::vector<TSize> BuildPotentialSizesList(const std::function<TSize(int)>& measure, int minWidth) {
    std::vector<TSize> list;
    const TSize oneLine = measure(0);
    list.push_back(oneLine);
    int lastHeight = oneLine.cy;
    int i = oneLine.cx - 1;
    while (i >= minWidth) {
        const TSize s = measure(i);
        if (i < s.cx) break;  // the layout cannot get narrower
        if (s.cx == i) {
            // A narrower layout of the same height replaces the previous entry.
            if (s.cy == lastHeight && list.size() > 1) list.pop_back();
            if (std::find(list.begin(), list.end(), s) == list.end()) list.push_back(s);
            lastHeight = s.cy;
            --i;
        } else {
            i = s.cx;
        }
    }
    return list;
}

void TFloatingResizeTracker::ResizeBegin(TToolWindowSizeHandle handle,
                                         const std::vector<TSize>& clientSizes, TSize frame,
                                         int frameLeftRight, TSize current) {
    FActive = true;
    FHandle = handle;
    FByHeight = handle == twshTop || handle == twshBottom;
    FFrameLeftRight = frameLeftRight;
    FCandidates.clear();
    for (TSize s : clientSizes)
        FCandidates.push_back({s.cx + frame.cx, s.cy + frame.cy});
    if (FCandidates.empty()) FCandidates.push_back(current);
    const TSize oneLine = FCandidates.front();
    // Tallest first for a top or bottom border, widest first otherwise.
    std::stable_sort(FCandidates.begin(), FCandidates.end(),
                     [&](TSize a, TSize b) { return Key(a) > Key(b); });
    FOneLine = static_cast<int>(std::find(FCandidates.begin(), FCandidates.end(), oneLine) -
                                FCandidates.begin());
    // The current size is the candidate nearest to the window's size now.
    FCurrent = 0;
    long best = -1;
    for (std::size_t i = 0; i < FCandidates.size(); ++i) {
        const long d = std::labs(static_cast<long>(FCandidates[i].cx) - current.cx) +
                       std::labs(static_cast<long>(FCandidates[i].cy) - current.cy);
        if (best < 0 || d < best) {
            best = d;
            FCurrent = static_cast<int>(i);
        }
    }
    ComputeSnap();
}

void TFloatingResizeTracker::ComputeSnap() {
    FSnap = 12;
    const int here = Key(FCandidates[FCurrent]);
    if (FCurrent > 0) FSnap = std::min(FSnap, std::abs(Key(FCandidates[FCurrent - 1]) - here) - 1);
    if (FCurrent + 1 < static_cast<int>(FCandidates.size()))
        FSnap = std::min(FSnap, std::abs(Key(FCandidates[FCurrent + 1]) - here) - 1);
    FSnap = std::max(FSnap, 0);
}

TRect TFloatingResizeTracker::ResizeTrack(const TRect& dragged, const TRect& start) {
    const int wanted = FByHeight ? dragged.Height() : dragged.Width();
    const int here = Key(FCandidates[FCurrent]);
    if (std::abs(wanted - here) > FSnap) {
        // The candidate nearest the dragged extent; on a tie the larger one.
        int best = FCurrent;
        int bestDistance = -1;
        for (std::size_t i = 0; i < FCandidates.size(); ++i) {
            const int d = std::abs(Key(FCandidates[i]) - wanted);
            if (bestDistance < 0 || d < bestDistance ||
                (d == bestDistance && Key(FCandidates[i]) > Key(FCandidates[best]))) {
                bestDistance = d;
                best = static_cast<int>(i);
            }
        }
        if (best != FCurrent) {
            FCurrent = best;
            ComputeSnap();
        }
    }
    const TSize size = FCandidates[FCurrent];
    const bool keepRight =
        FHandle == twshLeft || FHandle == twshTopLeft || FHandle == twshBottomLeft;
    const bool keepBottom = FHandle == twshTop || FHandle == twshTopLeft || FHandle == twshTopRight;
    const int left = keepRight ? start.right - size.cx : start.left;
    const int top = keepBottom ? start.bottom - size.cy : start.top;
    return TRect::FromSize(left, top, size.cx, size.cy);
}

int TFloatingResizeTracker::WrapWidth() const {
    if (FCandidates.empty() || FCurrent == FOneLine) return 0;
    return FCandidates[FCurrent].cx - FFrameLeftRight;
}

int TFloatingResizeTracker::ResizeEnd(bool accept) {
    const int wrap = accept && FActive ? WrapWidth() : -1;
    FActive = false;
    FCandidates.clear();
    return wrap;
}

}  // namespace zb
