// A blocking module command shows a busy cursor, holds the controls, and drops input meanwhile.
#include "ConfigWidgetSupport.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

// A click as the window system delivers it once the blocked window is free again.
void PostClick(QWidget* target, QPoint at) {
    const QPointF local(at), global(target->mapToGlobal(at));
    QCoreApplication::postEvent(target,
                                new QMouseEvent(QEvent::MouseButtonPress, local, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(target,
                                new QMouseEvent(QEvent::MouseButtonRelease, local, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

TEST(BusyCommand, ClicksDuringResetModuleAreDroppedNotReplayed) {
    configtest::ModuleWindow m;
    m.w.window.show();
    m.Click("ConnectBtn");
    ASSERT_EQ(m.status.text(), "Connected");
    QTabBar* tabs = m.w.tabs->tabBar();
    auto* reset = m.Control<QPushButton>("ResetModuleBtn");

    // A posted click on the first tab does switch pages when nothing is busy.
    m.w.tabs->setCurrentWidget(m.configure);
    PostClick(tabs, tabs->tabRect(0).center());
    ASSERT_TRUE(configtest::WaitFor([&] { return m.w.tabs->currentWidget() == m.w.connectPage; }));
    m.w.tabs->setCurrentWidget(m.configure);

    linktest::PauseRecorder clock;
    bool clicked = false, enabledDuring = true;
    Qt::CursorShape cursorDuring = Qt::ArrowCursor;
    clock.OnPause = [&](std::uint32_t) {
        if (std::exchange(clicked, true)) return;
        enabledDuring = reset->isEnabled() || m.Control("ReadCfgBtn")->isEnabled() ||
                        m.Control("ConnectBtn")->isEnabled();
        if (const QCursor* c = QApplication::overrideCursor()) cursorDuring = c->shape();
        PostClick(reset, reset->rect().center());
        PostClick(tabs, tabs->tabRect(0).center());
        // The module restarts for a second and hears nothing meanwhile.
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    };
    vemo::Link().SetClock(&clock);
    m.Click("ResetModuleBtn");
    configtest::WaitFor([] { return false; }, 300); // whatever is left over runs now

    EXPECT_FALSE(enabledDuring);
    EXPECT_EQ(cursorDuring, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(reset->isEnabled());
    EXPECT_EQ(m.w.tabs->currentWidget(), m.configure);
    const auto sent = m.Sim().Received();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 'R'), 1);
    EXPECT_EQ(m.w.Lines().filter("Module reset.").size(), 1);
    EXPECT_EQ(m.LastLine(), "Configuration loaded.");
}

} // namespace
