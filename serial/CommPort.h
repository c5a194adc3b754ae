#pragma once
// The serial port component: opens one device exclusively with fixed line
// settings, runs a receive thread that reports arrivals on the GUI thread and
// a write thread that drains a small send queue.

#include "CommPortError.h"
#include "CommTypes.h"
#include "UucpLock.h"

#include <functional>
#include <memory>
#include <set>
#include <string>

class TCustomCommPort;

// Sender and the number of bytes waiting; always called on the GUI thread.
using TCommRxCharEvent = std::function<void(TCustomCommPort* Sender, int Count)>;
using TNotifyEvent = std::function<void(TCustomCommPort* Sender)>;
// Runs a task on the GUI thread later; the component never waits for it.
using TGuiDispatch = std::function<void(std::function<void()>)>;
// Maps a formatted device name ("COM3") to a device path.
using TDeviceResolver = std::function<std::string(const std::string& name)>;

class TCustomCommPort {
  public:
    explicit TCustomCommPort(TGuiDispatch gui);
    virtual ~TCustomCommPort();
    TCustomCommPort(const TCustomCommPort&) = delete;
    TCustomCommPort& operator=(const TCustomCommPort&) = delete;

    void Open();
    void Close();
    bool IsOpen() const;
    int WriteBuffer(const void* data, int count);
    bool WriteString(const std::string& bytes);
    std::string ReadAll();
    void PurgeAll();

    // Settings that may change only while closed.
    int PortNum() const { return portNum_; }
    void SetPortNum(int n);
    const std::string& DeviceName() const { return deviceName_; }
    void SetDeviceName(const std::string& pattern);
    bool DirectWrite() const { return directWrite_; }
    void SetDirectWrite(bool on);
    bool UpdateDCB() const { return updateDCB_; }
    void SetUpdateDCB(bool on);
    const std::set<TCommEvent>& MonitorEvents() const { return monitorEvents_; }
    void SetMonitorEvents(std::set<TCommEvent> events);
    void SetDeviceResolver(TDeviceResolver resolver);

    // The device path that Open uses, as quoted in its messages.
    std::string DevicePath() const;

    TCommLine Line;
    TCommBuffers Buffers;
    TThreadPriority EventPriority = tpNormal;
    TThreadPriority WritePriority = tpHighest;
    bool AutoOpen = false;
    int ClosePauseMs = 300; // the pause Close makes before returning; tests shorten it
    // Where the lock files of serial terminal programs live (see UucpLock.h).
    std::string LockFolder = DefaultLockFolder;
    // After taking bytes from the device the receive thread leaves it alone this long, so a
    // block that comes in many small pieces costs a few wake-ups and notifications, not one
    // per piece. ReadAll and the notification take what the device holds meanwhile, so the
    // bytes are never late, only their announcement. Takes effect at once, also when open.
    int RxHoldoffMs() const { return rxHoldoffMs_; }
    void SetRxHoldoffMs(int ms);
    // 0: a notification is posted to the GUI thread as soon as bytes come. More: it waits
    // that long for the owner to take it with DeliverPending on a wake-up of its own (a poll
    // tick), and is posted only if none came (after a hold-off under way, at the latest);
    // the GUI thread then never wakes just for it.
    int RxNotifyLatencyMs() const { return rxNotifyLatencyMs_; }
    void SetRxNotifyLatencyMs(int ms);
    // On the GUI thread: the notification owed for bytes that came, now, if there is one;
    // reads the device itself, so bytes the receive thread has not seen yet count too.
    // While these calls find bytes the receive thread leaves the device to them.
    void DeliverPending();

    TCommRxCharEvent OnRxChar;
    TNotifyEvent OnOpen;
    TNotifyEvent OnClose;

  private:
    struct Link;
    void RequireClosed() const;
    // The open sequence: device, exclusive use, line settings, queue sizes, wake-ups.
    std::shared_ptr<Link> OpenLink(const std::string& path) const;
    void SetLine(int fd) const;
    // The receive thread's loop, and its notification on the GUI thread.
    void ReceiveLoop(Link& link, const std::weak_ptr<Link>& weak);
    void PostOnce(Link& link, const std::weak_ptr<Link>& weak);
    bool TakeAnnounced(Link& link, short revents, const std::weak_ptr<Link>& weak);
    void NotifyReceived(const std::weak_ptr<Link>& weak);
    void Deliver(Link& link, bool owner);
    // The write thread's loop.
    static void WriteLoop(Link& link);
    void CloseLink();

    TGuiDispatch gui_;
    TDeviceResolver resolver_;
    int portNum_ = 1;
    std::string deviceName_ = "COM%d";
    bool directWrite_ = false;
    bool updateDCB_ = true;
    int rxHoldoffMs_ = 8;
    int rxNotifyLatencyMs_ = 0;
    std::set<TCommEvent> monitorEvents_{ceError, ceRxChar, ceTxEmpty};
    std::shared_ptr<Link> link_;
};

class TCommPort final : public TCustomCommPort {
  public:
    using TCustomCommPort::TCustomCommPort;
};

// "COMn" → /dev/ttyS(n-1); any other name → /dev/<name>.
std::string DefaultDevicePath(const std::string& name);
