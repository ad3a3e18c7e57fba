#include "StartedProgram.h"

#include "positioning/gnss/TavrinSerialGPS.h"

#include <QPointer>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

// The device's end of a pseudo-terminal; the program opens the other end as port COM<n>.
class PseudoDevice {
public:
    explicit PseudoDevice(int portNumber) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        const char* name = ::ptsname(master_);
        if (!name)
            return;
        IniFile ini(TestEnvironment::settingsFile());
        ini.writeString(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM%1").arg(portNumber),
                        QString::fromLocal8Bit(name));
        ready_ = true;
    }
    ~PseudoDevice() {
        if (master_ >= 0)
            ::close(master_);
    }
    bool ready() const { return ready_; }

private:
    int master_ = -1;
    bool ready_ = false;
};

} // namespace

using Ports = StartedProgram;

TEST_F(Ports, BothPortsBelongToTheMainWindowAndStartClosed) {
    start();
    ASSERT_NE(FNav->ZGPS1, nullptr);
    ASSERT_NE(FNav->ZSENSOR, nullptr);
    EXPECT_NE(FNav->ZGPS1, FNav->ZSENSOR);
    EXPECT_EQ(FNav->ZGPS1->parent(), FNav);
    EXPECT_EQ(FNav->ZSENSOR->parent(), FNav);
    EXPECT_FALSE(FNav->ZGPS1->Connected);
    EXPECT_FALSE(FNav->ZSENSOR->Connected);

    QPointer<TTavrinSerialGPS> gnss = FNav->ZGPS1;
    QPointer<TTavrinSerialGPS> sounder = FNav->ZSENSOR;
    DestroyApplicationWindows();
    EXPECT_TRUE(gnss.isNull());
    EXPECT_TRUE(sounder.isNull());
}

TEST_F(Ports, ClosingTheMainWindowClosesOpenPorts) {
    PseudoDevice receiver(7);
    PseudoDevice sounder(8);
    ASSERT_TRUE(receiver.ready() && sounder.ready());
    start();
    FNav->ZGPS1->PortNumber = 7;
    FNav->ZSENSOR->PortNumber = 8;
    FNav->ZGPS1->Open();
    FNav->ZSENSOR->Open();
    ASSERT_TRUE(FNav->ZGPS1->Connected) << FNav->ZGPS1->LastError;
    ASSERT_TRUE(FNav->ZSENSOR->Connected) << FNav->ZSENSOR->LastError;
    FNav->close();
    EXPECT_FALSE(FNav->ZGPS1->Connected);
    EXPECT_FALSE(FNav->ZSENSOR->Connected);
    EXPECT_EQ(FNav->ZGPS1->Handle, nullptr);
}
