#include "LineTermios.h"

namespace {

speed_t SpeedCode(int bits) {
    switch (bits) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return B0; // not a standard POSIX rate
    }
}

} // namespace

int BaudrateBits(TBaudrate rate, int userBaudrate) {
    static constexpr int bits[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                   14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return rate == brUser ? userBaudrate : bits[rate];
}

bool MakeLineTermios(const TCommLine& line, termios& t) {
    const speed_t speed = SpeedCode(BaudrateBits(line.Baudrate, line.UserBaudrate));
    if (speed == B0 || line.Databits == db4 || line.Stopbits == sb15)
        return false;

    cfmakeraw(&t);
    t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK | ISTRIP);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= CREAD | CLOCAL;
    static constexpr tcflag_t sizes[] = {CS5, CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[line.Databits];
    if (line.Stopbits == sb2)
        t.c_cflag |= CSTOPB;
    switch (line.Parity) {
    case paNone:
        break;
    case paOdd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case paEven:
        t.c_cflag |= PARENB;
        break;
    case paMark:
        t.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case paSpace:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    }
    if (line.Options.count(coParityCheck))
        t.c_iflag |= INPCK;
    const auto& f = line.FlowControl;
    if (f.OutCtsFlow || f.ControlRts == rtsHandshake)
        t.c_cflag |= CRTSCTS;
    if (f.XonXoffOut)
        t.c_iflag |= IXON;
    if (f.XonXoffIn)
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = line.EventChars.XonChar;
    t.c_cc[VSTOP] = line.EventChars.XoffChar;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return true;
}
