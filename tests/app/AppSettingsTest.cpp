// The kept settings as the store reads and writes them: typed values, the first unreadable
// value ending the reading, the fallbacks, and what a close writes.
#include "app/AppSettings.h"
#include "app/SettingsStore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vemo;

namespace {

class AppSettingsTest : public ::testing::Test {
protected:
    QString File() const { return dir.filePath("Vemo.ini"); }
    void WriteFileText(const char* text) {
        QFile f(File());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    // One value as the file holds it, bypassing the store's types.
    void Plant(const char* name, const QVariant& v) {
        QSettings raw(File(), QSettings::IniFormat);
        raw.setValue(QString("Settings/") + name, v);
    }
    QVariant Raw(const char* name) {
        QSettings raw(File(), QSettings::IniFormat);
        return raw.value(QString("Settings/") + name);
    }

    // Every value away from its initial state.
    static AppSettings Chosen() {
        AppSettings s;
        s.ComPort = 2;
        s.SpeedIndex = 1;
        s.Left = 10;
        s.Top = 20;
        s.SimulateTarget = s.ShowPoints = s.ShowBackground = s.ShowAvgROC = true;
        s.ShowInfo = false;
        s.BlankPart = s.RevTrig = s.Triggered = s.Sizeable = true;
        s.PrtWidth = 5.25;
        s.PrtHeight = 2.5;
        s.PrtColor = true;
        s.BGColor = 0x102030;
        s.GridColor = 0x405060;
        s.ScaleColor = 0x708090;
        s.LabelColor = 0xA0B0C0;
        s.InfoColor = 0xD0E0F0;
        s.AutoStart = 3;
        s.AutoStartSec = "30";
        s.AutoStartAltitude = "-40";
        s.AutoStop = 2;
        s.AutoStopSec = "600";
        s.AutoStopAltitude = "5";
        s.AutoZero = -1;
        s.ExportType = 3;
        s.Interval = 250;
        return s;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(AppSettingsTest, FirstRunTakesTheFallbacksAndTheCloseWritesAllThirtyValues) {
    IniSettingsStore store(File());
    AppSettings s; // the windows' initial state
    const SettingsLoad load = LoadSettings(store, s);
    EXPECT_EQ(load.ValuesRead, 0);
    EXPECT_TRUE(load.FellBack);

    AppSettings expected;
    expected.ComPort = 0;
    expected.SpeedIndex = 5;
    expected.PrtWidth = 7.0;
    expected.PrtHeight = 3.5;
    expected.BGColor = 0xFFFFFF;
    expected.GridColor = 0x808080;
    expected.InfoColor = 0x0000FF;
    expected.Interval = 100;
    EXPECT_EQ(s, expected);

    EXPECT_EQ(StoreSettings(store, s), SettingsValueCount);
    QSettings raw(File(), QSettings::IniFormat);
    raw.beginGroup("Settings");
    EXPECT_EQ(raw.childKeys().size(), SettingsValueCount);
    // Floats are their 8 little-endian bytes; integers plain numbers.
    EXPECT_EQ(raw.value("PrtHeight").toByteArray(), QByteArray("\0\0\0\0\0\0\x0c\x40", 8));
    EXPECT_EQ(raw.value("BaudRate").toString(), "5");

    AppSettings again = Chosen();
    const SettingsLoad second = LoadSettings(store, again);
    EXPECT_EQ(second.ValuesRead, SettingsValueCount);
    EXPECT_FALSE(second.FellBack);
    EXPECT_EQ(again, expected);
}

TEST_F(AppSettingsTest, EveryValueComesBackAsStored) {
    IniSettingsStore store(File());
    ASSERT_EQ(StoreSettings(store, Chosen()), SettingsValueCount);
    AppSettings s;
    EXPECT_FALSE(LoadSettings(store, s).FellBack);
    EXPECT_EQ(s, Chosen());
    EXPECT_EQ(Raw("ComPort").toString(), "2");
    EXPECT_EQ(Raw("AutoZero").toString(), "-1");
}

TEST_F(AppSettingsTest, APrtWidthWrittenAsAnIntegerEndsTheReadingAndFallsBackFromThere) {
    IniSettingsStore store(File());
    ASSERT_EQ(StoreSettings(store, Chosen()), SettingsValueCount);
    Plant("PrtWidth", 7);

    AppSettings s; // the windows' initial state
    const SettingsLoad load = LoadSettings(store, s);
    EXPECT_EQ(load.ValuesRead, 13); // "ComPort" .. "Sizeable"
    EXPECT_TRUE(load.FellBack);

    AppSettings expected; // the values after "PrtWidth" keep the windows' state ...
    // ... those before it are as read, except the speed, which falls back although it read
    expected.ComPort = 2;
    expected.SpeedIndex = 5;
    expected.Left = 10;
    expected.Top = 20;
    expected.SimulateTarget = expected.ShowPoints = expected.ShowBackground = true;
    expected.ShowAvgROC = expected.BlankPart = expected.RevTrig = true;
    expected.Triggered = expected.Sizeable = true;
    expected.ShowInfo = false;
    // ... and the print size, the colours and the interval fall back.
    expected.PrtWidth = 7.0;
    expected.PrtHeight = 3.5;
    expected.BGColor = 0xFFFFFF;
    expected.GridColor = 0x808080;
    expected.InfoColor = 0x0000FF;
    expected.Interval = 100;
    EXPECT_EQ(s, expected);

    // The close stores the fallbacks, and the next start reads every value.
    ASSERT_EQ(StoreSettings(store, s), SettingsValueCount);
    EXPECT_EQ(Raw("PrtWidth").toByteArray(), QByteArray("\0\0\0\0\0\0\x1c\x40", 8));
    EXPECT_EQ(Raw("BaudRate").toString(), "5");
    EXPECT_EQ(Raw("PrtHeight").toByteArray(), QByteArray("\0\0\0\0\0\0\x0c\x40", 8));
    EXPECT_EQ(Raw("Interval").toString(), "100");
    AppSettings next;
    EXPECT_FALSE(LoadSettings(store, next).FellBack);
    EXPECT_EQ(next, expected);
}

TEST_F(AppSettingsTest, AnUnreadableComPortFallsBackToTheFirstPort) {
    IniSettingsStore store(File());
    ASSERT_EQ(StoreSettings(store, Chosen()), SettingsValueCount);
    Plant("ComPort", "first");
    AppSettings s;
    EXPECT_EQ(LoadSettings(store, s).ValuesRead, 0);
    EXPECT_EQ(s.ComPort, 0);
    EXPECT_EQ(s.Left, 339); // not read
}

TEST_F(AppSettingsTest, NumberTextsAreStoredAsTheirLeadingNumberAndTheIntervalAsSixteenBits) {
    IniSettingsStore store(File());
    AppSettings s = Chosen();
    s.AutoStartSec = "12abc";
    s.AutoStartAltitude = "abc";
    s.AutoStopSec = "  -7 s";
    s.AutoStopAltitude = "99999999999";
    ASSERT_EQ(StoreSettings(store, s), SettingsValueCount);
    EXPECT_EQ(Raw("AutoStartSec").toString(), "12");
    EXPECT_EQ(Raw("AutoStartAltitude").toString(), "0");
    EXPECT_EQ(Raw("AutoStopSec").toString(), "-7");
    EXPECT_EQ(Raw("AutoStopAltitude").toString(), "2147483647"); // saturated

    Plant("Interval", 65636);
    AppSettings back;
    ASSERT_FALSE(LoadSettings(store, back).FellBack);
    EXPECT_EQ(back.AutoStartSec, "12");
    EXPECT_EQ(back.AutoStartAltitude, "0");
    EXPECT_EQ(back.AutoStopSec, "-7");
    EXPECT_EQ(back.Interval, 100);
}

TEST_F(AppSettingsTest, IntegersAndFloatsAreToldApartAsTheRegistryTellsThem) {
    WriteFileText("[Settings]\n"
                  "i1=12\n"
                  "i2=-1\n"
                  "i3=4294967295\n"
                  "i4=-2147483648\n"
                  "bad1=4294967296\n"
                  "bad2=12abc\n"
                  "bad3=\n"
                  "bad4=1, 2\n"
                  "bad5=@ByteArray(\\0\\0\\0\\0\\0\\0\\x1c@)\n"
                  "f1=@ByteArray(\\0\\0\\0\\0\\0\\0\\x1c@)\n"
                  "fbad1=@ByteArray(abcd)\n"
                  "fbad2=7.0\n"
                  "fbad3=@ByteArray(\\0\\0\\0\\0\\0\\0\\x1c@\\0)\n");
    IniSettingsStore store(File());
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
    // A folder where the file should be: nothing can be written there.
    ASSERT_TRUE(QDir(dir.path()).mkdir("Vemo.ini"));
    IniSettingsStore store(File());
    EXPECT_EQ(StoreSettings(store, Chosen()), 0);
    AppSettings s;
    EXPECT_TRUE(LoadSettings(store, s).FellBack);
}
