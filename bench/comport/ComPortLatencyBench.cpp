// Latency from bytes written on the far side of a line to OnRxChar running on the UI thread
// with those bytes read: the event wait, the quiet gap, the hand-over and ReadAnsiString.
// The line is a pseudo-terminal; the benchmark's thread pumps the dispatcher queue.
#include "comport/ComEventQueue.h"
#include "comport/ComPort.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

void BM_ReceiveFrameOnUiThread(benchmark::State& State) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        State.SkipWithError("no pseudo-terminal");
        return;
    }
    TComEventQueue queue;
    std::size_t received = 0;
    {
        TComPort port;
        port.SetDeviceName(::ptsname(master));
        port.SetDispatcher(&queue);
        port.SetBaudRate(br19200);
        port.SetDataBits(db8);
        port.SetParity(paNone);
        port.SetStopBits(sb1);
        port.OnRxChar = [&received](TCustomComPort& P) { received += P.ReadAnsiString().size(); };
        port.Open();
        const std::string frame(8, '\x5A');
        for (auto _ : State) {
            received = 0;
            if (::write(master, frame.data(), frame.size()) != 8) {
                State.SkipWithError("write to the master failed");
                break;
            }
            if (!queue.ProcessUntil([&received] { return received >= 8; }, 2s)) {
                State.SkipWithError("frame did not arrive");
                break;
            }
        }
        port.Close();
    }
    ::close(master);
}
BENCHMARK(BM_ReceiveFrameOnUiThread)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
