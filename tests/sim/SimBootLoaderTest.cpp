// The boot loader: synchronisation, echoed records and one-byte verdicts.

#include "PtyClient.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <cstdio>

using vemosim::Simulator;

namespace {

// An Intel HEX record with its checksum.
std::string Record(int type, int address, const std::vector<int>& data) {
    int sum = static_cast<int>(data.size()) + (address >> 8) + (address & 0xFF) + type;
    char head[16];
    std::snprintf(head, sizeof head, ":%02X%04X%02X", static_cast<unsigned>(data.size()),
                  static_cast<unsigned>(address), static_cast<unsigned>(type));
    std::string r = head;
    for (int b : data) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(b));
        r += hex;
        sum += b;
    }
    char check[3];
    std::snprintf(check, sizeof check, "%02X", static_cast<unsigned>((256 - (sum & 0xFF)) & 0xFF));
    return r + check;
}

class SimBootLoader : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Start());
        port = std::make_unique<PtyClient>(sim.PortPath(), B4800);
        port->Send("P");
        port->Send("U");
        ASSERT_EQ(port->ReadText(150), "U");
        ASSERT_TRUE(sim.InBootLoader());
    }
    // Sends a record and returns the echo followed by the verdict.
    std::string Send(const std::string& record) {
        port->Send(record);
        return port->ReadText(150);
    }
    Simulator sim;
    std::unique_ptr<PtyClient> port;
};

TEST_F(SimBootLoader, RecordsAreEchoedAndAcceptedWithADot) {
    EXPECT_EQ(Record(2, 0, {3, 1}), ":020000020301F8"); // the helper builds real records
    EXPECT_EQ(Send(":020000020301F8"), ":020000020301F8.");
    EXPECT_EQ(sim.StatusByte(), 1);

    EXPECT_EQ(Send(":03000004000000F9"), ":03000004000000F9.");
    const std::string data = Record(0, 0x0010, {0x12, 0x34, 0x56});
    EXPECT_EQ(Send(data), data + ".");
    const auto flash = sim.Flash();
    EXPECT_EQ(flash[0x10], 0x12);
    EXPECT_EQ(flash[0x12], 0x56);
    EXPECT_EQ(flash[0x0F], 0xFF); // erased, not programmed

    EXPECT_EQ(Send(":02000002006399"), ":02000002006399.");
    EXPECT_EQ(sim.ConfigByte(), 0x63);
}

TEST_F(SimBootLoader, BadChecksumAndOutOfRangeDataAreRefused) {
    EXPECT_EQ(Send(":020000020301F7"), ":020000020301F7X");
    EXPECT_EQ(sim.StatusByte(), 0);

    // The last byte of code space is 0x1DBF; one past it cannot be written.
    const std::string last = Record(0, 0x1DBF, {0xAA});
    EXPECT_EQ(Send(last), last + ".");
    const std::string past = Record(0, 0x1DBF, {0xAA, 0xBB});
    EXPECT_EQ(Send(past), past + "R");

    sim.SetRejectRecords(1);
    const std::string ok = Record(0, 0, {1});
    EXPECT_EQ(Send(ok), ok + "X");
    EXPECT_EQ(Send(ok), ok + ".");
}

TEST_F(SimBootLoader, FaultsCountRecordsFromWhenTheyAreSet) {
    EXPECT_EQ(sim.LastSyncSpeed(), 4800);
    const std::string a = Record(0, 0, {1}), b = Record(0, 1, {2});
    sim.SetRecordFault('R', 2, 1); // one record through, then two answered "R"
    EXPECT_EQ(Send(a), a + ".");
    EXPECT_EQ(Send(b), b + "R");
    EXPECT_EQ(Send(b), b + "R");
    EXPECT_EQ(Send(b), b + ".");
    EXPECT_EQ(sim.Flash()[1], 2);

    sim.SetDropEchoes(1);
    EXPECT_EQ(Send(a), ".");
    EXPECT_EQ(Send(a), a + ".");

    sim.SetCloseAfterRecords(2);
    EXPECT_EQ(Send(a), a + ".");
    EXPECT_EQ(Send(a), a + ".");
    port->Send(a);
    EXPECT_TRUE(port->ReadUntilQuiet(150).empty()); // the port is gone
}

TEST_F(SimBootLoader, ResetRecordStartsTheFirmwareAgain) {
    EXPECT_EQ(Send(":00000008F8"), ":00000008F8"); // echo, no verdict
    EXPECT_FALSE(sim.InBootLoader());
    port->Send("r");
    EXPECT_EQ(port->Read(28, 1000).size(), 28u);
}

TEST(SimBootLoaderEntry, BlankPartAnswersTheSyncWithoutP) {
    Simulator sim;
    sim.SetBlankPart(true);
    ASSERT_TRUE(sim.Start());
    PtyClient port(sim.PortPath(), B4800);
    port.Send("r"); // no firmware: commands go unanswered
    EXPECT_TRUE(port.ReadUntilQuiet(200).empty());
    port.Send("U");
    EXPECT_EQ(port.ReadText(150), "U");
}

} // namespace
