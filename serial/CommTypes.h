#pragma once
// Line, queue and event settings of the serial port component, with the
// component's defaults.

#include <cstdint>
#include <set>

enum TBaudrate {
    brUser,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum TParity { paNone, paOdd, paEven, paMark, paSpace };
enum TDatabits { db4, db5, db6, db7, db8 };
enum TStopbits { sb1, sb15, sb2 };
enum TDtrControl { dtrDisabled, dtrEnabled, dtrHandshake };
enum TRtsControl { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };
enum TCommOption { coErrorChar, coNullStrip, coParityCheck };
enum TCommEvent {
    ceBreak,
    ceCts,
    ceDsr,
    ceError,
    ceRing,
    ceRlsd,
    ceRxChar,
    ceTxEmpty,
    ceRxFlag,
    cePErr,
    ceRx80Full,
    ceEvent1,
    ceEvent2
};
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

struct TCommFlowControl {
    bool OutCtsFlow = false;
    bool OutDsrFlow = false;
    TDtrControl ControlDtr = dtrEnabled;
    TRtsControl ControlRts = rtsEnabled;
    bool XonXoffOut = false;
    bool XonXoffIn = false;
    bool DsrSensitivity = false;
    bool TxContinueOnXoff = false;
};

struct TCommEventChars {
    std::uint8_t XonChar = 17;
    std::uint8_t XoffChar = 19;
    std::uint8_t ErrorChar = 0;
    std::uint8_t EventChar = 0;
    std::uint8_t EofChar = 0;
};

struct TCommBuffers {
    int ReadSize = 4096;
    int WriteSize = 2048;
    int ReadTimeout = 1000;  // ms
    int WriteTimeout = 1000; // ms
    int XonLimit = 1024;
    int XoffLimit = 1024;
};

struct TCommLine {
    TBaudrate Baudrate = br1200;
    int UserBaudrate = 0;
    TParity Parity = paNone;
    TDatabits Databits = db8;
    TStopbits Stopbits = sb1;
    TCommFlowControl FlowControl;
    TCommEventChars EventChars;
    std::set<TCommOption> Options;
};
