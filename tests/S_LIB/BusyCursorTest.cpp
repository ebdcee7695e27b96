#include "BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace {

Qt::CursorShape OverrideShape()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::BlankCursor;
}

} // namespace

TEST(BusyCursorTest, NestedGuardsRestoreInTurnAlsoWhenTheWorkThrows)
{
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        const BusyCursor outer;
        EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
        EXPECT_THROW(
            {
                const BusyCursor inner;
                throw std::runtime_error("work failed");
            },
            std::runtime_error);
        EXPECT_EQ(OverrideShape(), Qt::WaitCursor); // the outer one still holds
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(BusyCursorTest, WorkerThreadLeavesTheCursorAlone)
{
    // The cursor belongs to the user-interface thread; a worker must not touch it.
    bool changed = true;
    std::thread worker([&changed] {
        const BusyCursor busy;
        changed = QGuiApplication::overrideCursor() != nullptr;
    });
    worker.join();
    EXPECT_FALSE(changed);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
