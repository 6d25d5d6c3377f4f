// A module that goes away while connected (simulator killed, adapter pulled): the port is
// closed and the window says so, whether the port reports it while idle or a command finds it.
#include "ConfigWidgetSupport.h"
#include "link/SerialLink.h"

#include <QComboBox>
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

// A GPS receiver on the port chosen by mistake: Connect gives up with a box, not connected.
TEST(LinkLoss, ConnectToADeviceThatKeepsSendingEndsNotConnectedWithABox) {
    configtest::ModuleWindow m;
    m.Sim().SetStreaming(true);
    const auto start = std::chrono::steady_clock::now();
    m.Click("ConnectBtn");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_EQ(m.LastLine().toStdString(), vemo::KeepsSendingText);
    ASSERT_EQ(m.prompt.Boxes.size(), 1u);
    EXPECT_EQ(m.prompt.Boxes[0].text + "|" + m.prompt.Boxes[0].caption,
              std::string(vemo::KeepsSendingText) + "|Vemo");
    EXPECT_EQ(m.status.text(), "Not Connected");
    EXPECT_FALSE(vemo::Link().IsOpen());
}

// The module goes while a question is open: Yes then sends nothing and claims nothing.
TEST(LinkLoss, AQuestionAnsweredAfterTheModuleWentAwaySendsNothing) {
    for (const char* action : {"EraseDataBtn", "BitBtn1"}) { // BitBtn1: "Reset Defaults"
        SCOPED_TRACE(action);
        configtest::ModuleWindow m;
        m.Click("ConnectBtn");
        m.Click("DLInfoBtn");
        const int sets = m.Control<QComboBox>("SetList")->count();
        m.prompt.WhileAsking = [&] {
            m.Sim().ClosePort();
            configtest::WaitFor([&] { return m.status.text() == "Not Connected"; }, 3000);
        };
        const auto start = std::chrono::steady_clock::now();
        m.Click(action);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
        EXPECT_EQ(m.w.Lines(), QStringList{"Not Connected"});
        EXPECT_EQ(m.Control<QComboBox>("SetList")->count(), sets);
    }
}

} // namespace
