#include "typingrhythm.h"

#include <algorithm>
#include <array>

namespace {
// Gaps between key-downs and hold times in milliseconds: uneven, as real typing is, and every hold shorter
// than the next gap, so that keys do not overlap and each key-up delay is its own key's hold time.
constexpr std::array<int, 7> kGaps = {185, 140, 230, 160, 205, 150, 250};
constexpr std::array<int, 5> kHolds = {95, 80, 110, 85, 100};
} // namespace

QStringList KeyEventPlan::xdotoolArgs() const
{
    QStringList args;
    int now = 0;
    for (const Event &e : events) {
        if (e.atMs > now) {
            args << QStringLiteral("sleep") << QString::number((e.atMs - now) / 1000.0, 'f', 3);
            now = e.atMs;
        }
        args << (e.down ? QStringLiteral("keydown") : QStringLiteral("keyup")) << QStringLiteral("--delay")
             << QStringLiteral("0") << e.keyName;
    }
    return args;
}

TypingRhythm::TypingRhythm(quint32 seed, int jitterMs) : m_random(seed), m_jitterMs(jitterMs) { }

int TypingRhythm::gapBeforeMs(int i)
{
    return kGaps[i % kGaps.size()];
}

int TypingRhythm::holdMs(int i)
{
    return kHolds[i % kHolds.size()];
}

KeyEventPlan TypingRhythm::plan(const QString &text)
{
    const auto jitter = [this] {
        return m_random.bounded(2 * m_jitterMs + 1) - m_jitterMs;
    };
    KeyEventPlan plan;
    int down = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (i > 0)
            down += gapBeforeMs(i) + jitter();
        const QString name(text.at(i));
        plan.events.append({true, name, down});
        plan.events.append({false, name, down + holdMs(i) + jitter()});
    }
    std::stable_sort(plan.events.begin(), plan.events.end(),
                     [](const KeyEventPlan::Event &a, const KeyEventPlan::Event &b) { return a.atMs < b.atMs; });
    return plan;
}
