#pragma once

// Waiting checks for GoogleTest: let events run until a condition holds or the
// time is up, then check it as any other expectation. (Qt's own QTRY_ macros
// report to Qt's test logger, which a GoogleTest program never reads, so a
// failure there would pass unseen.) The ASSERT_ forms return from the
// function on failure, as QTRY_ did.
#include <QDeadlineTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace Eventually {
// Checks `holds` every few milliseconds, letting events run in between.
// (QTest::qWaitFor lets events run for all the remaining time in one go,
// which a busy web engine can keep filling long after the condition held.)
template <class Predicate>
bool WaitFor(Predicate holds, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!holds()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}
}  // namespace Eventually

#define NIMBREL_WAIT_FOR(cond, ms) Eventually::WaitFor([&] { return static_cast<bool>(cond); }, ms)

#define EXPECT_EVENTUALLY(cond, ms) EXPECT_TRUE(NIMBREL_WAIT_FOR(cond, ms)) << "never held: " #cond
#define ASSERT_EVENTUALLY(cond, ms) ASSERT_TRUE(NIMBREL_WAIT_FOR(cond, ms)) << "never held: " #cond
#define EXPECT_EVENTUALLY_EQ(a, b, ms) \
    do {                               \
        NIMBREL_WAIT_FOR((a) == (b), ms); \
        EXPECT_EQ(a, b);               \
    } while (false)
#define ASSERT_EVENTUALLY_EQ(a, b, ms) \
    do {                               \
        NIMBREL_WAIT_FOR((a) == (b), ms); \
        ASSERT_EQ(a, b);               \
    } while (false)
