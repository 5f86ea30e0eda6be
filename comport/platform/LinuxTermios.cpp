#include "comport/platform/LinuxTermios.h"

#include <cerrno>

namespace {

tcflag_t SizeFlag(std::uint8_t ByteSize) {
    switch (ByteSize) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

std::uint8_t ByteSizeOf(tcflag_t CFlag) {
    switch (CFlag & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

} // namespace

int ValidateBlock(const TDeviceControlBlock& Dcb) {
    if (Dcb.BaudRate == 0 || Dcb.BaudRate > 0x7FFFFFFF)
        return EINVAL;
    if (Dcb.ByteSize < 5 || Dcb.ByteSize > 8 || Dcb.Parity > 4 || Dcb.StopBits > 2)
        return EINVAL;
    // One and a half stop bits exist only with 5 data bits, two only without.
    if (Dcb.StopBits == 1 && Dcb.ByteSize != 5)
        return EINVAL;
    if (Dcb.StopBits == 2 && Dcb.ByteSize == 5)
        return EINVAL;
    if (Dcb.Flags & OptionBit(opOutputDSRFlow))
        return EINVAL;
    if ((Dcb.Flags & DcbFlag::DtrMask) == DcbFlag::DtrHandshake)
        return EINVAL;
    return 0;
}

termios2 TermiosFor(const TDeviceControlBlock& Dcb, termios2 Current) {
    termios2 T = Current;
    T.c_iflag = IGNBRK;
    if (Dcb.Flags & OptionBit(opCheckParity))
        T.c_iflag |= INPCK;
    if (Dcb.Flags & DcbFlag::OutX)
        T.c_iflag |= IXON;
    if (Dcb.Flags & DcbFlag::InX)
        T.c_iflag |= IXOFF;
    T.c_oflag = 0;
    T.c_lflag = 0;
    T.c_cflag = CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT) | SizeFlag(Dcb.ByteSize);
    switch (Dcb.Parity) {
    case 1:
        T.c_cflag |= PARENB | PARODD;
        break;
    case 2:
        T.c_cflag |= PARENB;
        break;
    case 3:
        T.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case 4:
        T.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    if (Dcb.StopBits != 0)
        T.c_cflag |= CSTOPB;
    const std::uint32_t rts = Dcb.Flags & DcbFlag::RtsMask;
    if ((Dcb.Flags & OptionBit(opOutputCTSFlow)) || rts == DcbFlag::RtsHandshake)
        T.c_cflag |= CRTSCTS;
    T.c_ospeed = Dcb.BaudRate;
    T.c_ispeed = Dcb.BaudRate;
    T.c_cc[VSTART] = Dcb.XonChar;
    T.c_cc[VSTOP] = Dcb.XoffChar;
    T.c_cc[VMIN] = 1;
    T.c_cc[VTIME] = 0;
    return T;
}

void ReadTermios(const termios2& T, TDeviceControlBlock& Dcb) {
    Dcb.DCBlength = 28;
    Dcb.BaudRate = T.c_ospeed;
    Dcb.ByteSize = ByteSizeOf(T.c_cflag);
    if (!(T.c_cflag & PARENB))
        Dcb.Parity = 0;
    else if (T.c_cflag & CMSPAR)
        Dcb.Parity = (T.c_cflag & PARODD) ? 3 : 4;
    else
        Dcb.Parity = (T.c_cflag & PARODD) ? 1 : 2;
    Dcb.StopBits = (T.c_cflag & CSTOPB) ? (Dcb.ByteSize == 5 ? 1 : 2) : 0;
    Dcb.XonChar = T.c_cc[VSTART];
    Dcb.XoffChar = T.c_cc[VSTOP];
    auto setFlag = [&Dcb](std::uint32_t Bit, bool On) {
        Dcb.Flags = On ? (Dcb.Flags | Bit) : (Dcb.Flags & ~Bit);
    };
    setFlag(OptionBit(opCheckParity), T.c_iflag & INPCK);
    setFlag(DcbFlag::OutX, T.c_iflag & IXON);
    setFlag(DcbFlag::InX, T.c_iflag & IXOFF);
    Dcb.Flags |= DcbFlag::Binary;
}
