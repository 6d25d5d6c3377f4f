#pragma once
// Settings for the tests. The test program keeps the user's settings in a temporary folder of
// its own (XDG_CONFIG_HOME), and every test starts as a first run (QtApp.cpp).
#include "app/AppSettings.h"
#include "app/SettingsStore.h"

#include <ostream>

// Every value away from the windows' initial state.
inline vemo::AppSettings ChosenSettings() {
    return {.ComPort = 2,
            .SpeedIndex = 1,
            .Left = 10,
            .Top = 20,
            .SimulateTarget = true,
            .ShowPoints = true,
            .ShowInfo = false,
            .ShowBackground = true,
            .ShowAvgROC = true,
            .BlankPart = true,
            .RevTrig = true,
            .Triggered = true,
            .Sizeable = true,
            .PrtWidth = 5.25,
            .PrtHeight = 2.5,
            .PrtColor = true,
            .BGColor = 0x102030,
            .GridColor = 0x405060,
            .ScaleColor = 0x708090,
            .LabelColor = 0xA0B0C0,
            .InfoColor = 0xD0E0F0,
            .AutoStart = 3,
            .AutoStartSec = "30",
            .AutoStartAltitude = "-40",
            .AutoStop = 2,
            .AutoStopSec = "600",
            .AutoStopAltitude = "5",
            .AutoZero = -1,
            .ExportType = 3,
            .Interval = 250,
            .ShowVerticalSpeed = true,
            .ComPortName = "/dev/ttyUSB1"};
}

namespace vemo {
// For test failures: the values in their order.
inline void PrintTo(const AppSettings& s, std::ostream* os) {
    *os << "{" << s.ComPort << " " << s.SpeedIndex << " " << s.Left << " " << s.Top << " "
        << s.SimulateTarget << s.ShowPoints << s.ShowInfo << s.ShowBackground << s.ShowAvgROC
        << s.BlankPart << s.RevTrig << s.Triggered << s.Sizeable << " " << s.PrtWidth << " "
        << s.PrtHeight << " " << s.PrtColor << std::hex << " " << s.BGColor << " " << s.GridColor
        << " " << s.ScaleColor << " " << s.LabelColor << " " << s.InfoColor << std::dec << " "
        << s.AutoStart << " " << s.AutoStartSec << " " << s.AutoStartAltitude << " " << s.AutoStop
        << " " << s.AutoStopSec << " " << s.AutoStopAltitude << " " << s.AutoZero << " "
        << s.ExportType << " " << s.Interval << " " << s.ShowVerticalSpeed << " " << s.ComPortName
        << "}";
}
} // namespace vemo
