// Pictures of the Configure page and the service dialog for people to look at; written only
// when VEMO_SHOTS_DIR names a folder.
#include "ConfigWidgetSupport.h"
#include "link/ConfigOps.h"
#include "link/ModuleConfig.h"
#include "link/ui/ConfigurePage.h"
#include "link/ui/ModSetForm.h"

#include <QLabel>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace vemo;

TEST(ConfigShots, ConfigurePageAndServiceDialog) {
    const QString dir = qEnvironmentVariable("VEMO_SHOTS_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "VEMO_SHOTS_DIR not set";
    configtest::EnsureApp();
    Config = ModuleConfig{};
    Config.IntervalCount = 10;
    Config.MemorySize = 4;
    Config.AltUnit = 0;
    Config.ModuleVersion = 3;
    Config.AutoStartSec = 10;
    Config.AutoStartAltitude = 20;
    Config.AutoStopSec = 60;
    Config.AutoStopAltitude = 15;
    SplitInterval(Interval, 1000);

    ConfigurePage page;
    page.resize(748, 488);
    ConfigDisplay.ShowBlock();
    ConfigDisplay.ShowInterval();
    page.FirmwareVersionDisp->setText("0.03");
    page.show();
    const QPixmap shot = page.grab();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(dir + "/configure_page.png"));

    TModSetForm dialog;
    dialog.show();
    EXPECT_TRUE(dialog.grab().save(dir + "/modsetform.png"));
}
