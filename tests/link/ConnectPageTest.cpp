// The "Connect / Download" page, driven through its controls, against the simulator whose
// port the page finds in the simulator's link folder.
#include "link/ui/ConnectPage.h"
#include "LinkTestSupport.h"
#include "data/ui/MainStatus.h"
#include "link/PortList.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace vemo;
namespace fs = std::filesystem;

namespace {

class ConnectPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Start());
        folder = fs::temp_directory_path() / ("vemo-page-links-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::create_symlink(sim.PortPath(), folder / ("vemo-sim-" + std::to_string(::getpid())));
        ::setenv("VEMO_PORT_LINKS", folder.c_str(), 1);

        status = new QLabel("Not Connected", &window);
        MainStatus.ConnectStatusDisp = status;
        auto* layout = new QVBoxLayout(&window);
        tabs = new QTabWidget(&window);
        layout->addWidget(tabs);
        page = new ConnectPage;
        page->SpeedBox->setCurrentIndex(5);
        tabs->addTab(page, "Connect / Download");
        other = new QWidget;
        firmware = new QLabel(other);
        firmware->setObjectName("FirmwareVersionDisp");
        page->OnFirmwareVersion = [this](const QString& version) { firmware->setText(version); };
        tabs->addTab(other, "Configure");
        page->SetPrompt(&prompt);
    }
    // Chooses a port of the test's own and takes it away, as an adapter pulled out. A stopped
    // simulator's pseudo-terminal would not do: a test running beside this one can be given
    // the freed number and open it.
    void ChooseAPortThatWentAway() {
        fs::create_directories(folder / "targets");
        const fs::path gone = folder / "targets" / "ttyGONE";
        std::ofstream(gone).put('\n');
        fs::create_symlink(gone, folder / "b-gone");
        auto* ports = Control<QComboBox>("CommPortBox");
        ports->showPopup();
        ports->hidePopup();
        ports->setCurrentIndex(ports->findText(QString::fromStdString(gone.string()) +
                                               "   Vemo module simulator   SIM"));
        ASSERT_GE(ports->currentIndex(), 0);
        fs::remove(gone);
    }
    void TearDown() override {
        Link().ClosePort();
        MainStatus.ConnectStatusDisp = nullptr;
        ::unsetenv("VEMO_PORT_LINKS");
        fs::remove_all(folder);
    }
    template <typename T> T* Control(const char* name) {
        T* control = window.findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void Click(const char* name) { Control<QPushButton>(name)->click(); }
    QString Info() { return Control<QPlainTextEdit>("InfoText")->toPlainText(); }

    vemosim::Simulator sim;
    fs::path folder;
    QWidget window;
    QLabel* status = nullptr;
    QTabWidget* tabs = nullptr;
    ConnectPage* page = nullptr;
    QWidget* other = nullptr;
    QLabel* firmware = nullptr;
    linktest::RecordingPrompt prompt;
};

TEST_F(ConnectPageTest, TheControlsAreThereWithTheirTextsAndLook) {
    auto* info = Control<QPlainTextEdit>("InfoText");
    EXPECT_TRUE(info->isReadOnly());
    EXPECT_EQ(info->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(info->font().family(), "Courier New");
    EXPECT_EQ(info->font().pixelSize(), 15);
    EXPECT_TRUE(info->font().bold());
    EXPECT_EQ(info->palette().color(QPalette::Text), QColor(Qt::blue));

    auto* speed = Control<QComboBox>("SpeedBox");
    QStringList speeds;
    for (int i = 0; i < speed->count(); ++i)
        speeds << speed->itemText(i);
    EXPECT_EQ(speeds, QStringList({"2400", "4800", "9600", "19200", "38400", "115200"}));
    EXPECT_EQ(speed->currentIndex(), 5);

    auto* sets = Control<QComboBox>("SetList");
    EXPECT_EQ(sets->count(), 0);
    EXPECT_EQ(sets->currentIndex(), -1);
    EXPECT_EQ(sets->placeholderText(), "(none)");

    EXPECT_EQ(Control<QPushButton>("ConnectBtn")->text(), "Connect");
    EXPECT_EQ(Control<QPushButton>("ConnectBtn")->toolTip(),
              "Connect or Disconnect to the Vemo Module");
    EXPECT_EQ(Control<QPushButton>("DLInfoBtn")->text(), "Download Info");
    EXPECT_EQ(Control<QPushButton>("DLDataBtn")->text(), "Download Data");
    EXPECT_EQ(Control<QPushButton>("EraseDataBtn")->text(), "Erase Data");
    auto* size = Control<QCheckBox>("SizeChk");
    EXPECT_EQ(size->text(), "Sizeable Window");
    EXPECT_EQ(size->toolTip(), "Check/uncheck to make main window sizeable/unsizeable.  "
                               "Restart program to take effect.");

    // Everything fits the page area.
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(QRect(0, 0, 748, 488).contains(child->geometry()))
            << child->objectName().toStdString();
}

TEST_F(ConnectPageTest, TheSimulatorIsListedFirstAndConnectThenDownloadInfoShowsTheModule) {
    auto* ports = Control<QComboBox>("CommPortBox");
    ASSERT_GE(ports->count(), 1);
    EXPECT_EQ(ports->itemText(0).toStdString(), sim.PortPath() + "   Vemo module simulator   SIM");
    EXPECT_EQ(ports->currentIndex(), 0);

    sim.SetIdentity({"VEMO", "MOD2", "1.07", "03-14-24"});
    {
        // The speed shown is the one used, whoever set the box.
        QSignalBlocker quiet(Control<QComboBox>("SpeedBox"));
        Control<QComboBox>("SpeedBox")->setCurrentIndex(4);
    }
    Click("ConnectBtn");
    for (int i = 0; i < 100 && sim.LineSpeed() != 38400; ++i)
        usleep(10000);
    EXPECT_EQ(sim.LineSpeed(), 38400);
    EXPECT_TRUE(page->Context().state.Connected);
    EXPECT_EQ(Control<QPushButton>("ConnectBtn")->text(), "Disconnect");
    EXPECT_EQ(status->text(), "Connected");

    Click("DLInfoBtn");
    const int sets = sim.SetCount();
    EXPECT_EQ(Info(), QString("     Device Name: VEMO\n           Model: MOD2\n\n"
                              "Software Version: 1.07\n   Software Date: 03-14-24\n\n\n"
                              "Memory contains %1 data sets.")
                          .arg(sets));
    auto* list = Control<QComboBox>("SetList");
    ASSERT_EQ(list->count(), sets + 1);
    EXPECT_EQ(list->itemText(0), "1");
    EXPECT_EQ(list->itemText(sets), "All");
    EXPECT_EQ(list->currentText(), "1");
    EXPECT_EQ(firmware->text(), "1.07");

    if (const char* dir = std::getenv("VEMO_SHOT_DIR")) {
        window.resize(780, 540);
        window.show();
        page->grab().save(QString(dir) + "/link-connect-page.png");
    }

    // Erase after Yes empties the set list, "(none)" included.
    prompt.Answer = true;
    Click("EraseDataBtn");
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(list->currentText(), "");
    EXPECT_EQ(list->placeholderText(), "");

    // A new speed while connected drops the connection.
    Control<QComboBox>("SpeedBox")->setCurrentIndex(3);
    EXPECT_EQ(page->Context().state.SpeedIndex, 3);
    EXPECT_FALSE(page->Context().state.Connected);
    EXPECT_EQ(Control<QPushButton>("ConnectBtn")->text(), "Connect");
    EXPECT_EQ(status->text(), "Not Connected");
    EXPECT_FALSE(Link().IsOpen());
}

// A double click on Connect disconnects, and the log says so; a new connection may be to
// another module, so the old module's sets are no longer offered.
TEST_F(ConnectPageTest, DisconnectingIsLoggedAndANewConnectionForgetsTheSetList) {
    auto* list = Control<QComboBox>("SetList");
    for (const char* button : {"ConnectBtn", "DLInfoBtn", "ConnectBtn"})
        Click(button);
    EXPECT_EQ(Info().section('\n', -1), "Disconnected.");
    Click("ConnectBtn");
    EXPECT_TRUE(page->Context().state.Connected);
    EXPECT_EQ(list->count(), 0);
}

TEST_F(ConnectPageTest, AConfigurePageCommandWhileNotConnectedBringsThisPageToTheFront) {
    tabs->setCurrentWidget(other);
    page->CalibrateClick("100");
    EXPECT_EQ(tabs->currentWidget(), page);
    EXPECT_EQ(Info(), "Not Connected");

    tabs->setCurrentWidget(other);
    Click("DLInfoBtn"); // on this page already: no page change asked
    EXPECT_EQ(tabs->currentWidget(), other);
    EXPECT_EQ(Info(), "Not Connected");
}

TEST_F(ConnectPageTest, DownloadDataGoesToTheDownloadHandler) {
    int calls = 0;
    page->OnDownloadData = [&](ModuleContext& ctx) {
        ++calls;
        ctx.log.Append("handled");
    };
    Click("DLDataBtn");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Info(), "handled");
}

TEST_F(ConnectPageTest, AFailedOpenKeepsTheBoxAndExplainsInTheLog) {
    ChooseAPortThatWentAway();
    Click("ConnectBtn");
    ASSERT_EQ(prompt.Boxes.size(), 1u);
    EXPECT_EQ(prompt.Boxes[0].text, "Unable to open Serial Port");
    EXPECT_EQ(prompt.Boxes[0].caption, "Error");
    EXPECT_TRUE(Info().startsWith("Cannot open ")) << Info().toStdString();
    EXPECT_EQ(Control<QPushButton>("ConnectBtn")->text(), "Connect");
    EXPECT_EQ(status->text(), "Not Connected");
}

TEST_F(ConnectPageTest, EraseDataAsksUnderItsOwnCaptionWithNoAsTheDefaultButton) {
    Click("ConnectBtn");
    Click("DLInfoBtn");
    const int sets = sim.SetCount();
    page->SetPrompt(nullptr); // the real message box
    QString caption;
    bool noIsDefault = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        caption = box->windowTitle();
        noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
        QTest::keyClick(box, Qt::Key_Return); // Enter takes the default
    });
    Click("EraseDataBtn");
    EXPECT_EQ(caption, "Erase Data");
    EXPECT_TRUE(noIsDefault);
    usleep(100000);
    EXPECT_EQ(sim.SetCount(), sets);
}

TEST_F(ConnectPageTest, ThePortListIsReadAgainWhenItOpensAndWhenConnectFails) {
    auto* ports = Control<QComboBox>("CommPortBox");
    const int machinePorts = ports->count() - 1; // besides the simulator, listed first
    const QString first = ports->itemText(0);
    const auto simLine = [](const vemosim::Simulator& s) {
        return QString::fromStdString(s.PortPath() + "   Vemo module simulator   SIM");
    };

    // A simulator started after the page was made; its link sorts before the first one's.
    vemosim::Simulator later;
    ASSERT_TRUE(later.Start());
    fs::create_symlink(later.PortPath(), folder / "a-later-sim");
    ports->showPopup();
    ports->hidePopup();
    ASSERT_EQ(ports->count(), machinePorts + 2);
    EXPECT_EQ(ports->itemText(0), simLine(later));
    EXPECT_EQ(ports->currentText(), first); // the chosen port is kept by name

    // The chosen port goes away: Connect fails and the list no longer offers it.
    ChooseAPortThatWentAway();
    Click("ConnectBtn");
    ASSERT_EQ(prompt.Boxes.size(), 1u); // "Unable to open Serial Port"
    ASSERT_EQ(ports->count(), machinePorts + 2);
    EXPECT_EQ(ports->itemText(0), simLine(later));
    EXPECT_EQ(ports->currentIndex(), -1); // not silently another device
}

} // namespace
