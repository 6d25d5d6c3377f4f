// The kept settings as the store reads and writes them: typed values, the first unreadable
// value ending the reading, the fallbacks, and what a close writes.
#include "TestSettings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vemo;

namespace {

// The windows' initial state with the fallbacks, the port the first of the list.
AppSettings FirstRun() {
    AppSettings s;
    s.ComPort = 0;
    s.SpeedIndex = 5;
    s.PrtWidth = 7.0;
    s.PrtHeight = 3.5;
    s.BGColor = 0xFFFFFF;
    s.GridColor = 0x808080;
    s.InfoColor = 0x0000FF;
    s.Interval = 100;
    return s;
}

class AppSettingsTest : public ::testing::Test {
protected:
    // Loads into the windows' initial state and stores what was loaded, as a run does.
    AppSettings Run(int expectRead) {
        AppSettings s;
        const SettingsLoad load = LoadSettings(store, s);
        EXPECT_EQ(load.ValuesRead, expectRead);
        EXPECT_EQ(load.FellBack, expectRead < SettingsBaseValueCount);
        EXPECT_EQ(StoreSettings(store, s), SettingsValueCount);
        return s;
    }

    QTemporaryDir dir;
    const QString file = dir.filePath("Vemo.ini");
    IniSettingsStore store{file};
};

} // namespace

TEST_F(AppSettingsTest, ValuesComeBackAsStoredInTheirTypesNumberTextsAsTheirLeadingNumber) {
    AppSettings s = ChosenSettings();
    s.AutoStartSec = "12abc";
    s.AutoStartAltitude = "abc";
    s.AutoStopSec = "  -7 s";
    s.AutoStopAltitude = "99999999999"; // saturates
    ASSERT_EQ(StoreSettings(store, s), SettingsValueCount);
    {
        QSettings raw(file, QSettings::IniFormat);
        raw.beginGroup("Settings");
        EXPECT_EQ(raw.childKeys().size(), SettingsValueCount);
        // Floats are their 8 little-endian bytes; integers plain numbers.
        EXPECT_EQ(raw.value("PrtHeight").toByteArray(), QByteArray("\0\0\0\0\0\0\x04\x40", 8));
        EXPECT_EQ(raw.value("AutoZero").toString(), "-1");
        raw.setValue("Interval", 65636); // only the low 16 bits count
    }
    s.AutoStartSec = "12";
    s.AutoStartAltitude = "0";
    s.AutoStopSec = "-7";
    s.AutoStopAltitude = "2147483647";
    s.Interval = 100;
    EXPECT_EQ(Run(SettingsValueCount), s);
}

TEST_F(AppSettingsTest, TheFirstUnreadableValueEndsTheReadingAndTheFallbacksAreStored) {
    // A "PrtWidth" written as an integer: what came before it is as read, except the speed;
    // after it the windows' initial state; then the fallbacks.
    AppSettings afterPrtWidth = FirstRun();
    afterPrtWidth.ComPort = 2;
    afterPrtWidth.Left = 10;
    afterPrtWidth.Top = 20;
    afterPrtWidth.SimulateTarget = afterPrtWidth.ShowPoints = afterPrtWidth.ShowBackground = true;
    afterPrtWidth.ShowAvgROC = afterPrtWidth.BlankPart = afterPrtWidth.RevTrig = true;
    afterPrtWidth.Triggered = afterPrtWidth.Sizeable = true;
    afterPrtWidth.ShowInfo = false;
    AppSettings withoutName = ChosenSettings();
    withoutName.ComPortName.clear();
    AppSettings withoutSpeed = withoutName;
    withoutSpeed.ShowVerticalSpeed = false;
    const struct {
        const char* name; // planted over the stored values; none: no file, a first run
        QVariant value;
        int read;
        AppSettings expected;
    } cases[] = {{nullptr, {}, 0, FirstRun()},
                 {"ComPort", "first", 0, FirstRun()},
                 {"PrtWidth", 7, 13, afterPrtWidth},
                 // Removed: a file from before this value, which alone starts unchecked.
                 {"ShowVerticalSpeed", {}, SettingsBaseValueCount, withoutSpeed},
                 {"ComPortName", {}, SettingsBaseValueCount + 1, withoutName}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "first run");
        if (c.name) {
            ASSERT_EQ(StoreSettings(store, ChosenSettings()), SettingsValueCount);
            QSettings raw(file, QSettings::IniFormat);
            const QString key = QString("Settings/") + c.name;
            c.value.isValid() ? raw.setValue(key, c.value) : raw.remove(key);
        }
        EXPECT_EQ(Run(c.read), c.expected);
        EXPECT_EQ(Run(SettingsValueCount), c.expected); // the close stored the fallbacks
    }
}

TEST_F(AppSettingsTest, IntegersAndFloatsAreToldApartAsTheRegistryTellsThem) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "[Settings]\ni1=12\ni2=-1\ni3=4294967295\ni4=-2147483648\n"
        "bad1=4294967296\nbad2=12abc\nbad3=\nbad4=1, 2\nbad5=@ByteArray(\\0\\0\\0\\0\\0\\0\\x1c@)\n"
        "f1=@ByteArray(\\0\\0\\0\\0\\0\\0\\x1c@)\nfbad1=@ByteArray(abcd)\nfbad2=7.0\n"
        "fbad3=@ByteArray(\\0\\0\\0\\0\\0\\0\\x1c@\\0)\n");
    f.close();
    ASSERT_TRUE(store.Open());
    EXPECT_EQ(store.ReadInteger("i1"), 12u);
    EXPECT_EQ(store.ReadInteger("i2"), 0xFFFFFFFFu);
    EXPECT_EQ(store.ReadInteger("i3"), 0xFFFFFFFFu);
    EXPECT_EQ(store.ReadInteger("i4"), 0x80000000u);
    for (const char* name : {"bad1", "bad2", "bad3", "bad4", "bad5", "missing"})
        EXPECT_FALSE(store.ReadInteger(name).has_value()) << name;
    EXPECT_EQ(store.ReadFloat("f1"), 7.0);
    for (const char* name : {"fbad1", "fbad2", "fbad3", "i1", "missing"})
        EXPECT_FALSE(store.ReadFloat(name).has_value()) << name;
    store.Close();
}

TEST_F(AppSettingsTest, AStoreThatCannotBeWrittenKeepsNothingAndTheCallerGoesOn) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("Vemo.ini")); // a folder where the file should be
    EXPECT_EQ(StoreSettings(store, ChosenSettings()), 0);
    AppSettings s;
    EXPECT_TRUE(LoadSettings(store, s).FellBack);
}
