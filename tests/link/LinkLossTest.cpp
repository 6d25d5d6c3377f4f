// A module that goes away while connected (simulator killed, adapter pulled): the port is
// closed and the window says so, whether the port reports it while idle or a command finds it.
#include "ConfigWidgetSupport.h"
#include "link/SerialLink.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(LinkLoss, AModuleThatWentAwayIsDisconnectedAndTheLogSaysSo) {
    // "" waits with no command; the others are clicked after the module went away.
    for (const char* action : {"", "WriteCfgBtn", "EraseDataBtn", "CalBtn", "ReadCfgBtn",
                               "ResetModuleBtn", "DLInfoBtn"}) {
        SCOPED_TRACE(action);
        configtest::ModuleWindow m;
        m.Click("ConnectBtn");
        ASSERT_EQ(m.status.text(), "Connected");
        ASSERT_EQ(m.LastLine(), "Configuration loaded.");

        m.Sim().ClosePort();
        m.prompt.Answer = true; // "Erase Data" asks first
        if (*action)
            m.Click(action);
        else
            configtest::WaitFor([&] { return m.status.text() == "Not Connected"; }, 3000);

        EXPECT_EQ(m.LastLine(), "The module was disconnected.");
        EXPECT_EQ(m.Control<QPushButton>("ConnectBtn")->text(), "Connect");
        EXPECT_EQ(m.status.text(), "Not Connected");
        EXPECT_FALSE(m.w.connectPage->Context().state.Connected);
        EXPECT_FALSE(vemo::Link().IsOpen());
        for (const auto& box : m.prompt.Boxes)
            EXPECT_TRUE(box.question) << box.text; // no error box on top of the line
    }
}

} // namespace
