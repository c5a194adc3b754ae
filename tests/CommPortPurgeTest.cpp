#include "CommPort.h"
#include "GuiQueue.h"
#include "Pty.h"

#include <atomic>
#include <gtest/gtest.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

// A purge that lands between the receive thread's poll and its read leaves the read
// with nothing: the port must go on as before, not take it for an unplugged line.
// Each write must reach the instrument once, whatever purge came before it.
TEST(CommPortPurge, PurgesWhileBytesStreamInLoseNoWrite) {
    GuiQueue gui;
    Pty pty;
    TCommPort port{gui.Dispatch()};
    port.Buffers.ReadSize = 1000;
    port.Buffers.WriteSize = 10;
    port.SetMonitorEvents({ceRxChar});
    port.SetDeviceResolver([&](const std::string&) { return pty.SlavePath(); });
    port.ClosePauseMs = 0;
    port.Open();

    std::atomic<bool> streaming{true};
    std::thread instrument([&] {
        const std::string chunk(64, 'd');
        while (streaming) {
            if (write(pty.Master(), chunk.data(), chunk.size()) < 0) {
                pollfd p{pty.Master(), POLLOUT, 0};
                poll(&p, 1, 10);
            }
        }
    });
    int wrong = 0;
    for (int i = 1; i <= 5000 && wrong == 0; ++i) {
        port.PurgeAll();
        if (i % 50 == 0) {
            port.WriteString("k");
            wrong += pty.Read(1, 2000) != "k"; // nothing, or a request sent twice
        }
    }
    streaming = false;
    instrument.join();
    EXPECT_EQ(wrong, 0) << "a write after a purge was lost or sent twice";
    port.Close();
}
