// A long run of exchanges against the in-process emulator with one in ten
// answered badly (every kind of fault the emulator draws at random): reads
// of 64-byte blocks and writes of 1 to 64 bytes at random addresses, and
// identifications, all through CloneProtocol. Every accepted read is
// compared with the radio's memory and every accepted write is checked to
// be in it: not one wrong byte may get through.
//
//   bench_soak [--exchanges N] [--seed S]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>

#include "protocol/clone_protocol.h"
#include "protocol/host.h"
#include "protocol/transfer_state.h"
#include "support/emulator_link.h"

using namespace tqm5;
using emu::FaultKind;

namespace {

struct Tally {
    long injected = 0, accepted = 0;
};

}  // namespace

int main(int argc, char** argv) {
    long exchanges = 100000;
    uint64_t seed = 2024;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--exchanges") exchanges = std::atol(argv[i + 1]);
        else if (a == "--seed") seed = std::strtoull(argv[i + 1], nullptr, 0);
    }

    // A short deadline keeps the run to about a minute; late answers come
    // just after it, so that they land in front of the next answer.
    constexpr int kTimeoutMs = 8;
    emu::Emulator::Options o;
    o.faultRate = 0.10;
    o.seed = seed;
    o.lateDelay = std::chrono::milliseconds(kTimeoutMs + 2);
    o.logLimit = 1000;
    test::EmulatorLink link(o);
    std::mt19937_64 rng(seed);
    for (uint32_t a = 0; a < emu::MemorySize; ++a) link.radio.memory().write(a, {uint8_t(rng())});

    FaultKind lastFault = FaultKind::None;
    link.onAnswer = [&](const emu::Answer& a) { lastFault = a.fault; };
    SilentHost host;
    TransferState state;
    CloneProtocol protocol(link, host, state, 1, kTimeoutMs);

    std::map<FaultKind, Tally> byFault;
    long failed = 0, wrongBytes = 0, reads = 0, writes = 0, ids = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (long n = 0; n < exchanges; ++n) {
        lastFault = FaultKind::None;
        const int what = int(rng() % 20);
        const uint32_t address = uint32_t(rng() % emu::MemorySize);
        bool ok = false;
        if (what == 0) {
            ++ids;
            ok = protocol.identify();
        } else if (what < 11) {
            ++reads;
            const auto data = protocol.readBlock(address, 64);
            if ((ok = data.has_value())) {
                const Bytes truth = link.radio.memory().read(address, 64);
                for (std::size_t i = 0; i < 64; ++i) wrongBytes += (*data)[i] != truth[i];
            }
        } else {
            ++writes;
            Bytes data(1 + rng() % 64);
            for (auto& b : data) b = uint8_t(rng());
            if ((ok = protocol.writeBlock(address, data))) {
                const Bytes stored = link.radio.memory().read(address, data.size());
                for (std::size_t i = 0; i < data.size(); ++i) wrongBytes += stored[i] != data[i];
            }
        }
        failed += !ok;
        Tally& t = byFault[lastFault];
        ++t.injected;
        t.accepted += ok;
    }
    protocol.endSession();
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

    std::printf("%ld exchanges (%ld identifications, %ld reads, %ld writes) in %.1f s, %.0f%% faults drawn\n",
                exchanges, ids, reads, writes, secs, 100 * o.faultRate);
    std::printf("wrong bytes accepted: %ld\n", wrongBytes);
    std::printf("failed exchanges: %ld\n", failed);
    std::printf("%-14s %9s %9s\n", "fault", "answers", "accepted");
    for (const auto& [kind, t] : byFault)
        std::printf("%-14s %9ld %9ld\n", emu::faultName(kind), t.injected, t.accepted);
    return wrongBytes == 0 ? 0 : 1;
}
